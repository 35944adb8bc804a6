#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "board/board.h"
#include "board/detection.h"
#include "buffers/buffer_view.h"
#include "buffers/buffers.h"
#include "buffers/image_files.h"
#include "catalogue/device_selection.h"
#include "catalogue/selection.h"
#include "dispatch/dispatcher.h"
#include "flash/flash_commands.h"
#include "flash/flash_identity.h"
#include "flash/flash_programmer.h"
#include "flash/page_writer.h"
#include "operation/operation.h"
#include "operation/run_state.h"
#include "panel/edges.h"
#include "panel/form.h"
#include "panel/panel.h"
#include "parallel/eprom_programmer.h"
#include "parallel/parallel_device.h"
#include "records/part_record.h"
#include "serial/serial_eeprom.h"
#include "serial/two_wire_bus.h"
#include "shell/recent_files.h"
#include "shell/setups.h"
#include "shell/system_check.h"
#include "workbench/workbench.h"

namespace sorvell::shell {

// Window position and size in twips (15 to a pixel on a 96 dpi screen), as the settings store
// keeps them.
struct WindowPlacement {
  float left = 100, top = 100, width = 100, height = 6500;
  bool minimised = false;
};

// The part in the socket when a job burns it: the record of each operation names them. Empty
// outside a job.
struct PartInJob {
  std::string job;
  int part = 0;
  std::string serial;
};

// The edges the main window reaches the outside through, injected by the front end.
struct Edges {
  board::PortIo& port;
  board::Timing& timing;
  panel::Dialogs& dialogs;
  panel::WindowHost& windows;
  panel::SoundPlayer& sounds;
  panel::SettingsStore& settings;
  panel::WallClock& clock;
  panel::Folders folders;
  // The manual and the system report; without a viewer the program acts as one installed
  // without its manual.
  panel::HelpViewer* help = nullptr;
  SystemCheck system = {};
  // What one access to the port costs, as measured when it was opened: a programming pulse's
  // closing write takes it.
  std::uint64_t portAccessNs = 0;
};

// The main window: its forms, the rooms that own the program's state and procedures, and the
// wiring of every control event to its handler. The front ends render the forms and forward
// events here.
class MainForm {
 public:
  explicit MainForm(Edges edges);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  // --- Operator events, by control name. False when the control has no such event. ----------
  bool Click(std::string_view name);
  bool DblClick(std::string_view name);
  // A new value from the operator: check box 0/1, option 1, slider or list position.
  bool SetValue(std::string_view name, int value);
  bool SetText(std::string_view name, std::string text);
  // Bytes typed over the code image's view, from `address` on: one step the operator can undo.
  void TypeCodeBytes(std::int32_t address, std::vector<std::uint8_t> bytes);

  // --- Long operations -----------------------------------------------------------------------
  // True while an operator event is being handled: nothing else starts until it returns.
  bool OperationRunning() const { return operating_; }
  // The Stop button (and Esc, and a signal to the console): the running operation ends at its
  // next safe point with the board idle.
  void Stop_button_Click();
  // How many operations a stop has ended in this run.
  int OperationsStopped() const { return operationsStopped_; }
  // How the last operator event ended (also shown in the status bar).
  const panel::Outcome& LastOutcome() const { return panel.LastOutcome(); }
  // Port accesses that failed, and boards that stopped answering, in this run: in an operation,
  // at start-up or at shutdown.
  int PortFaults() const { return portFaults_; }
  // Closing the window while an operation runs: asks the operator, and on Yes stops the run at
  // its next safe point. True when the window is to close once the run has ended.
  bool AskToStopAndClose();

  // --- Code files named without the Open dialog ----------------------------------------------
  // An operator event that loads `file` as File > Open Code does with it: a file from the recent
  // list, a file dropped on the window. A file that is gone is refused and leaves the list.
  bool OpenCode(const std::filesystem::path& file);

  // --- Start-up and shutdown ---------------------------------------------------------------
  void Form_Load();
  void Form_Unload();
  void Timer1_Timer();

  // --- The shell's own entries ---------------------------------------------------------------
  void SystemLog_DblClick();
  void mnuFileClose_Click();
  void mnuFileExit_Click();
  void mnuToolsOptions_Click();
  void mnuToolsHistory_Click();
  void tbToolBar_ButtonClick(std::string_view key);
  void Setup_Click();
  void LoadSetup_Click(int slot);  // slot 1 to 4
  void SaveSetup_Click(int slot);
  void mnuHelpContents_Click();
  void mnuHelpSearchForHelpOn_Click();
  void mnuHelpAbout_Click();

  // --- The About box -------------------------------------------------------------------------
  // A click on one of its controls; false when the control takes none.
  bool ClickAbout(std::string_view name);
  void frmAbout_Load();
  void cmdSysInfo_Click();
  void StartSysInfo();

