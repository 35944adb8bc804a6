#include "board/board_answers.h"

#include <optional>

namespace sorvell::board {

namespace {

constexpr int kR0OutputEnableOff = 0x40;  // OE high
constexpr int kR0VppOnOutputEnable = 0x80;
constexpr int kR0VppSwitches = 0xB0;    // VPP onto socket pin 24, 1 or 3
constexpr int kR3ChipEnableOff = 0x80;  // CE high; SCL high on the two-wire adapter
constexpr int kR3LatchOff = 0x40;       // register 4 off the data lines
constexpr int kD7 = 0x80;
// D7 is not compared: on the two-wire adapter it is SDA, which the part may pull low.
constexpr int kComparedLines = 0x7F;
// Every one of D6..D0 is seen high once and low once, so neither a line stuck at a level nor the
// FFh of a port with nothing on it passes.
constexpr int kFirstPattern = 0x55;
constexpr int kSecondPattern = 0x2A;

enum class Approach {
  kNone,
  kAsItIs,          // CE off: no part drives the data lines, none writes or is pulsed
  kLiftChipEnable,  // a part is being read (CE and OE on, no VPP): CE off for the check
};

bool KnownBoard(const Board& board) {
  return board.DataPort != 0 && board.BoardModel >= 4 && board.BoardModel <= 6;
}

// What registers 0, 3 and 4 hold now, as the latches took it (not the shadows, which the fast
// Flash cycles leave behind).
struct LatchState {
  int reg0 = 0;
  int reg3 = 0;
  int reg4 = 0;
  bool reg4Known = false;
};

std::optional<LatchState> LatchesNow(const Board& board) {
  const std::optional<int> reg0 = board.Latched(0);
  const std::optional<int> reg3 = board.Latched(3);
  if (!KnownBoard(board) || !reg0 || !reg3) return std::nullopt;
  const std::optional<int> reg4 = board.Latched(4);
  return LatchState{*reg0, *reg3, reg4.value_or(board.Reg4Shadow), reg4.has_value()};
}

Approach ChooseApproach(const LatchState& now, SocketUse use) {
  const bool latchDrives = (now.reg3 & kR3LatchOff) == 0;
  // Driving a byte nobody knows, the latch cannot be given it back (nor D7 be held).
  if (latchDrives && !now.reg4Known) return Approach::kNone;
  // The adapter wires only CE (SCL) and D7 (SDA); neither moves below, so any state will do.
  if (use == SocketUse::kTwoWireAdapter) return Approach::kAsItIs;
  const bool vppOn = (now.reg0 & kR0VppSwitches) != 0;
  const bool outputEnabled = (now.reg0 & (kR0OutputEnableOff | kR0VppOnOutputEnable)) == 0;
  const bool chipEnabled = (now.reg3 & kR3ChipEnableOff) == 0;
  // CE off: no part writes or takes a program pulse (every write, pulse and PGM pulse needs CE
  // on), and none drives, except an EPROM in program verify (OE on with VPP on).
  if (!chipEnabled) return outputEnabled && vppOn ? Approach::kNone : Approach::kAsItIs;
  // CE on with OE off is how parts are written and pulsed: one may be under way, through a WE or
  // PGM line the board cannot tell from an address line. With VPP on, lifting CE could start or
  // end a pulse. With the latch driving against a part that drives, there is nothing to add.
  if (!outputEnabled || vppOn || latchDrives) return Approach::kNone;
  // A read: with OE on no part takes a write (every one of them needs OE off for that) and
  // without VPP no EPROM programs, so CE may go off and on: the part's read ends and starts again.
  return Approach::kLiftChipEnable;
}

void LatchData(Board& board, int value) {
  board.Reg4Shadow = value;
  board.SetReg4();
}

void SetRegister3(Board& board, int value) {
  board.Reg3Shadow = value;
  board.SetReg3();
}

std::uint8_t ReadBack(Board& board) {
  board.StrobeDelay();
  board.GetNibbles();
  return static_cast<std::uint8_t>(board.ReadByte & kComparedLines);
}

// The two patterns are complements on D6..D0: a line that reads the same level under both is held
// there. When every line is, nothing answers (no power, no cable: the port reads its own idle
// levels); when some are, the board answers on the others.
BoardAnswer Judge(std::uint8_t first, std::uint8_t second) {
  const auto wrong = static_cast<std::uint8_t>(
      ((first ^ kFirstPattern) | (second ^ kSecondPattern)) & kComparedLines);
  if (wrong == 0) return {AnswerCheck::kAnswered};
  const auto held = static_cast<std::uint8_t>(~(first ^ second) & kComparedLines);
  if (held == kComparedLines || held == 0 || (wrong & ~held) != 0) return {AnswerCheck::kSilent};
  return {AnswerCheck::kLinesHeld, static_cast<std::uint8_t>(held & ~first),
          static_cast<std::uint8_t>(held & first)};
}

// The shadows and the operation's last byte read are back as they were when the check ends,
// also when a port fault ends it half way (the registers are then reset by the shell). The
// check's own writes go through them, as every register write does.
struct Restore {
  Board& board;
  const int reg3 = board.Reg3Shadow;
  const int reg4 = board.Reg4Shadow;
  const std::uint8_t readByte = board.ReadByte;
  ~Restore() {
    board.Reg3Shadow = reg3;
    board.Reg4Shadow = reg4;
    board.ReadByte = readByte;
  }
};

}  // namespace

BoardAnswer CheckBoardAnswers(Board& board, SocketUse use) {
  const std::optional<LatchState> now = LatchesNow(board);
  const Approach approach = now ? ChooseApproach(*now, use) : Approach::kNone;
  if (approach == Approach::kNone) return {AnswerCheck::kNotNow};
  const Restore shadows{board};
  const bool latchDrove = (now->reg3 & kR3LatchOff) == 0;
  const int lifted = approach == Approach::kLiftChipEnable ? kR3ChipEnableOff : 0;
  // D7 keeps the level the board gives it now: the latch's bit while it drives, else released.
  // On the two-wire adapter D7 is SDA, so no START or STOP can come of the check.
  const int d7 = latchDrove ? (now->reg4 & kD7) : kD7;
  // Off the bus the latch moves no line. Driving (only ever with CE off, or on the adapter, where
  // D6..D0 go nowhere) it moves D6..D0, which no part takes with CE off.
  LatchData(board, kFirstPattern | d7);
  // Register 3 is written as it stands but for one bit a step: CE off first, so the part has let
  // go of the data lines before the latch drives them; A19..A16, the write line of bit 2 and
  // model 6's identification line stay as they are.
  if (lifted != 0) SetRegister3(board, now->reg3 | lifted);
  if (!latchDrove) SetRegister3(board, (now->reg3 | lifted) & ~kR3LatchOff);
  const std::uint8_t first = ReadBack(board);
  LatchData(board, kSecondPattern | d7);
  const std::uint8_t second = ReadBack(board);
  // Back in the reverse order: the latch off the bus, then CE, then the latch's byte, which is
  // out of sight again unless it drove before the check. A byte never written since start-up
  // cannot be given back; it is off the bus, and the shadow's byte takes its place.
  if (!latchDrove) SetRegister3(board, now->reg3 | lifted);
  if (lifted != 0) SetRegister3(board, now->reg3);
  LatchData(board, now->reg4);
  board.LastAnswerCheckNs = board.Clock().NowNs();
  ++board.AnswerChecks;
  return Judge(first, second);
}

std::string HeldLinesText(const BoardAnswer& answer) {
  std::string text;
  for (int line = 6; line >= 0; --line) {
    const int bit = 1 << line;
    if (((answer.heldLow | answer.heldHigh) & bit) == 0) continue;
    text += (text.empty() ? "data line D" : ", D") + std::to_string(line) + " reads " +
            ((answer.heldHigh & bit) != 0 ? "1" : "0");
  }
  return text +
         " whatever the board drives: a short at the socket (a bent pin, solder, a part holding "
         "the "
         "line) or the board's data latch; check the socket and the part";
}

void ConfirmBoardAnswers(Board& board, SocketUse use) {
  const BoardAnswer answer = CheckBoardAnswers(board, use);
  if (answer.check == AnswerCheck::kSilent) throw BoardStoppedAnswering();
  if (answer.check == AnswerCheck::kLinesHeld) throw DataLinesHeld(HeldLinesText(answer));
}

bool AnswerCheckDue(Board& board) {
  const std::uint64_t now = board.Clock().NowNs();
  return now < board.LastAnswerCheckNs || now - board.LastAnswerCheckNs >= kAnswerCheckPeriodNs;
}

}  // namespace sorvell::board
