#include "shell/recent_files.h"

#include <algorithm>

namespace sorvell::shell {

namespace {

constexpr const char* kSection = "RecentFiles";

std::string KeyOf(std::size_t index) {
  return "File" + std::to_string(index + 1);
}

}  // namespace

void RecentFiles::Load() {
  entries_.clear();
  for (std::size_t i = 0; i < kMaxEntries; ++i) {
    const std::string file = settings_.Get(kSection, KeyOf(i)).value_or("");
    if (file.empty() || std::ranges::find(entries_, file) != entries_.end()) continue;
    entries_.push_back(file);
  }
}

void RecentFiles::Add(const std::string& file) {
  if (file.empty()) return;
  std::erase(entries_, file);
  entries_.insert(entries_.begin(), file);
  if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
  Store();
}

void RecentFiles::Remove(const std::string& file) {
  if (std::erase(entries_, file) > 0) Store();
}

// Every slot is written, so an entry dropped from the list does not come back from the store.
void RecentFiles::Store() {
  for (std::size_t i = 0; i < kMaxEntries; ++i) {
    settings_.Set(kSection, KeyOf(i), i < entries_.size() ? entries_[i] : "");
  }
}

}  // namespace sorvell::shell
