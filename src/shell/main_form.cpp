#include "shell/main_form.h"

#include <string>

#include "shell/window_layouts.h"

namespace sorvell::shell {

namespace {

// "LPTSelection(2)" -> ("LPTSelection", 2); a plain name gives index -1.
std::pair<std::string_view, int> SplitIndex(std::string_view name) {
  const auto open = name.find('(');
  if (open == std::string_view::npos || name.back() != ')') return {name, -1};
  return {name.substr(0, open), std::stoi(std::string(name.substr(open + 1)))};
}

}  // namespace

MainForm::MainForm(Edges edges)
    : frmMain("frmMain", kMainWindowCaption),
      frmAbout("frmAbout", "About Sorvell"),
      frmDisplay1("frmDisplay1", "Code Buffer Display"),
      board(edges.port, edges.timing),
      edges_(edges) {
  BuildMainWindow(frmMain);
  BuildAboutWindow(frmAbout);
  BuildDisplayWindow(frmDisplay1);
  board.OnReset = [this] {
    frmMain["ProgressBar1"].SetRange(0, 100);
    frmMain["ProgressBar1"].SetValue(0);
  };
  WireEvents();
}

void MainForm::On(std::string name, std::function<void()> handler) {
  clickHandlers_[std::move(name)] = std::move(handler);
}

// Entries that exist on the menu but have no action behind them.
void MainForm::OnClicks(std::initializer_list<const char*> names) {
  for (const char* name : names) On(name, [] {});
}

void MainForm::WireEvents() {
  On("Read_button", [this] { Read_button_Click(); });
  On("Blank_button", [this] { Blank_button_Click(); });
  On("Program_button", [this] { Program_button_Click(); });
  On("Verify_button", [this] { Verify_button_Click(); });
  On("Display_button", [this] { Display_button_Click(); });
  On("Erase_button", [this] { Erase_button_Click(); });
  On("EraseFlash_button", [this] { EraseFlash_button_Click(); });
  On("Show_button", [this] { Show_button_Click(); });
  On("Command1", [this] { Command1_Click(); });
  On("TestHardware_button", [this] { TestHardware_button_Click(); });
  On("Error_label", [this] { Error_label_Click(); });
  On("FileNameCodeText", [this] { FileNameCodeText_Click(); });
  OnClicks({"VerifyButton", "mnuFileSaveDataAs", "menuProgramCode", "menuProgramData",
            "menuReadData", "menuVerifyData", "menuDisplayData", "menuEraseData",
            "menuEraseFlash"});

  On("mnuFileOpenCode", [this] { mnuFileOpenCode_Click(); });
  On("mnuFileSaveCode", [this] { mnuFileSaveCode_Click(); });
  On("mnuFileSaveCodeAs", [this] { mnuFileSaveCodeAs_Click(); });
  On("mnuFileOpenData", [this] { mnuFileOpenData_Click(); });
  On("mnuFileSaveData", [this] { mnuFileSaveData_Click(); });
  On("mnuFileClose", [this] { mnuFileClose_Click(); });
  On("mnuFileExit", [this] { mnuFileExit_Click(); });
  On("mnuToolsOptions", [this] { mnuToolsOptions_Click(); });
  On("menuBlankCheck", [this] { Blank_button_Click(); });
  On("menuReadCode", [this] { Read_button_Click(); });
  On("menuVerifyCode", [this] { Verify_button_Click(); });
  On("menuDisplayCode", [this] { Display_button_Click(); });
  On("menuEraseCode", [this] { Erase_button_Click(); });
  On("menuTestHardware", [this] { TestHardware_button_Click(); });
  On("menuFlashShowCodeID", [this] { menuFlashShowCodeID_Click(); });
  On("Setup", [this] { Setup_Click(); });
  for (int slot = 1; slot <= 4; ++slot) {
    On("LoadSetup" + std::to_string(slot), [this, slot] { LoadSetup_Click(slot); });
    On("SaveSetup" + std::to_string(slot), [this, slot] { SaveSetup_Click(slot); });
  }
  for (int model = 4; model <= 6; ++model) {
    On("ForceSorvell" + std::to_string(model), [this, model] { ForceSorvell_Click(model); });
  }
  On("LoopFlashTest", [this] { LoopFlashTest_Click(); });
  On("ResetFlash", [this] { ResetFlash_Click(); });
  On("mnuHelpContents", [this] { mnuHelpContents_Click(); });
  On("mnuHelpSearchForHelpOn", [this] { mnuHelpSearchForHelpOn_Click(); });
  On("mnuHelpAbout", [this] { mnuHelpAbout_Click(); });
  for (const char* key : {"OpenCode", "SaveCode", "OpenData", "SaveData"}) {
    On(std::string("tbToolBar:") + key, [this, key] { tbToolBar_ButtonClick(key); });
  }
}

bool MainForm::Click(std::string_view name) {
  Control* control = frmMain.Find(name);
  if (control == nullptr || !control->Enabled() || !control->Visible()) return false;
  switch (control->Kind()) {
    case ControlKind::kOptionButton:
      SelectOption(*control);
      return true;
    case ControlKind::kCheckBox:
      return SetValue(name, control->Value() ? 0 : 1);
    default:
      break;
  }
  const auto handler = clickHandlers_.find(std::string(name));
  if (handler == clickHandlers_.end()) return false;
  handler->second();
  return true;
}

bool MainForm::DblClick(std::string_view name) {
  if (name == "SystemLog") {
    SystemLog_DblClick();
    return true;
  }
  if (name == "BufferDisplay") {
    BufferDisplay_DblClick();
    return true;
  }
  return false;
}

// An option's click sets it and clears the others of its array, then runs the array's handler
// with the index; clicking the option that is already set changes nothing.
void MainForm::SelectOption(Control& option) {
  if (option.Value()) return;
  const auto [array, index] = SplitIndex(option.Name());
  for (int i = 0;; ++i) {
    Control* sibling = frmMain.Find(std::string(array) + "(" + std::to_string(i) + ")");
    if (sibling == nullptr) break;
    sibling->SetValue(i == index ? 1 : 0);
  }
  if (array == "LPTSelection") LPTSelection_Click(index);
  if (array == "Voltage_button") Voltage_button_Click(index);
}

bool MainForm::SetValue(std::string_view name, int value) {
  Control* control = frmMain.Find(name);
  if (control == nullptr) return false;
  switch (control->Kind()) {
    case ControlKind::kCheckBox:
      if (value != 0 && value != 1) return false;
      control->SetValue(value);
      return true;
    case ControlKind::kOptionButton:
      if (value) {
        SelectOption(*control);
      } else {
        control->SetValue(0);
      }
      return true;
    case ControlKind::kSlider:
    case ControlKind::kScrollBar:
      if (value < control->Minimum() || value > control->Maximum()) return false;
      if (value == control->Value()) return true;
      control->SetValue(value);
      if (name == "Slider1") Slider1_Change();
      if (name == "VScroll1") VScroll1_Change();
      return true;
    case ControlKind::kDropDownList:
      if (value < 0 || value >= static_cast<int>(control->Items().size())) return false;
      control->SetValue(value);
      control->SetCaption(control->Items()[static_cast<std::size_t>(value)]);
      Device_Click();
      return true;
    default:
      return false;
  }
}

bool MainForm::SetText(std::string_view name, std::string text) {
  Control* control = frmMain.Find(name);
  if (control == nullptr || control->Kind() != ControlKind::kTextBox) return false;
  control->SetCaption(std::move(text));
  return true;
}

}  // namespace sorvell::shell
