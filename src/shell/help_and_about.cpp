// The help entries, the About box and its system check.
#include <string>
#include <vector>

#include "common/program_version.h"
#include "panel/window_layouts.h"
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

constexpr const char* kNoHelp =
    "Unable to display Help Contents. There is no Help associated with this project.";
constexpr const char* kReportTitle = "System Information";

}  // namespace

std::filesystem::path ManualIndex(const std::filesystem::path& programFolder) {
  const std::filesystem::path index = programFolder / "manual" / "index.html";
  std::error_code error;
  return std::filesystem::is_regular_file(index, error) ? index : std::filesystem::path();
}

std::optional<std::string> SystemReportText(const SystemCheck& check) {
  const board::SystemFacts facts{
      common::kProgramVersion, check.toolkitVersion, check.backend,
      check.programFolder.empty() ? std::string() : ProgramFilesText(check.programFolder)};
  return board::SystemReport(facts, check.root, check.user ? *check.user : board::CurrentUser());
}

std::string ProgramFilesText(const std::filesystem::path& programFolder) {
  std::error_code error;
  std::vector<std::string> missing;
  const std::vector<std::string> sounds = panel::SoundFileNames();
  for (const std::string& sound : sounds) {
    if (!std::filesystem::is_regular_file(programFolder / sound, error)) missing.push_back(sound);
  }
  std::string text = programFolder.string() + " (sounds: ";
  if (missing.empty()) text += "all " + std::to_string(sounds.size());
  for (std::size_t i = 0; i < missing.size(); ++i)
    text += (i == 0 ? "missing " : ", ") + missing[i];
  const std::filesystem::path index = ManualIndex(programFolder);
  return text + "; manual: " +
         (index.empty() ? "not installed" : index.lexically_relative(programFolder).string()) + ")";
}

// Both entries speak of Help Contents when there is no manual, the search entry too.
void MainForm::ShowHelp(panel::HelpTopic topic) {
  const std::filesystem::path index = ManualIndex(edges_.folders.programFolder);
  if (index.empty() || edges_.help == nullptr) {
    edges_.dialogs.Message({kNoHelp, frmMain.Caption(), panel::MessageButtons::kOk,
                            panel::MessageIcon::kInformation, panel::Answer::kOk});
    panel.ReportNotDone(panel::NotDoneReason::kNotSupported, kNoHelp);
    return;
  }
  if (const auto error = edges_.help->ShowManual(index, topic)) {
    edges_.dialogs.Message({*error, frmMain.Caption(), panel::MessageButtons::kOk,
                            panel::MessageIcon::kExclamation, panel::Answer::kOk});
    panel.ReportNotDone(panel::NotDoneReason::kNotSupported, *error);
  }
}

void MainForm::mnuHelpContents_Click() {
  ShowHelp(panel::HelpTopic::kContents);
}

void MainForm::mnuHelpSearchForHelpOn_Click() {
  ShowHelp(panel::HelpTopic::kSearch);
}

void MainForm::mnuHelpAbout_Click() {
  frmAbout_Load();
  edges_.windows.ShowWindow(frmAbout, true);
}

void MainForm::frmAbout_Load() {
  frmAbout["lblTitle"].SetCaption(panel::kApplicationTitle);
  frmAbout["lblVersion"].SetCaption("Version " + std::to_string(common::kVersionMajor) + "." +
                                    std::to_string(common::kVersionMinor) + "." +
                                    std::to_string(common::kVersionRevision));
}

// OK closes the box where it is shown; the model has nothing to do for it.
bool MainForm::ClickAbout(std::string_view name) {
  if (name == "cmdSysInfo") {
    cmdSysInfo_Click();
    return true;
  }
  if (name == "cmdHistoryFilter") {
    cmdHistoryFilter_Click();
    return true;
  }
  return name == "cmdOK";
}

void MainForm::cmdSysInfo_Click() {
  StartSysInfo();
}

void MainForm::StartSysInfo() {
  SystemCheck check = edges_.system;
  if (check.programFolder.empty()) check.programFolder = edges_.folders.programFolder;
  const std::optional<std::string> report =
      edges_.help != nullptr ? SystemReportText(check) : std::nullopt;
  if (!report) {
    edges_.dialogs.Message({kSystemInfoUnavailable, panel::kApplicationTitle,
                            panel::MessageButtons::kOk, panel::MessageIcon::kNone,
                            panel::Answer::kOk});
    return;
  }
  edges_.help->ShowReport(kReportTitle, *report);
}

}  // namespace sorvell::shell
