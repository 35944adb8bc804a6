#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "panel/edges.h"

namespace sorvell::shell {

// The code files opened or saved last, most recent first, kept in the settings store so that the
// File menu offers them again at the next start.
class RecentFiles {
 public:
  static constexpr std::size_t kMaxEntries = 8;

  explicit RecentFiles(panel::SettingsStore& settings) : settings_(settings) {}

  // Takes the stored list; entries left empty or named twice are skipped.
  void Load();
  // Puts `file` first, once, and keeps at most kMaxEntries; the list is stored at once, so a
  // program that is killed still offers it.
  void Add(const std::string& file);
  void Remove(const std::string& file);
  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  void Store();

  panel::SettingsStore& settings_;
  std::vector<std::string> entries_;
};

}  // namespace sorvell::shell
