#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "board/board.h"
#include "buffers/buffers.h"
#include "catalogue/selection.h"
#include "parallel/parallel_state.h"
#include "shell/edges.h"
#include "shell/form.h"

namespace sorvell::shell {

// Window position and size in twips (15 to a pixel on a 96 dpi screen), as the settings store
// keeps them.
struct WindowPlacement {
  float left = 100, top = 100, width = 100, height = 6500;
  bool minimised = false;
};

// The edges the main window reaches the outside through, injected by the front end.
struct Edges {
  board::PortIo& port;
  board::Timing& timing;
  Dialogs& dialogs;
  WindowHost& windows;
  SoundPlayer& sounds;
  SettingsStore& settings;
  WallClock& clock;
  Folders folders;
};

// The main window: every control as data, the board, and the operator's event handlers. All of
// the program's state lives here; the front ends render it and forward events.
class MainForm {
 public:
  explicit MainForm(Edges edges);
  MainForm(const MainForm&) = delete;
  MainForm& operator=(const MainForm&) = delete;

  Form frmMain;
  Form frmAbout;
  Form frmDisplay1;
  board::Board board;
  catalogue::Selection device;
  buffers::Buffers buffers;
  parallel::ParallelState parallel;
  // 0 after the serial device acknowledged, else the samples taken without an acknowledge.
  int AckCount = 0;
  WindowPlacement placement;

  // --- Operator events, by control name. False when the control has no such event. ----------
  bool Click(std::string_view name);
  bool DblClick(std::string_view name);
  // A new value from the operator: check box 0/1, option 1, slider or list position.
  bool SetValue(std::string_view name, int value);
  bool SetText(std::string_view name, std::string text);

  // --- Start-up and shutdown ---------------------------------------------------------------
  void Form_Load();
  void Form_Unload();
  void Timer1_Timer();

  // --- Log, lamps, sounds, alert -----------------------------------------------------------
  void AddLog(std::string_view message);
  void SystemLog_DblClick();
  void PlayEventSound(std::string_view key);
  void ErrorLabelOn();
  void ErrorLabelOff();
  void ProgramLabelOn();
  void ProgramLabelOff();
  void DataFlowLabelOn();
  void DataFlowLabelOff();
  void ToggleProgramLed();
  void ErrorLockButtons();
  void CriticalErrorBox();
  void Error_label_Click();
  // How many times the error alert was raised in this run (the console's exit status).
  int ErrorAlertsRaised() const { return errorAlertsRaised_; }

  // --- Device controls -------------------------------------------------------------------
  void ClearDeviceControls();

  // --- Menus with their own small actions --------------------------------------------------
  void mnuFileClose_Click();
  void mnuFileExit_Click();
  void mnuToolsOptions_Click();
  void tbToolBar_ButtonClick(std::string_view key);

  // --- Board detection, port and model selection -------------------------------------------
  void TestHardware_button_Click();
  void CheckHardware();
  void ReportBoardFound();
  void ForceSorvell_Click(int model);
  void LPTSelection_Click(int index);
  void ReadBoardConfig();
  void WriteBoardConfig();
  // True when a port is chosen; otherwise tells the operator to choose one.
  bool PortChosen();
  std::string BoardConfigPath;
  std::string BoardConfigKeys;

  // --- Device list and selection -------------------------------------------------------------
  void FillDeviceList();
  void Device_Click();
  void CalcSpeedDelays();
  void Slider1_Change();
  void Voltage_button_Click(int index);
  void EnableSelectedDeviceControls();
  void SelectSuggestedVoltage();
  void EnableLoadedBufferControls();

  // --- Buffers, image files and the dump ------------------------------------------------------
  // False when the file was refused (reported; nothing changed).
  bool ReadBinaryFile();
  bool ReadBinaryFileData();
  void RefuseFile(const std::string& error);
  void SaveImage(std::string& fileName, const char* title, const char* label,
                 const char* statusText, const std::uint8_t* bytes, std::int32_t count, bool ask);
  void EraseCodeBuffer();
  void EraseDataBuffer();
  void DisplayPageMemory();
  void DisplayCodeMemory();
  void DisplayDataMemory();
  void DisplayEprom();
  void SetDisplayAddress();
  int CurrentPage() const;

