#include "shell/setups.h"

#include "common/atomic_file.h"
#include "common/read_file.h"
#include "common/trim.h"

namespace sorvell::shell {

namespace {

constexpr const char* kMarker = ">>>>>>>>>>>>";
constexpr const char* kClickToSelect = "Click To Select a File";
// Nineteen short lines and a path: anything much larger is not a setup.
constexpr std::size_t kMaxSetupBytes = 64 * 1024;

std::string LoadEntryName(int slot) {
  return "LoadSetup" + std::to_string(slot);
}

std::string SetupFileName(int slot) {
  return "SVSetup" + std::to_string(slot) + ".INI";
}

}  // namespace

Setups::Setups(panel::Panel& panel, buffers::Buffers& buffers, buffers::ImageFiles& images,
               catalogue::DeviceSelection& selection, SetControl setControl)
    : panel_(panel),
      buffers_(buffers),
      images_(images),
      selection_(selection),
      setControl_(std::move(setControl)) {}

// The Load entries are named after the first line of their file, from its thirteenth character
// (what follows "SetupName = "). A slot whose file is gone or unreadable keeps its entry
// disabled under its previous caption.
void Setups::Setup_Click() {
  for (int slot = 1; slot <= 4; ++slot) panel_.frmMain[LoadEntryName(slot)].SetEnabled(false);
  for (int slot = 1; slot <= 4; ++slot) {
    const auto file = FindSetupFile(panel_.folders.workingFolder, SetupFileName(slot));
    std::string text, error;
    if (!file || !common::ReadRegularFile(*file, kMaxSetupBytes, text, error,
                                          common::EmptyFile::kAccepted)) {
      continue;
    }
    const std::string first = FirstLine(text);
    panel::Control& entry = panel_.frmMain[LoadEntryName(slot)];
    entry.SetEnabled(true);
    entry.SetCaption(first.size() > 12 ? first.substr(12) : "");
  }
}

// A cancelled box and an empty answer both give the slot's default name.
void Setups::SaveSetupRot(const std::string& Fname) {
  std::string name =
      panel_.dialogs.Input("Please input a NAME for this Setup", "Saving Name Input", "")
          .value_or("");
  if (name.empty()) name = "No Name Setup " + Fname.substr(7, 1);
  const std::string text = FormatSetup(panel_.frmMain, name, buffers_.CodeFileName);
  std::string error;
  if (!common::WriteFileAtomically(panel_.folders.workingFolder / Fname, text, error)) {
    panel_.dialogs.Message({"The setup was not saved: " + error, "File Not Saved",
                            panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                            panel::Answer::kOk});
    panel_.ReportNotDone(panel::NotDoneReason::kFileNotSaved, "The setup was not saved: " + error);
    return;
  }
  panel_.AddLog("Setup Saved as " + Fname + ", named:" + name);
  panel_.ReportDone("Setup Saved as " + Fname);
}

// The whole file is read and checked before any control changes, so a restore either happens
// completely or not at all.
void Setups::LoadSetupRot(const std::string& Fname) {
  panel_.AddLog(kMarker);
  panel_.AddLog("RESTORING SETUP FROM " + Fname);
  std::vector<SetupEntry> entries;
  std::string error;
  if (!ReadSetup(Fname, entries, error) || !CheckValues(entries, error) ||
      !CheckOptions(entries, error) || !CheckCodeFile(entries, error)) {
    RefuseSetup(Fname, error);
    return;
  }
  for (const SetupEntry& entry : entries) Apply(entry);
  RestoreCodeFile();
  panel_.AddLog("SETUP RESTORED FROM " + Fname);
  panel_.AddLog(kMarker);
  // The code file's own load said how it went; a restore whose file loaded is done.
  if (panel_.EventOutcome().IsDone()) panel_.ReportDone("SETUP RESTORED FROM " + Fname);
}

// A setup sets each control only as the operator could at the window: an option the chosen part
// leaves disabled (21 V for a 12.5 V part) keeps the value the choice gave it, or the setup is
// refused; otherwise the log would name a voltage the board does not give.
bool Setups::CheckOptions(const std::vector<SetupEntry>& entries, std::string& error) {
  int device = panel_.frmMain["Device"].Value();
  for (const SetupEntry& entry : entries) {
    if (entry.key->control != nullptr && std::string_view(entry.key->control) == "Device") {
      device = static_cast<int>(entry.number);
    }
  }
  for (const SetupEntry& entry : entries) {
    if (entry.key->control == nullptr || entry.key->kind == SetupValue::kText) continue;
    const panel::Control& control = panel_.frmMain[entry.key->control];
    const auto after = selection_.OptionAfterChoosing(device, control.Name());
    if (!after && control.Name() != "CheckCode" && control.Name() != "CheckData" &&
        !control.Name().starts_with("Voltage_button")) {
      continue;
    }
    const catalogue::OptionAfterChoice state =
        after.value_or(catalogue::OptionAfterChoice{control.Enabled(), control.Value()});
    if (state.enabled || entry.number == state.value) continue;
    error = "line " + std::to_string(entry.line) + " sets " + control.Name() + " (" +
            common::TrimBlanks(control.Caption()) + ") to " + entry.text +
            ", which the chosen device does not offer";
    return false;
  }
  return true;
}

bool Setups::ReadSetup(const std::string& Fname, std::vector<SetupEntry>& entries,
                       std::string& error) {
  const auto file = FindSetupFile(panel_.folders.workingFolder, Fname);
  const std::filesystem::path path = file.value_or(panel_.folders.workingFolder / Fname);
  std::string text;
  if (!common::ReadRegularFile(path, kMaxSetupBytes, text, error, common::EmptyFile::kAccepted)) {
    error = path.filename().string() + (error.starts_with("could not") ? " " : " is ") + error;
    return false;
  }
  if (!ParseSetup(text, entries, error)) {
    error = Fname + ", " + error;
    return false;
  }
  return true;
}

// Values the controls would refuse: a list index past the list, a check box other than 0 or 1,
// a slider position off its scale.
bool Setups::CheckValues(const std::vector<SetupEntry>& entries, std::string& error) {
  for (const SetupEntry& entry : entries) {
    if (entry.key->kind != SetupValue::kNumber) continue;
    const panel::Control& control = panel_.frmMain[entry.key->control];
    long long low = 0, high = 1;
    if (control.Kind() == panel::ControlKind::kDropDownList) {
      low = -1;
      high = static_cast<long long>(control.Items().size()) - 1;
    } else if (control.Kind() == panel::ControlKind::kSlider) {
      low = control.Minimum();
      high = control.Maximum();
    }
    if (entry.number < low || entry.number > high) {
      error = "line " + std::to_string(entry.line) + " sets " + control.Name() + " to " +
              std::to_string(entry.number) + ", outside " + std::to_string(low) + " to " +
              std::to_string(high);
      return false;
    }
  }
  return true;
}

// The code file the restore would load: the setup's, else the one loaded now.
bool Setups::CheckCodeFile(const std::vector<SetupEntry>& entries, std::string& error) {
  std::string codeFile = buffers_.CodeFileName;
  for (const SetupEntry& entry : entries) {
    if (entry.key->kind == SetupValue::kText && entry.key->control == nullptr &&
        std::string_view(entry.key->key) == "sFILE = ") {
      codeFile = entry.text;
    }
  }
  if (codeFile.empty()) return true;
  std::vector<std::uint8_t> bytes;
  if (!buffers::ReadImageFile(codeFile, buffers::kCodeBufferSize, bytes, error)) {
    error = "its code file " + error;
    return false;
  }
  return true;
}

// Options set true and the list, the slider and the port options run their handlers, as if the
// operator had set them; the device list therefore comes first in the file, and the options
// after it override the defaults the device selection chose.
void Setups::Apply(const SetupEntry& entry) {
  const SetupKey& key = *entry.key;
  if (key.control == nullptr) {
    if (std::string_view(key.key) == "sFILE = ") buffers_.CodeFileName = entry.text;
    return;
  }
  if (key.kind == SetupValue::kText) {
    panel_.frmMain[key.control].SetCaption(entry.text);
    return;
  }
  if (std::string_view(key.control) == "Device" && entry.number < 0) {
    panel_.frmMain["Device"].SetValue(-1);
    selection_.Device_Click();
    return;
  }
  setControl_(key.control, static_cast<int>(entry.number));
}

// The option frames show whatever was restored; an empty file name leaves the label inviting a
// click, which opens a file.
void Setups::RestoreCodeFile() {
  for (const char* shown : {"FrameVoltageSelection", "Frame5", "CheckBlankPriorProgramming",
                            "VerifyAfterProgramming", "BackupBeforeBurn"}) {
    panel_.frmMain[shown].SetVisible(true);
  }
  const std::string& name = buffers_.CodeFileName;
  panel_.frmMain["FileNameCodeText"].SetCaption(name.empty() ? kClickToSelect : name);
  if (!name.empty()) images_.ReadBinaryFile();
}

void Setups::RefuseSetup(const std::string& Fname, const std::string& error) {
  panel_.AddLog("SETUP NOT RESTORED FROM " + Fname + ": " + error);
  panel_.AddLog(kMarker);
  panel_.dialogs.Message({"The setup was not restored, nothing was changed: " + error,
                          "Setup Not Restored", panel::MessageButtons::kOk,
                          panel::MessageIcon::kExclamation, panel::Answer::kOk});
  panel_.ReportNotDone(panel::NotDoneReason::kRefused, "Setup Not Restored: " + error);
}

}  // namespace sorvell::shell
