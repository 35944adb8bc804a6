#include <string>

#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

struct SoundFile {
  const char* key;
  const char* file;
};

constexpr SoundFile kSounds[] = {{"INIT", "init.wav"},
                                 {"ERROR", "error.wav"},
                                 {"DONE", "done.wav"},
                                 {"SLIDE", "slide.wav"},
                                 {"OK", "ok.wav"}};

}  // namespace

// Any key that is not one of the five plays the error sound.
void MainForm::PlayEventSound(std::string_view key) {
  const char* file = "error.wav";
  for (const SoundFile& sound : kSounds) {
    if (key == sound.key) file = sound.file;
  }
  edges_.sounds.Play(edges_.folders.programFolder / file);
}

void MainForm::mnuFileClose_Click() {
  edges_.dialogs.Message({"Add 'mnuFileClose_Click' code.", frmMain.Caption(), MessageButtons::kOk,
                          MessageIcon::kNone, Answer::kOk});
}

void MainForm::mnuFileExit_Click() {
  edges_.windows.CloseMainWindow();
}

void MainForm::mnuToolsOptions_Click() {
  edges_.dialogs.Message({"This menu option is not available.", frmMain.Caption(),
                          MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

// The four keys in the order OpenCode, OpenData, SaveCode, SaveData; any other does nothing.
void MainForm::tbToolBar_ButtonClick(std::string_view key) {
  if (key == "OpenCode") {
    mnuFileOpenCode_Click();
  } else if (key == "OpenData") {
    mnuFileOpenData_Click();
  } else if (key == "SaveCode") {
    mnuFileSaveCode_Click();
  } else if (key == "SaveData") {
    mnuFileSaveData_Click();
  }
}

}  // namespace sorvell::shell