  Edges& edges() { return edges_; }

  // "Backup Before Erasing or Burning": a job burning parts known to be blank turns it off.
  void SetBackups(bool keep);

 private:
  // First, so that everything below may hold a reference into it.
  Edges edges_;

 public:
  // --- The forms and the state, composed of the rooms' parts ---------------------------------
  panel::Form frmMain;
  panel::Form frmAbout;
  panel::Form frmDisplay1;
  panel::Form frmHistory;
  panel::Panel panel;
  board::Board board;
  catalogue::Selection device;
  buffers::Buffers buffers;
  operation::RunState run;
  WindowPlacement placement;
  PartInJob partInJob;
  // Tools > Job...: the front end's Job dialog, shown without waiting (jobs live in a room above
  // this one). Null where the front end has none.
  std::function<void()> showJobDialog;
  std::string LineBreak;

  // --- The rooms' procedures -----------------------------------------------------------------
  board::Detection detection;
  buffers::BufferView view;
  buffers::ImageEditor editor;
  buffers::ImageFiles images;
  catalogue::DeviceSelection selection;
  operation::Operation operation;
  parallel::ParallelDevice parallelDevice;
  parallel::EpromProgrammer eprom;
  flash::FlashCommands flashCommands;
  flash::FlashIdentity flashIdentity;
  flash::FlashProgrammer flash;
  flash::PageWriter pages;
  serial::TwoWireBus twoWireBus;
  serial::SerialEeprom serial;
  dispatch::Dispatcher dispatcher;
  workbench::Workbench workbench;
  Setups setups;
  RecentFiles recentFiles;

 private:
  // `statesOutcome`: the event must state its outcome (a device operation, a file, a setup).
  bool Operate(const std::function<bool()>& event, bool statesOutcome);
  bool IsOperation(std::string_view name);
  void OnOperationStopped();
  void OnPortFault(const board::PortFault& fault);
  static bool IsDeviceOperation(std::string_view name);
  // The record of every part: the operation an event is recorded as, if any; the event run with
  // its record kept after it.
  static std::optional<std::string> RecordedOperation(std::string_view name);
  bool ClickRecorded(std::string_view name, const std::string& operationName);
  records::PartRecord PartRecordOf(std::string_view event, std::string operationName,
                                   std::uint64_t startNs);
  void NotePartChecksums(records::PartRecord& record, std::string_view event);
  void KeepRecord(std::string_view event, std::string operationName, std::uint64_t startNs);
  void cmdHistoryFilter_Click();
  bool FillHistory(std::string& error);
  void ConfirmBoardAtSafePoint();
  // Port accesses outside an operator event (start-up, shutdown): the log line of their fault,
  // ending with `then`, or empty when they went through.
  std::string AccessOutsideEvent(const std::function<void()>& access, const char* then);
  void ShowNoPortChosen();
  // Reads the operator's device file into the list's parts; the line to log about it, if any.
  std::string TakeDeviceFile();
  void ShowDifference(bool next);
  void ShowChecksums();
  void ShowJobDialog();
  void ShowOutcome(const panel::Outcome& outcome);
  bool ClickNow(std::string_view name);
  bool DblClickNow(std::string_view name);
  bool SetValueNow(std::string_view name, int value);
  void WireEvents();
  void WireImageMenu();
  void On(std::string name, std::function<void()> handler);
  void OnClicks(std::initializer_list<const char*> names);
  void SelectOption(panel::Control& option);
  void ShowHelp(panel::HelpTopic topic);
  void RunDataOperation(void (dispatch::Dispatcher::*routine)());
  void RestoreWindowPlacement();
  void StoreWindowPlacement();
  // The device, options and code file of the last session, restored at start-up.
  void StoreLastSession();
  void RestoreLastSession();
  void RestoreDevice(const std::string& name);
  void RestoreChoice(const std::string& name, const std::optional<std::string>& stored);
  void RestoreCodeFile(const std::string& file);
  void OpenCodeNow(const std::string& file);
  void OpenRecentFile(std::size_t index);
  void RememberCodeFile(std::string_view event);
  void ShowRecentFiles();
  // The dispatcher's hook before an erase or a burn (shell/part_backup.cpp).
  bool KeepPartContents(std::string_view before);
  bool ReadPartAside(std::vector<std::uint8_t>& contents);

  std::unordered_map<std::string, std::function<void()>> clickHandlers_;
  bool operating_ = false;
  int operationsStopped_ = 0;
  int portFaults_ = 0;
  // A record could not be kept and the log said so: said again only after one was kept.
  bool recordFaultLogged_ = false;
};

}  // namespace sorvell::shell
