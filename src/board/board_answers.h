#pragma once

#include <cstdint>
#include <string>

#include "board/board.h"
#include "board/port_io.h"

namespace sorvell::board {

inline constexpr const char* kBoardStoppedAnswering =
    "the board stopped answering: check its power and cable";

// The board's check failed: a port fault of its own kind, so it ends the operation in hand the
// same way (a device error, no success line), told in its own words, since the port works.
class BoardCheckFailed : public PortFault {
 public:
  explicit BoardCheckFailed(const std::string& what) : PortFault(what) {}
};

// The board did not give back what its data latch drove: it lost its power or its cable, and
// nothing read or written since can be trusted.
class BoardStoppedAnswering : public BoardCheckFailed {
 public:
  BoardStoppedAnswering() : BoardCheckFailed(kBoardStoppedAnswering) {}
};

// What sits in the socket decides which lines the check may move.
enum class SocketUse {
  kParallelPart,    // EPROM, Flash, page-write EEPROM: data lines are inputs while CE or OE is off
  kTwoWireAdapter,  // serial EEPROM: CE is SCL and D7 is SDA, and neither may move
};

enum class AnswerCheck {
  kAnswered,
  kSilent,
  // Some data lines stay at one level whatever the latch drives, while the others follow it: the
  // board answers, but a short on the socket's side (a bent pin, solder, a part holding the line)
  // or its latch holds those lines.
  kLinesHeld,
  // Nothing was sent: no port or model is known, or the socket's state lets no check be made
  // without risk to the part (a write or program pulse may be open, or the part may drive).
  kNotNow,
};

// Latches two complementary patterns into register 4, lets it drive the data lines and reads each
// back through the status lines, as detection does; then puts registers 3 and 4 and their
// shadows back as they were. Registers 0 to 2 (VPP, OE, address, write enables) are never
// written. Why each step is safe for the part in the socket is told beside it.
struct BoardAnswer {
  AnswerCheck check;
  std::uint8_t heldLow = 0;   // D6..D0 that read 0 under both patterns
  std::uint8_t heldHigh = 0;  // and 1
};
BoardAnswer CheckBoardAnswers(Board& board, SocketUse use);

// "data line D3 reads 0 whatever the board drives: ..." for held lines.
std::string HeldLinesText(const BoardAnswer& answer);

// Some data lines held: the operation in hand cannot read or write the part through them.
class DataLinesHeld : public BoardCheckFailed {
 public:
  explicit DataLinesHeld(const std::string& what) : BoardCheckFailed(what) {}
};

// The check, throwing BoardStoppedAnswering when the board is silent and DataLinesHeld when it
// answers on some lines only.
void ConfirmBoardAnswers(Board& board, SocketUse use);

// At the operations' safe points the board is checked at most once in this much of its clock:
// some 90 us of port accesses in 50 ms, a fraction of a percent of the run.
inline constexpr std::uint64_t kAnswerCheckPeriodNs = 50'000'000;

// True when a period has passed since the last check made.
bool AnswerCheckDue(Board& board);

}  // namespace sorvell::board
