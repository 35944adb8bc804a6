#include "shell/main_form.h"

#include <string>

#include "board/board_answers.h"
#include "buffers/checksums.h"
#include "panel/window_layouts.h"

namespace sorvell::shell {

using panel::Control;
using panel::ControlKind;

MainForm::MainForm(Edges edges)
    : edges_(edges),
      frmMain("frmMain", panel::kMainWindowCaption),
      frmAbout("frmAbout", "About Sorvell"),
      frmDisplay1("frmDisplay1", "Code Buffer Display"),
      frmHistory("frmHistory", "History of the Parts"),
      panel(frmMain, edges_.dialogs, edges_.sounds, edges_.clock, edges_.folders),
      board(edges_.port, edges_.timing),
      detection(board, panel),
      view(buffers, device, board, panel, frmDisplay1),
      editor(buffers),
      images(buffers, device, panel, view, editor),
      selection(device, board, panel, images),
      operation(board, device, buffers, run, panel),
      parallelDevice(operation, view),
      eprom(operation),
      flashCommands(operation),
      flashIdentity(operation, flashCommands),
      flash(operation, flashCommands, flashIdentity),
      pages(operation, flashCommands),
      twoWireBus(operation),
      serial(operation, twoWireBus, view),
      dispatcher(operation, detection, view, parallelDevice, eprom, flash, pages, serial),
      workbench(buffers, editor, images, view, device, panel),
      setups(panel, buffers, images, selection,
             [this](std::string_view name, int value) { return SetValue(name, value); }),
      recentFiles(edges_.settings) {
  board.AccessNs = edges_.portAccessNs;
  panel::BuildMainWindow(frmMain);
  panel::BuildAboutWindow(frmAbout);
  panel::BuildDisplayWindow(frmDisplay1);
  panel::BuildHistoryWindow(frmHistory);
  board.OnReset = [this] {
    panel.StartProgress(100);
    run.SerialEraseMode = 0;
  };
  selection.ProbeFlashID = [this] { flashIdentity.ProbeFlashID(); };
  dispatcher.PadImageToPart = [this] { workbench.mnuImagePad_Click(); };
  dispatcher.KeepPartContents = [this](std::string_view before) {
    return KeepPartContents(before);
  };
  panel.OnAlertOff = [this] { board.Reset(); };
  panel.OnOutcome = [this](const panel::Outcome& outcome) { ShowOutcome(outcome); };
  panel.OnSafePoint = [this] { ConfirmBoardAtSafePoint(); };
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
  dispatch::Dispatcher& d = dispatcher;
  On("Read_button", [&d] { d.Read_button_Click(); });
  On("Blank_button", [&d] { d.Blank_button_Click(); });
  On("Program_button", [&d] { d.Program_button_Click(); });
  On("Verify_button", [&d] { d.Verify_button_Click(); });
  On("Display_button", [&d] { d.Display_button_Click(); });
  On("Erase_button", [this] { images.Erase_button_Click(); });
  On("EraseFlash_button", [&d] { d.EraseFlash_button_Click(); });
  On("Show_button", [&d] { d.Show_button_Click(); });
  On("Command1", [this] { view.Command1_Click(); });
  On("TestHardware_button", [this] { detection.TestHardware_button_Click(); });
  On("Error_label", [this] { panel.Error_label_Click(); });
  On("FileNameCodeText", [this] { images.FileNameCodeText_Click(); });
  // No routine shows a device's data memory, so that entry, like the spare button, does nothing.
  OnClicks({"VerifyButton", "menuDisplayData"});

  On("mnuFileOpenCode", [this] { images.mnuFileOpenCode_Click(); });
  On("mnuFileSaveCode", [this] { images.mnuFileSaveCode_Click(); });
  On("mnuFileSaveCodeAs", [this] { images.mnuFileSaveCodeAs_Click(); });
  On("mnuFileOpenData", [this] { images.mnuFileOpenData_Click(); });
  On("mnuFileSaveData", [this] { images.mnuFileSaveData_Click(); });
  On("mnuFileSaveDataAs", [this] { images.mnuFileSaveDataAs_Click(); });
  On("mnuFileClose", [this] { mnuFileClose_Click(); });
  On("mnuFileExit", [this] { mnuFileExit_Click(); });
  On("mnuToolsOptions", [this] { mnuToolsOptions_Click(); });
  On("menuBlankCheck", [&d] { d.Blank_button_Click(); });
  On("menuReadCode", [&d] { d.Read_button_Click(); });
  On("menuProgramCode", [&d] { d.Program_button_Click(); });
  On("menuVerifyCode", [&d] { d.Verify_button_Click(); });
  // The data entries run the data-memory routine alone, whatever the Code and Data boxes say.
  On("menuProgramData", [this] { RunDataOperation(&dispatch::Dispatcher::ProgramData); });
  On("menuReadData", [this] { RunDataOperation(&dispatch::Dispatcher::READDATA); });
  On("menuVerifyData", [this] { RunDataOperation(&dispatch::Dispatcher::VerifyData); });
  On("menuEraseData", [this] {
    images.EraseDataBuffer();
    panel.ReportDone("Buffer has been Erased");
  });
  On("menuEraseFlash", [&d] { d.EraseFlash_button_Click(); });
  On("menuDisplayCode", [&d] { d.Display_button_Click(); });
  On("menuEraseCode", [this] { images.Erase_button_Click(); });
  On("menuTestHardware", [this] { detection.TestHardware_button_Click(); });
  On("menuFlashShowCodeID", [this] { flashIdentity.menuFlashShowCodeID_Click(); });
  On("mnuToolsChecksums", [this] { ShowChecksums(); });
  On("mnuToolsJob", [this] { ShowJobDialog(); });
  On("mnuToolsHistory", [this] { mnuToolsHistory_Click(); });
  WireImageMenu();
  On("menuNextDifference", [this] { ShowDifference(true); });
  On("menuPreviousDifference", [this] { ShowDifference(false); });
  On("Setup", [this] { Setup_Click(); });
  for (int slot = 1; slot <= 4; ++slot) {
    On("LoadSetup" + std::to_string(slot), [this, slot] { LoadSetup_Click(slot); });
    On("SaveSetup" + std::to_string(slot), [this, slot] { SaveSetup_Click(slot); });
  }
  for (int model = 4; model <= 6; ++model) {
    On("ForceSorvell" + std::to_string(model),
       [this, model] { detection.ForceSorvell_Click(model); });
  }
  On("LoopFlashTest", [this] { flash.LoopFlashTest_Click(); });
  On("ResetFlash", [this] { flash.ResetFlash_Click(); });
  On("mnuHelpContents", [this] { mnuHelpContents_Click(); });
  On("mnuHelpSearchForHelpOn", [this] { mnuHelpSearchForHelpOn_Click(); });
  On("mnuHelpAbout", [this] { mnuHelpAbout_Click(); });
  for (std::size_t entry = 0; entry < RecentFiles::kMaxEntries; ++entry) {
    On("mnuFileRecent" + std::to_string(entry + 1), [this, entry] { OpenRecentFile(entry); });
  }
  for (const char* key : {"OpenCode", "SaveCode", "OpenData", "SaveData"}) {
    On(std::string("tbToolBar:") + key, [this, key] { tbToolBar_ButtonClick(key); });
  }
}

bool MainForm::Click(std::string_view name) {
  if (name == "Stop_button") {
    if (!operating_) return false;
    Stop_button_Click();
    return true;
  }
  // An operation on a part, started by the operator rather than inside another event, leaves
  // its record.
  if (!operating_ && !panel.Breathing() && !edges_.folders.dataFolder.empty()) {
    if (const std::optional<std::string> recorded = RecordedOperation(name)) {
      return ClickRecorded(name, *recorded);
    }
  }
  return Operate([&] { return ClickNow(name); }, IsOperation(name));
}

// Saving the log or the dump is an operation: it may fail.
bool MainForm::DblClick(std::string_view name) {
  return Operate([&] { return DblClickNow(name); }, true);
}

bool MainForm::SetValue(std::string_view name, int value) {
  return Operate([&] { return SetValueNow(name, value); }, false);
}

// The events that work on the board, a file or a setup, and so must say how they ended. The
// rest (check boxes, options, the list, the slider, menus that only open) cannot fail.
bool MainForm::IsOperation(std::string_view name) {
  static constexpr std::string_view kPlainEvents[] = {
      "Setup",           "Show_button",     "Command1",      "Error_label",
      "mnuFileExit",     "mnuHelpContents", "mnuHelpAbout",  "mnuHelpSearchForHelpOn",
      "ForceSorvell4",   "ForceSorvell5",   "ForceSorvell6", "VerifyButton",
      "menuDisplayData", "LoopFlashTest",   "ResetFlash"};
  for (const std::string_view plain : kPlainEvents) {
    if (name == plain) return false;
  }
  const Control* control = frmMain.Find(name);
  if (control == nullptr) return false;
  const ControlKind kind = control->Kind();
  return kind == ControlKind::kButton || kind == ControlKind::kMenuItem ||
         kind == ControlKind::kToolbarButton || name == "FileNameCodeText";
}

// Every operator event runs through here, one at a time: an event that a front end passes on
// while an operation lets its window breathe is refused, never kept for later. The model's own
// nested events (a restored setup choosing its device) run inside the outer one. A stop unwinds
// to the outermost from a safe point.
bool MainForm::Operate(const std::function<bool()>& event, bool statesOutcome) {
  if (panel.Breathing()) return false;
  if (operating_) return event();
  operating_ = true;
  panel.ClearStop();
  panel.BeginEvent(statesOutcome);
  run.LastBackupFile.clear();  // set by this event's backup, if it makes one
  bool handled = true;
  try {
    handled = event();
  } catch (const panel::OperationStopped&) {
    OnOperationStopped();
  } catch (const board::PortFault& fault) {
    ++portFaults_;
    OnPortFault(fault);
  }
  operating_ = false;
  frmMain["Stop_button"].SetEnabled(false);
  // An event that no control takes did nothing and says nothing.
  if (!handled && !panel.EventReported()) panel.ReportDone();
  panel.EndEvent();
  return handled;
}

void MainForm::ShowOutcome(const panel::Outcome& outcome) {
  frmMain["sbOutcome"].SetCaption(outcome.Text());
}

void MainForm::Stop_button_Click() {
  panel.RequestStop();
}

bool MainForm::AskToStopAndClose() {
  const panel::Answer answer = edges_.dialogs.Message(
      {"An operation is running. Stop it at its next safe point, with the board left idle, and "
       "close the window?",
       frmMain.Caption(), panel::MessageButtons::kYesNo, panel::MessageIcon::kQuestion,
       panel::Answer::kNo});
  if (answer != panel::Answer::kYes) return false;
  Stop_button_Click();
  return true;
}

// The operation was left between two units of work: programming voltage off and the socket idle
// before anything else; no success line follows.
void MainForm::OnOperationStopped() {
  board.Reset();
  run.SerialEraseMode = 0;
  panel.ProgramLabelOff();
  panel.DataFlowLabelOff();
  panel.ResetProgress();
  panel.AddLog("Operation STOPPED by the operator - board reset, programming voltage off");
  panel.Report(panel::Outcome::Stopped("board reset, programming voltage off"));
  ++operationsStopped_;
}

// The port failed under the operation: nothing it read or wrote since can be trusted. The board
// is reset if the port still takes writes; no success line follows. A failed board check (the
// board gone silent, a data line held) is told in its own words; the reset reaches the board if
// it comes back.
void MainForm::OnPortFault(const board::PortFault& fault) {
  const bool silent = dynamic_cast<const board::BoardCheckFailed*>(&fault) != nullptr;
  panel.AddLog(silent ? std::string(fault.what())
                      : std::string("Port access FAILED: ") + fault.what() + " - operation ended");
  try {
    board.Reset();
  } catch (const board::PortFault&) {
    panel.AddLog("The board could not be reset: check it before touching the socket");
  }
  run.SerialEraseMode = 0;
  panel.ProgramLabelOff();
  panel.DataFlowLabelOff();
  panel.ResetProgress();
  panel.ReportDeviceError(silent ? std::string(fault.what())
                                 : std::string("port access failed: ") + fault.what());
}

// The checksums of the image in the code buffer (a file loaded, or the part just read), in the
// log and in a box.
void MainForm::ShowChecksums() {
  const std::int32_t size = buffers.CodeImageSize;
  if (size <= 0) {
    const std::string none = "The code buffer holds no image: load a file or read a part first";
    panel.AddLog(none);
    panel.ReportNotDone(panel::NotDoneReason::kRefused, none);
    return;
  }
  const buffers::Checksums sums =
      buffers::ChecksumsOf(std::span(buffers.CodeBuffer).first(static_cast<std::size_t>(size)));
  std::string text = "Checksums of the " + std::to_string(size) + " bytes in the code buffer:";
  panel.AddLog(text);
  for (const std::string& line : buffers::ChecksumLines(sums)) {
    panel.AddLog(line);
    text += "\n" + line;
  }
  panel.dialogs.Message({text, "Checksums", panel::MessageButtons::kOk,
                         panel::MessageIcon::kInformation, panel::Answer::kOk});
  panel.ReportDone("Checksums of the code buffer shown");
}

// The dump steps to the page of the next or previous byte that differed in the last compare.
void MainForm::ShowDifference(bool next) {
  if (view.ShowDifference(next)) {
    panel.ReportDone("Difference shown");
    return;
  }
  const std::string none =
      buffers.DifferingAddresses.empty()
          ? "No difference to show: the last compare found none"
          : std::string("No difference ") + (next ? "after" : "before") + " the page shown";
  panel.AddLog(none);
  panel.ReportNotDone(panel::NotDoneReason::kRefused, none);
}

// The buttons and menu entries that work on the part in the socket: the board must answer before
// one of them starts.
bool MainForm::IsDeviceOperation(std::string_view name) {
  static constexpr std::string_view kDeviceOperations[] = {
      "Read_button",     "Blank_button",      "Program_button",  "Verify_button",
      "Display_button",  "EraseFlash_button", "menuBlankCheck",  "menuReadCode",
      "menuProgramCode", "menuVerifyCode",    "menuProgramData", "menuReadData",
      "menuVerifyData",  "menuEraseFlash",    "menuDisplayCode", "menuFlashShowCodeID"};
  for (const std::string_view operation : kDeviceOperations) {
    if (name == operation) return true;
  }
  return false;
}

// Between two units of work, once a period: the check is cheap, but not per byte.
void MainForm::ConfirmBoardAtSafePoint() {
  if (board::AnswerCheckDue(board)) operation.ConfirmBoardAnswers();
}

std::string MainForm::AccessOutsideEvent(const std::function<void()>& access, const char* then) {
  try {
    access();
    return {};
  } catch (const board::PortFault& fault) {
    ++portFaults_;
    return std::string("Port access FAILED: ") + fault.what() + " - " + then;
  }
}

bool MainForm::ClickNow(std::string_view name) {
  Control* control = frmMain.Find(name);
  if (control == nullptr || !control->Enabled() || !control->Visible()) return false;
  switch (control->Kind()) {
    case ControlKind::kOptionButton:
      SelectOption(*control);
      return true;
    case ControlKind::kCheckBox:
      return SetValueNow(name, control->Value() ? 0 : 1);
    default:
      break;
  }
  const auto handler = clickHandlers_.find(std::string(name));
  if (handler == clickHandlers_.end()) return false;
  if (IsDeviceOperation(name)) operation.ConfirmBoardAnswers();
  handler->second();
  RememberCodeFile(name);
  return true;
}

bool MainForm::DblClickNow(std::string_view name) {
  if (name == "SystemLog") {
    SystemLog_DblClick();
    return true;
  }
  if (name == "BufferDisplay") {
    view.BufferDisplay_DblClick();
    return true;
  }
  return false;
}

// An option's click sets it and clears the others of its array, then runs the array's handler
// with the index; clicking the option that is already set changes nothing.
void MainForm::SelectOption(Control& option) {
  if (!panel::SelectOption(frmMain, option)) return;
  const auto [array, index] = panel::SplitIndex(option.Name());
  if (array == "LPTSelection") detection.LPTSelection_Click(index);
  if (array == "Voltage_button") selection.Voltage_button_Click(index);
}

bool MainForm::SetValueNow(std::string_view name, int value) {
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
      if (name == "Slider1") selection.Slider1_Change();
      if (name == "VScroll1") dispatcher.VScroll1_Change();
      return true;
    case ControlKind::kDropDownList:
      if (value < 0 || value >= static_cast<int>(control->Items().size())) return false;
      control->SetValue(value);
      control->SetCaption(control->Items()[static_cast<std::size_t>(value)]);
      selection.Device_Click();
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
