#pragma once

#include <QSettings>

#include "panel/edges.h"

namespace sorvell::gui {

// The per-user settings through QSettings under the application's title, one group per
// section, every value kept as text.
class QtSettingsStore final : public panel::SettingsStore {
 public:
  QtSettingsStore();

  std::optional<std::string> Get(const std::string& section, const std::string& key) override;
  void Set(const std::string& section, const std::string& key, const std::string& value) override;

 private:
  QSettings settings_;
};

}  // namespace sorvell::gui
