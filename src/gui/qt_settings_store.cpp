#include "gui/qt_settings_store.h"

#include "gui/text.h"
#include "panel/window_layouts.h"

namespace sorvell::gui {

namespace {

QString KeyOf(const std::string& section, const std::string& key) {
  return ToQt(section) + QLatin1Char('/') + ToQt(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QString::fromLatin1(panel::kApplicationTitle),
                QString::fromLatin1(panel::kApplicationTitle)) {}

std::optional<std::string> QtSettingsStore::Get(const std::string& section,
                                                const std::string& key) {
  const QString name = KeyOf(section, key);
  if (!settings_.contains(name)) return std::nullopt;
  return ToStd(settings_.value(name).toString());
}

void QtSettingsStore::Set(const std::string& section, const std::string& key,
                          const std::string& value) {
  settings_.setValue(KeyOf(section, key), ToQt(value));
}

}  // namespace sorvell::gui
