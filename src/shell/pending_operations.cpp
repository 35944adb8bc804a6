// Operations whose behaviour arrives with later work. Each exists now under its own name so the
// window, the console and the start-up sequence are wired to it already.
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {
constexpr const char* kNotBuilt = "This device family's routines are not built in this version.";
}  // namespace

// Programming routines not built yet leave the status at "no routine", so the run ends in
// "Device Not Supported" instead of a success that did not happen.
void MainForm::Program24CXX() {
  parallel.ProgramStatus = 9;
}
void MainForm::Program24C32() {
  parallel.ProgramStatus = 9;
}
void MainForm::ProgramFlash() {
  parallel.ProgramStatus = 9;
}
void MainForm::ProgramX28C256() {
  parallel.ProgramStatus = 9;
}
void MainForm::ProgramAT29C256() {
  parallel.ProgramStatus = 9;
}
void MainForm::Report24CXXAckError() {}

void MainForm::ReadSerialCode() {
  edges_.dialogs.Message(
      {kNotBuilt, "Routine Not Ready", MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

// Never a match for a device that was not compared.
void MainForm::VerifySerialCode() {
  parallel.VerifyFailed = 1;
  DataFlowLabelOff();
  edges_.dialogs.Message(
      {kNotBuilt, "Routine Not Ready", MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

void MainForm::EraseFlash_button_Click() {}
void MainForm::menuFlashShowCodeID_Click() {}
void MainForm::Setup_Click() {}
void MainForm::LoadSetup_Click(int) {}
void MainForm::SaveSetup_Click(int) {}
void MainForm::LoopFlashTest_Click() {}
void MainForm::ResetFlash_Click() {}
void MainForm::mnuHelpContents_Click() {}
void MainForm::mnuHelpSearchForHelpOn_Click() {}
void MainForm::mnuHelpAbout_Click() {}

}  // namespace sorvell::shell
