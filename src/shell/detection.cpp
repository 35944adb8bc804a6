#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "board/board_config.h"
#include "board/probe.h"
#include "common/atomic_file.h"
#include "common/hex_text.h"
#include "shell/main_form.h"
#include "shell/time_text.h"

namespace sorvell::shell {

namespace {

struct LptPort {
  const char* option;
  const char* caption;
  std::uint16_t base;
};

constexpr LptPort kLptPorts[] = {{"LPTSelection(0)", "378h", board::kLpt378},
                                 {"LPTSelection(1)", "278h", board::kLpt278},
                                 {"LPTSelection(2)", "3BCh", board::kLpt3BC}};

}  // namespace

// Probes 278h, 378h and 3BCh in that order; the last port that answers wins.
void MainForm::TestHardware_button_Click() {
  ErrorLabelOff();
  ProgramLabelOff();
  DataFlowLabelOff();
  FoundPort = 0;
  board.BoardModel = 0;
  frmMain["SorvellHardwareFound"].SetForeColor(kRed);
  frmMain["SorvellHardwareFound"].SetCaption("NO HARDWARE FOUND");
  frmMain["PortSelected"].SetCaption("None");
  for (const LptPort& port : kLptPorts) frmMain[port.option].SetValue(0);
  frmMain["Ready_label"].SetCaption("NotReady");
  frmMain["Ready_label"].SetForeColor(kRed);

  const std::uint16_t remembered = board.DataPort;
  for (const std::uint16_t base : {board::kLpt278, board::kLpt378, board::kLpt3BC}) {
    board.DataPort = base;
    CheckHardware();
  }
  board.DataPort = remembered;
  board.StatusPort = static_cast<std::uint16_t>(board.DataPort + board::kStatusOffset);
  board.ControlPort = static_cast<std::uint16_t>(board.DataPort + board::kControlOffset);
  if (board.BoardModel == 0) {
    AddLog("Can't Locate Sorvell Board at Any LPT port.");
    AddLog("Sorvell should be connected to a LPT port, with power and socket empty.");
  }
  ReportBoardFound();
}

void MainForm::CheckHardware() {
  board.StatusPort = static_cast<std::uint16_t>(board.DataPort + board::kStatusOffset);
  board.ControlPort = static_cast<std::uint16_t>(board.DataPort + board::kControlOffset);
  DataFlowLabelOn();
  const board::ProbeResult probe = board::RunProbeTests(board);
  DataFlowLabelOff();
  if (probe.testA == board::kProbeAnswer) {
    board.BoardModel = 5;
    FoundPort = board.DataPort;
  }
  if (probe.testB == board::kProbeAnswer) {
    board.BoardModel = 4;
    FoundPort = board.DataPort;
  }
  if (board.BoardModel == 5 && board::AnswersAsModel6(board)) board.BoardModel = 6;
  if (probe.testA != board::kProbeAnswer && probe.testB != board::kProbeAnswer) {
    AddLog("Port " + common::HexText(board.DataPort) + " Not Responding");
  }
}

void MainForm::ReportBoardFound() {
  if (FoundPort < 1) return;
  frmMain["Ready_label"].SetForeColor(kGreen);
  frmMain["Ready_label"].SetCaption("Ready");
  board.DataPort = FoundPort;
  board.StatusPort = static_cast<std::uint16_t>(board.DataPort + board::kStatusOffset);
  board.ControlPort = static_cast<std::uint16_t>(board.DataPort + board::kControlOffset);
  for (const LptPort& port : kLptPorts) {
    if (port.base == board.DataPort) SetValue(port.option, 1);
  }
  const int model = board.BoardModel;
  if (model >= 4 && model <= 6) {
    const std::string n = std::to_string(model);
    AddLog("SORVELL-" + n + " Device was FOUND at Port: " + common::HexText(board.DataPort));
    frmMain["SorvellHardwareFound"].SetCaption("MODEL " + n + " - PC port " +
                                               common::HexText(board.DataPort) + "h");
    frmMain["SorvellHardwareFound"].SetForeColor(kButtonText);
    WriteBoardConfig();
    board.SelectModelStrobes();
    if (model != 4) {
      board.REG0B3ON();
      board.Sleep(200);
      board.REG0B3OFF();
    }
  }
  board.Reset();
}

void MainForm::ForceSorvell_Click(int model) {
  board.BoardModel = model;
  const std::string n = std::to_string(model);
  AddLog("SORVELL-" + n + " Device was FORCED by Operator");
  frmMain["SorvellHardwareFound"].SetCaption("Operator Forced Model " + n);
  frmMain["SorvellHardwareFound"].SetForeColor(kRed);
  frmMain["Ready_label"].SetForeColor(kGreen);
  frmMain["Ready_label"].SetCaption("Ready");
  board.SelectModelStrobes();
  board.Reset();
  PortChosen();
}

bool MainForm::PortChosen() {
  if (board.DataPort != 0) return true;
  AddLog("No LPT port is selected: choose 378h, 278h or 3BCh, or press TestPort.");
  return false;
}

// Redirects port access only: the model, the found port and the strobes stay as they are.
void MainForm::LPTSelection_Click(int) {
  for (const LptPort& port : kLptPorts) {
    if (!frmMain[port.option].Value()) continue;
    frmMain["PortSelected"].SetCaption(port.caption);
    AddLog(std::string("Port Selection changed to ") + port.caption);
    board.DataPort = port.base;
    board.StatusPort = static_cast<std::uint16_t>(port.base + board::kStatusOffset);
    board.ControlPort = static_cast<std::uint16_t>(port.base + board::kControlOffset);
  }
}

void MainForm::ReadBoardConfig() {
  board.DataPort = 0;
  BoardConfigKeys.clear();
  BoardConfigPath = (edges_.folders.configFolder / board::kBoardConfigFile).string();
  std::ifstream file(BoardConfigPath, std::ios::binary);
  if (!file) return;
  std::stringstream text;
  text << file.rdbuf();
  const board::BoardConfig config = board::ParseBoardConfig(text.str());
  if (config.hasPort) board.DataPort = config.port;
  if (config.hasModel) board.BoardModel = config.model;
  BoardConfigKeys = config.keys;
  if (config.NamesBoard()) FoundPort = board.DataPort;
  ReportBoardFound();
}

void MainForm::WriteBoardConfig() {
  const LocalTime now = edges_.clock.Now();
  const std::string text =
      board::FormatBoardConfig(DateText(now), TimeText(now), board.DataPort, board.BoardModel);
  const auto path = edges_.folders.configFolder / board::kBoardConfigFile;
  std::error_code ignored;
  std::filesystem::create_directories(edges_.folders.configFolder, ignored);
  std::string error;
  if (!common::WriteFileAtomically(path, text, error)) {
    edges_.dialogs.Message(
        {"The board configuration was not saved, so the next start will search "
         "the ports again: " +
             error,
         "Board Configuration", MessageButtons::kOk, MessageIcon::kExclamation, Answer::kOk});
  }
}

}  // namespace sorvell::shell
