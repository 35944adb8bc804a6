#include "board/detection.h"

#include <string>

#include "board/board_config.h"
#include "board/probe.h"
#include "common/atomic_file.h"
#include "common/hex_text.h"
#include "common/read_file.h"
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

// The board configuration file is four short lines; anything much larger is not one.
constexpr std::size_t kMaxBoardConfigBytes = 4096;

bool IsLptBase(std::uint16_t port) {
  return port == kLpt378 || port == kLpt278 || port == kLpt3BC;
}

// What the file on disk names now, without a word when it is missing or unusable.
BoardConfig PeekBoardConfig(const std::filesystem::path& path) {
  std::string text, error;
  if (!common::ReadRegularFile(path, kMaxBoardConfigBytes, text, error,
                               common::EmptyFile::kAccepted)) {
    return {};
  }
  return ParseBoardConfig(text);
}

constexpr const char* kChoosePort =
    "No LPT port is selected: choose 378h, 278h or 3BCh, or press TestPort.";

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
    panel_.ReportNotDone(panel::NotDoneReason::kNoBoard,
                         "Can't Locate Sorvell Board at Any LPT port.");
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
    panel_.ReportDone("SORVELL-" + n +
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
  // The model is set; without a port the operator is reminded to choose one.
  if (board_.DataPort == 0) panel_.AddLog(kChoosePort);
}

bool Detection::PortChosen() {
  if (board_.DataPort != 0) return true;
  panel_.AddLog(kChoosePort);
  panel_.ReportNotDone(panel::NotDoneReason::kNoPort, kChoosePort);
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
  BoardConfig config;
  if (!LoadBoardConfig(config)) return;
  if (config.hasPort && !IsLptBase(config.port)) {
    // Never trusted: direct I/O would write to whatever address the file names.
    panel_.AddLog(std::string(kBoardConfigFile) + " names port " + common::HexText(config.port) +
                  "h, not 378h, 278h or 3BCh: searching the ports instead");
    return;
  }
  if (config.hasModel && (config.model < 4 || config.model > 6)) {
    panel_.AddLog(std::string(kBoardConfigFile) + " names model " + std::to_string(config.model) +
                  ", not 4, 5 or 6: searching the ports instead");
    return;
  }
  if (config.hasPort) board_.DataPort = config.port;
  if (config.hasModel) board_.BoardModel = config.model;
  BoardConfigKeys = config.keys;
  if (config.NamesBoard()) FoundPort = board_.DataPort;
  ReportBoardFound();
}

// False when there is no file, or it cannot be used (said in the log): only a small regular file
// is read, never a folder, a FIFO or a device that would block or never end.
bool Detection::LoadBoardConfig(BoardConfig& config) {
  const std::filesystem::path path = panel_.folders.configFolder / kBoardConfigFile;
  std::error_code missing;
  if (!std::filesystem::exists(path, missing)) return false;
  std::string text, error;
  if (!common::ReadRegularFile(path, kMaxBoardConfigBytes, text, error,
                               common::EmptyFile::kAccepted)) {
    panel_.AddLog(std::string(kBoardConfigFile) + " was not used: " + error);
    return false;
  }
  config = ParseBoardConfig(text);
  return true;
}

// A file that already names this board is left as it is: a configuration folder that cannot be
// written then costs nothing at each start.
void Detection::WriteBoardConfig() {
  const std::filesystem::path path = panel_.folders.configFolder / kBoardConfigFile;
  const BoardConfig onDisk = PeekBoardConfig(path);
  if (onDisk.NamesBoard() && onDisk.port == board_.DataPort && onDisk.model == board_.BoardModel) {
    return;
  }
  const panel::LocalTime now = panel_.clock.Now();
  const std::string text = FormatBoardConfig(panel::DateText(now), panel::TimeText(now),
                                             board_.DataPort, board_.BoardModel);
  std::error_code ignored;
  std::filesystem::create_directories(panel_.folders.configFolder, ignored);
  std::string error;
  if (common::WriteFileAtomically(path, text, error)) return;
  panel_.ReportNotDone(panel::NotDoneReason::kFileNotSaved,
                       std::string(kBoardConfigFile) + " was not saved: " + error);
  const std::string consequence = onDisk.NamesBoard() && IsLptBase(onDisk.port)
                                      ? "so the next start will try the old one (port " +
                                            common::HexText(onDisk.port) + "h, model " +
                                            std::to_string(onDisk.model) + ") first"
                                      : "so the next start will search the ports again";
  panel_.dialogs.Message({"The board configuration was not saved, " + consequence + ": " + error,
                          "Board Configuration", panel::MessageButtons::kOk,
                          panel::MessageIcon::kExclamation, panel::Answer::kOk});
}

}  // namespace sorvell::board
