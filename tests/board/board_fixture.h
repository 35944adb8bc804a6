#pragma once

#include <cstdint>
#include <vector>

#include "board/board.h"
#include "board/recording_port.h"

namespace sorvell::board::testing {

// Timing that only counts, for tests that look at port sequences.
class CountingTiming final : public Timing {
 public:
  void Sleep(std::uint32_t milliseconds) override { sleptMs += milliseconds; }
  void Spin(std::int64_t iterations) override { spins.push_back(iterations); }
  std::uint64_t NowNs() override { return 0; }  // no time passes: every deadline is met
  std::uint64_t sleptMs = 0;
  std::vector<std::int64_t> spins;
};

// A board on a recording port at 378h, with the start-up tables built and the model selected.
struct RecordedBoard {
  explicit RecordedBoard(int model) : board(port, timing) {
    board.InitStrobeTable();
    board.InitDecodeTables();
    board.DataPort = kLpt378;
    board.BoardModel = model;
    board.SelectModelStrobes();
  }
  using Access = RecordingPort::Access;
  static Access Out(std::uint16_t port, std::uint8_t value) { return {true, port, value}; }
  static Access In(std::uint16_t port, std::uint8_t value) { return {false, port, value}; }

  RecordingPort port;
  CountingTiming timing;
  Board board;
};

}  // namespace sorvell::board::testing
