#include "board/detection.h"

#include <fstream>
#include <sstream>
#include <string>

#include "board/board_config.h"
#include "board/probe.h"
#include "common/atomic_file.h"
#include "common/hex_text.h"
#include "panel/time_text.h"

namespace sorvell::board {

namespace {

struct LptPort {
  const char* option;
  const char* caption;
  std::uint16_t base;
};

constexpr LptPort kLptPorts[] = {{"LPTSelection(0)", "378h", kLpt378},
                                 {"LPTSelection(1)", "278h", kLpt278},
                                 {"LPTSelection(2)", "3BCh", kLpt3BC}};

}  // namespace

Detection::Detection(Board& board, panel::Panel& panel) : board_(board), panel_(panel) {}

// Probes 278h, 378h and 3BCh in that order; the last port that answers wins.
void Detection::TestHardware_button_Click() {
  panel_.ErrorLabelOff();
  panel_.ProgramLabelOff();
  panel_.DataFlowLabelOff();
  FoundPort = 0;
  board_.BoardModel = 0;
  panel_.frmMain["SorvellHardwareFound"].SetForeColor(panel::kRed);
  panel_.frmMain["SorvellHardwareFound"].SetCaption("NO HARDWARE FOUND");
  panel_.frmMain["PortSelected"].SetCaption("None");
  for (const LptPort& port : kLptPorts) panel_.frmMain[port.option].SetValue(0);
  panel_.frmMain["Ready_label"].SetCaption("NotReady");
  panel_.frmMain["Ready_label"].SetForeColor(panel::kRed);

  const std::uint16_t remembered = board_.DataPort;
  for (const std::uint16_t base : {kLpt278, kLpt378, kLpt3BC}) {
    board_.DataPort = base;
    CheckHardware();
  }
  board_.DataPort = remembered;
  board_.StatusPort = static_cast<std::uint16_t>(board_.DataPort + kStatusOffset);
  board_.ControlPort = static_cast<std::uint16_t>(board_.DataPort + kControlOffset);
  if (board_.BoardModel == 0) {
    panel_.AddLog("Can't Locate Sorvell Board at Any LPT port.");
    panel_.AddLog("Sorvell should be connected to a LPT port, with power and socket empty.");
  }
  ReportBoardFound();
}

void Detection::CheckHardware() {
  board_.StatusPort = static_cast<std::uint16_t>(board_.DataPort + kStatusOffset);
  board_.ControlPort = static_cast<std::uint16_t>(board_.DataPort + kControlOffset);
  panel_.DataFlowLabelOn();
  const ProbeResult probe = RunProbeTests(board_);
  panel_.DataFlowLabelOff();
  if (probe.testA == kProbeAnswer) {
    board_.BoardModel = 5;
    FoundPort = board_.DataPort;
  }
  if (probe.testB == kProbeAnswer) {
    board_.BoardModel = 4;
    FoundPort = board_.DataPort;
  }
  if (board_.BoardModel == 5 && AnswersAsModel6(board_)) board_.BoardModel = 6;
  if (probe.testA != kProbeAnswer && probe.testB != kProbeAnswer) {
    panel_.AddLog("Port " + common::HexText(board_.DataPort) + " Not Responding");
  }
}

void Detection::ReportBoardFound() {
  if (FoundPort < 1) return;
  panel_.frmMain["Ready_label"].SetForeColor(panel::kGreen);
  panel_.frmMain["Ready_label"].SetCaption("Ready");
  board_.DataPort = FoundPort;
  board_.StatusPort = static_cast<std::uint16_t>(board_.DataPort + kStatusOffset);
  board_.ControlPort = static_cast<std::uint16_t>(board_.DataPort + kControlOffset);
  for (const LptPort& port : kLptPorts) {
    if (port.base != board_.DataPort) continue;
    if (panel::SelectOption(panel_.frmMain, panel_.frmMain[port.option])) LPTSelection_Click(0);
  }
  const int model = board_.BoardModel;
  if (model >= 4 && model <= 6) {
    const std::string n = std::to_string(model);
    panel_.AddLog("SORVELL-" + n +
                  " Device was FOUND at Port: " + common::HexText(board_.DataPort));
    panel_.frmMain["SorvellHardwareFound"].SetCaption("MODEL " + n + " - PC port " +
                                                      common::HexText(board_.DataPort) + "h");
    panel_.frmMain["SorvellHardwareFound"].SetForeColor(panel::kButtonText);
    WriteBoardConfig();
    board_.SelectModelStrobes();
    if (model != 4) {
      board_.REG0B3ON();
      board_.Sleep(200);
      board_.REG0B3OFF();
    }
  }
  board_.Reset();
}

void Detection::ForceSorvell_Click(int model) {
  board_.BoardModel = model;
  const std::string n = std::to_string(model);
  panel_.AddLog("SORVELL-" + n + " Device was FORCED by Operator");
  panel_.frmMain["SorvellHardwareFound"].SetCaption("Operator Forced Model " + n);
  panel_.frmMain["SorvellHardwareFound"].SetForeColor(panel::kRed);
  panel_.frmMain["Ready_label"].SetForeColor(panel::kGreen);
  panel_.frmMain["Ready_label"].SetCaption("Ready");
  board_.SelectModelStrobes();
  board_.Reset();
  PortChosen();
}

bool Detection::PortChosen() {
  if (board_.DataPort != 0) return true;
  panel_.AddLog("No LPT port is selected: choose 378h, 278h or 3BCh, or press TestPort.");
  return false;
}

// Redirects port access only: the model, the found port and the strobes stay as they are.
void Detection::LPTSelection_Click(int) {
  for (const LptPort& port : kLptPorts) {
    if (!panel_.frmMain[port.option].Value()) continue;
    panel_.frmMain["PortSelected"].SetCaption(port.caption);
    panel_.AddLog(std::string("Port Selection changed to ") + port.caption);
    board_.DataPort = port.base;
    board_.StatusPort = static_cast<std::uint16_t>(port.base + kStatusOffset);
    board_.ControlPort = static_cast<std::uint16_t>(port.base + kControlOffset);
  }
}

void Detection::ReadBoardConfig() {
  board_.DataPort = 0;
  BoardConfigKeys.clear();
  BoardConfigPath = (panel_.folders.configFolder / kBoardConfigFile).string();
  std::ifstream file(BoardConfigPath, std::ios::binary);
  if (!file) return;
  std::stringstream text;
  text << file.rdbuf();
  const BoardConfig config = ParseBoardConfig(text.str());
  if (config.hasPort) board_.DataPort = config.port;
  if (config.hasModel) board_.BoardModel = config.model;
  BoardConfigKeys = config.keys;
  if (config.NamesBoard()) FoundPort = board_.DataPort;
  ReportBoardFound();
}

void Detection::WriteBoardConfig() {
  const panel::LocalTime now = panel_.clock.Now();
  const std::string text = FormatBoardConfig(panel::DateText(now), panel::TimeText(now),
                                             board_.DataPort, board_.BoardModel);
  const auto path = panel_.folders.configFolder / kBoardConfigFile;
  std::error_code ignored;
  std::filesystem::create_directories(panel_.folders.configFolder, ignored);
  std::string error;
  if (!common::WriteFileAtomically(path, text, error)) {
    panel_.dialogs.Message(
        {"The board configuration was not saved, so the next start will search "
         "the ports again: " +
             error,
         "Board Configuration", panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
         panel::Answer::kOk});
  }
}

}  // namespace sorvell::board
