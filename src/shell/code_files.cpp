// Code files the operator names without the Open dialog: the recent files of the File menu and a
// file dropped on the window. Each loads as File > Open Code does, through the same image files
// room, so the log, the outcome and the checks of the file are the same.
#include <filesystem>
#include <string>

#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

constexpr const char* kRecentMenu = "mnuFileRecent";

// The events after which the code buffer holds the file that CodeFileName names.
bool NamesCodeFile(std::string_view event) {
  static constexpr std::string_view kEvents[] = {
      "mnuFileOpenCode",   "tbToolBar:OpenCode", "FileNameCodeText", "mnuFileSaveCode",
      "mnuFileSaveCodeAs", "tbToolBar:SaveCode", kRecentMenu};
  for (const std::string_view named : kEvents) {
    if (event.starts_with(named)) return true;
  }
  return false;
}

// A menu takes "&" as the mark of its access key: a file name's own "&" is doubled.
std::string MenuText(const std::string& file) {
  std::string text;
  for (const char c : file) text += c == '&' ? "&&" : std::string(1, c);
  return text;
}

std::string EntryName(std::size_t index) {
  return kRecentMenu + std::to_string(index + 1);
}

}  // namespace

bool MainForm::OpenCode(const std::filesystem::path& file) {
  return Operate(
      [&] {
        OpenCodeNow(file.string());
        RememberCodeFile(kRecentMenu);
        return true;
      },
      true);
}

// A file that is not there (moved, deleted, a folder) is refused before the image room reads it,
// so the operator learns that the list, not the file, was wrong.
void MainForm::OpenCodeNow(const std::string& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    const std::string text = "The file " + file + " is not there any more: it was not loaded" +
                             " and leaves the list of recent files.";
    recentFiles.Remove(file);
    ShowRecentFiles();
    panel.AddLog(text);
    edges_.dialogs.Message({text, "File Not Loaded", panel::MessageButtons::kOk,
                            panel::MessageIcon::kExclamation, panel::Answer::kOk});
    panel.ReportNotDone(panel::NotDoneReason::kFileNotLoaded, text);
    return;
  }
  panel.ErrorLabelOff();
  panel.DataFlowLabelOff();
  buffers.DisplayMode = "Read";
  const std::string previous = buffers.CodeFileName;
  buffers.CodeFileName = file;
  if (!images.ReadBinaryFile()) buffers.CodeFileName = previous;
}

void MainForm::OpenRecentFile(std::size_t index) {
  const std::vector<std::string>& entries = recentFiles.Entries();
  if (index >= entries.size()) {
    panel.ReportNotDone(panel::NotDoneReason::kRefused, "no recent file in that place");
    return;
  }
  OpenCodeNow(std::string(entries[index]));
}

void MainForm::RememberCodeFile(std::string_view event) {
  if (!NamesCodeFile(event) || !panel.EventReported() || !panel.EventOutcome().IsDone()) return;
  if (buffers.CodeFileName.empty()) return;
  recentFiles.Add(buffers.CodeFileName);
  ShowRecentFiles();
}

// Entries "&1 name" to "&8 name", the unused ones hidden; with none the menu cannot be opened.
void MainForm::ShowRecentFiles() {
  const std::vector<std::string>& entries = recentFiles.Entries();
  for (std::size_t i = 0; i < RecentFiles::kMaxEntries; ++i) {
    panel::Control& entry = frmMain[EntryName(i)];
    const bool used = i < entries.size();
    entry.SetCaption(used ? "&" + std::to_string(i + 1) + " " + MenuText(entries[i]) : "");
    entry.SetVisible(used);
  }
  frmMain[kRecentMenu].SetEnabled(!entries.empty());
}

}  // namespace sorvell::shell
