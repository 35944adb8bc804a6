// Menu entries whose behaviour arrives with later work. Each exists now under its own name so
// the window and the console are wired to it already.
#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::mnuHelpContents_Click() {}
void MainForm::mnuHelpSearchForHelpOn_Click() {}
void MainForm::mnuHelpAbout_Click() {}

}  // namespace sorvell::shell
