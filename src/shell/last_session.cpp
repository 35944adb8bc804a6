// What the operator chose last (the part, its options, the code file) comes back at the next
// start, through the settings store. Each choice is made again as the operator would make it at
// the window, so a part that the list no longer holds, an option the part does not offer or a
// file that is gone is skipped rather than forced.
#include <charconv>
#include <filesystem>
#include <optional>
#include <string>

#include "catalogue/device_table.h"
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

constexpr const char* kSection = "LastSession";

// The plain controls stored by their value; the option arrays by the index of the one set.
constexpr const char* kValueControls[] = {"Slider1", "CheckBlankPriorProgramming",
                                          "VerifyAfterProgramming", "BackupBeforeBurn"};
constexpr const char* kOptionArrays[] = {"Voltage_button", "HiLow_button"};
constexpr int kOptionsInArray = 4;

std::optional<int> Number(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  int value = 0;
  const char* end = text->data() + text->size();
  const auto [last, error] = std::from_chars(text->data(), end, value);
  if (error != std::errc() || last != end) return std::nullopt;
  return value;
}

std::string OptionName(const std::string& array, int index) {
  return array + "(" + std::to_string(index) + ")";
}

}  // namespace

void MainForm::StoreLastSession() {
  panel::SettingsStore& settings = edges_.settings;
  settings.Set(kSection, "Device", frmMain["Device"].Value() >= 0 ? device.DeviceName : "");
  settings.Set(kSection, "CodeFile", buffers.CodeFileName);
  for (const char* name : kValueControls) {
    settings.Set(kSection, name, std::to_string(frmMain[name].Value()));
  }
  for (const std::string array : kOptionArrays) {
    int set = -1;
    for (int i = 0; i < kOptionsInArray; ++i) {
      const panel::Control* option = frmMain.Find(OptionName(array, i));
      if (option && option->Value()) set = i;
    }
    settings.Set(kSection, array, std::to_string(set));
  }
}

// The part first: choosing it sets its own defaults, which the stored options then override.
void MainForm::RestoreLastSession() {
  panel::SettingsStore& settings = edges_.settings;
  if (const auto name = settings.Get(kSection, "Device"); name && !name->empty()) {
    RestoreDevice(*name);
  }
  for (const std::string array : kOptionArrays) {
    const auto index = Number(settings.Get(kSection, array));
    if (index && *index >= 0) RestoreChoice(OptionName(array, *index), "1");
  }
  for (const char* name : kValueControls) RestoreChoice(name, settings.Get(kSection, name));
  if (const auto file = settings.Get(kSection, "CodeFile"); file && !file->empty()) {
    RestoreCodeFile(*file);
  }
}

void MainForm::RestoreDevice(const std::string& name) {
  const std::vector<std::string>& entries = frmMain["Device"].Items();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (catalogue::SelectableEntry(entries[i]) && catalogue::RowNameOfEntry(entries[i]) == name) {
      SetValueNow("Device", static_cast<int>(i));
      return;
    }
  }
  panel.AddLog("The device " + name + " chosen last is not in the list: none is chosen");
}

// Only what the operator could set now: a control hidden or disabled keeps its value.
void MainForm::RestoreChoice(const std::string& name, const std::optional<std::string>& stored) {
  const auto value = Number(stored);
  const panel::Control* control = frmMain.Find(name);
  if (!value || control == nullptr || !control->Enabled() || !control->Visible()) return;
  SetValueNow(name, *value);
}

void MainForm::RestoreCodeFile(const std::string& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    panel.AddLog("The code file " + file + " loaded last is not there any more: not loaded");
    return;
  }
  OpenCodeNow(file);
}

}  // namespace sorvell::shell