  // --- Parallel devices: read, blank check, verify, programming ----------------------------
  void Read_button_Click();
  void READCODE();
  void ReadParallelCode();
  void READDATA();
  void Blank_button_Click();
  void BLANKCODE();
  void BLANKDATA();
  void BlankCheckParallel();
  void ReportNotBlank();
  void Verify_button_Click();
  void VerifyCode();
  bool VerifyParallel();
  void VerifyData();
  void BuildProgramBuffer();
  void ReportVerifyError();
  void Program_button_Click();
  void ProgramCode();
  bool PrepareAndRunAlgorithm();
  void RunFamilyAlgorithm();
  void FinishProgramming();
  void LeaveSocketIdle();
  void ProgramData();
  void ProgrammingFailure();
  void ReadBackByte();
  void GoProgressiveBar1();
  void ComputeLastBankAndPage();
  void StartReadingAtZero();
  void StepProgress();

  // --- UV-EPROM algorithms -----------------------------------------------------------------
  void P2732();
  void P2764_128();
  void P27256_040();
  void P27080();
  void P27010_020();
  bool P2732Byte();
  bool P2764_128Byte();
  bool P27256_040Byte();
  bool P27080Byte();
  bool P27010_020Byte();
  void SetProgrammingRegister0(int model4Value, int model56Value, int switchBits);
  int VppLevelBits() const;
  void WaitForHighVpp();
  bool TakePulse();
  void SpeedPulse();
  bool ForEachProgramByte(int lampPeriod, bool (MainForm::*handleByte)());
  bool PulsePgmUntilRead(int& shadow, int pgmBit, void (board::Board::*write)());

  // --- Entry points of operations still to be built -----------------------------------------
  // Their routines report that nothing was done, so no success is ever claimed for them.
  void ReadSerialCode();
  void VerifySerialCode();
  void Report24CXXAckError();
  void Program24CXX();
  void Program24C32();
  void ProgramFlash();
  void ProgramX28C256();
  void ProgramAT29C256();
  void Display_button_Click();
  void Erase_button_Click();
  void EraseFlash_button_Click();
  void Show_button_Click();
  void Command1_Click();
  void VScroll1_Change();
  void BufferDisplay_DblClick();
  void FileNameCodeText_Click();
  void mnuFileOpenCode_Click();
  void mnuFileSaveCode_Click();
  void mnuFileSaveCodeAs_Click();
  void mnuFileOpenData_Click();
  void mnuFileSaveData_Click();
  void menuFlashShowCodeID_Click();
  void Setup_Click();
  void LoadSetup_Click(int slot);
  void SaveSetup_Click(int slot);
  void LoopFlashTest_Click();
  void ResetFlash_Click();
  void mnuHelpContents_Click();
  void mnuHelpSearchForHelpOn_Click();
  void mnuHelpAbout_Click();

  // Module-level values that start-up sets and later operations read.
  std::uint16_t FoundPort = 0;
  std::string LineBreak;

  Edges& edges() { return edges_; }

 private:
  void WireEvents();
  void On(std::string name, std::function<void()> handler);
  void OnClicks(std::initializer_list<const char*> names);
  void SelectOption(Control& option);
  void RestoreWindowPlacement();
  void StoreWindowPlacement();
  void TurnAlertOff();

  Edges edges_;
  std::unordered_map<std::string, std::function<void()>> clickHandlers_;
  std::string savedProgramEnabled_ = "True", savedVerifyEnabled_ = "True";
  std::string savedReadEnabled_ = "True", savedDisplayEnabled_ = "True";
  int errorAlertsRaised_ = 0;
};

}  // namespace sorvell::shell
