#include <string>

#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::mnuFileClose_Click() {
  edges_.dialogs.Message({"Add 'mnuFileClose_Click' code.", frmMain.Caption(),
                          panel::MessageButtons::kOk, panel::MessageIcon::kNone,
                          panel::Answer::kOk});
  panel.ReportNotDone(panel::NotDoneReason::kNotSupported, "File > Close has no action");
}

void MainForm::mnuFileExit_Click() {
  edges_.windows.CloseMainWindow();
}

void MainForm::mnuToolsOptions_Click() {
  edges_.dialogs.Message({"This menu option is not available.", frmMain.Caption(),
                          panel::MessageButtons::kOk, panel::MessageIcon::kNone,
                          panel::Answer::kOk});
  panel.ReportNotDone(panel::NotDoneReason::kNotSupported, "This menu option is not available.");
}

// A data-memory operation reaches the board only once a port is chosen, as the buttons do.
void MainForm::RunDataOperation(void (dispatch::Dispatcher::*routine)()) {
  if (detection.PortChosen()) (dispatcher.*routine)();
}

void MainForm::Setup_Click() {
  setups.Setup_Click();
}

void MainForm::LoadSetup_Click(int slot) {
  static constexpr void (Setups::*kLoads[])() = {
      &Setups::LoadSetup1_Click, &Setups::LoadSetup2_Click, &Setups::LoadSetup3_Click,
      &Setups::LoadSetup4_Click};
  (setups.*kLoads[slot - 1])();
}

void MainForm::SaveSetup_Click(int slot) {
  static constexpr void (Setups::*kSaves[])() = {
      &Setups::SaveSetup1_Click, &Setups::SaveSetup2_Click, &Setups::SaveSetup3_Click,
      &Setups::SaveSetup4_Click};
  (setups.*kSaves[slot - 1])();
}

// The four keys in the order OpenCode, OpenData, SaveCode, SaveData; any other does nothing.
void MainForm::tbToolBar_ButtonClick(std::string_view key) {
  if (key == "OpenCode") {
    images.mnuFileOpenCode_Click();
  } else if (key == "OpenData") {
    images.mnuFileOpenData_Click();
  } else if (key == "SaveCode") {
    images.mnuFileSaveCode_Click();
  } else if (key == "SaveData") {
    images.mnuFileSaveData_Click();
  } else {
    panel.ReportDone();
  }
}

void MainForm::ShowJobDialog() {
  if (showJobDialog) {
    showJobDialog();
    panel.ReportDone("Job dialog shown");
    return;
  }
  const std::string text = "Jobs are run with sorvell-cli job run JOB here";
  panel.AddLog(text);
  panel.ReportNotDone(panel::NotDoneReason::kNotSupported, text);
}

}  // namespace sorvell::shell
