// Operations whose behaviour arrives with later work. Each exists now under its own name so the
// window, the console and the start-up sequence are wired to it already.
#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::Read_button_Click() {}
void MainForm::Blank_button_Click() {}
void MainForm::Program_button_Click() {}
void MainForm::Verify_button_Click() {}
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
