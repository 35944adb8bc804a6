#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "board/board.h"
#include "board/board_config.h"
#include "panel/panel.h"

namespace sorvell::board {

// Finding the board: probing the three LPT addresses, telling the model, the operator's port and
// model choices, and the board configuration file that lets the next start skip the probe.
class Detection {
 public:
  Detection(Board& board, panel::Panel& panel);

  void TestHardware_button_Click();
  void CheckHardware();
  void ReportBoardFound();
  void ForceSorvell_Click(int model);
  void LPTSelection_Click(int index);
  void ReadBoardConfig();
  void WriteBoardConfig();
  // True when a port is chosen; otherwise tells the operator to choose one.
  bool PortChosen();

  std::uint16_t FoundPort = 0;
  std::string BoardConfigPath;
  std::string BoardConfigKeys;

 private:
  bool LoadBoardConfig(BoardConfig& config);

  Board& board_;
  panel::Panel& panel_;
};

}  // namespace sorvell::board
