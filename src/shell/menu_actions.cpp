#include <string>

#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::mnuFileClose_Click() {
  edges_.dialogs.Message({"Add 'mnuFileClose_Click' code.", frmMain.Caption(),
                          panel::MessageButtons::kOk, panel::MessageIcon::kNone,
                          panel::Answer::kOk});
}

void MainForm::mnuFileExit_Click() {
  edges_.windows.CloseMainWindow();
}

void MainForm::mnuToolsOptions_Click() {
  edges_.dialogs.Message({"This menu option is not available.", frmMain.Caption(),
                          panel::MessageButtons::kOk, panel::MessageIcon::kNone,
                          panel::Answer::kOk});
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
  }
}

}  // namespace sorvell::shell
