// Menu entries whose behaviour arrives with later work. Each exists now under its own name so
// the window and the console are wired to it already.
#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::Setup_Click() {}
void MainForm::LoadSetup_Click(int) {}
void MainForm::SaveSetup_Click(int) {}

}  // namespace sorvell::shell
