#pragma once

#include "board/board.h"

namespace sorvell::board {

// What the two probe tests read back from the port at `board.DataPort`: each is two status reads
// (masked to status bits 4..6) as first * 256 + second. A board answers 0070h to the test made
// for its own control-line polarity, and only with an empty socket.
struct ProbeResult {
  int testA = 0;  // written with model 5/6 control values
  int testB = 0;  // written with model 4 control values
};

ProbeResult RunProbeTests(Board& board);

// A model 6 board pulls D4 low through register 3 bit 5 while register 4 is off the bus; a model
// 5 board has no such line. Reads with the model 5/6 nibble selects, whatever model was last
// selected: under any other control value the two boards cannot be told apart.
bool AnswersAsModel6(Board& board);

inline constexpr int kProbeAnswer = 0x70;

}  // namespace sorvell::board
