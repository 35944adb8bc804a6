#include "flash/flash_commands.h"

#include <algorithm>

#include "catalogue/routines.h"

namespace sorvell::flash {

namespace {

constexpr int kUnlockAddress1 = 0x5555;
constexpr int kUnlockAddress2 = 0x2AAA;

}  // namespace

FlashCommands::FlashCommands(operation::Operation& operation)
    : board_(operation.board), device_(operation.device), panel_(operation.panel) {}

// Data, address, chip enable, a write-enable pulse (the byte is taken as it ends), chip enable
// off. The command addresses go out untranslated and without the fixed bits of register 1.
void FlashCommands::FastWriteCycle(int address, int data) {
  board_.FastRegisterWrite(4, data);
  board_.FastRegisterWrite(1, address >> 8);
  board_.FastRegisterWrite(2, address & 0xFF);
  board_.FastRegisterWrite(3, 0x04);
  board_.FastRegisterWrite(3, 0x00);
  board_.FastRegisterWrite(3, 0x04);
  board_.FastRegisterWrite(3, 0x84);
}

// The cycles of a command go out as timed work: no other process comes between them.
void FlashCommands::SendFlashCommand() {
  const board::TimedWork held(board_.Clock());
  // The AT29C256 takes its commands as byte loads of its own.
  if (device_.Routines().program == catalogue::ProgramRoutine::kProgramAT29C256) {
    AT29Command();
    return;
  }
  board_.OEOFF();
  board_.FastRegisterWrite(
      3, 0x84);  // chip and write enable inactive, register 4 driving, high address 0
  FastWriteCycle(kUnlockAddress1, 0xAA);
  FastWriteCycle(kUnlockAddress2, 0x55);
  FastWriteCycle(kUnlockAddress1, FlashCommand);
}

void FlashCommands::AT29Command() {
  board_.OEOFF();
  board_.Reg3Shadow = 0x82;
  board_.SetReg3();
  const CommandCycle cycles[] = {
      {kUnlockAddress1, 0xAA}, {kUnlockAddress2, 0x55}, {kUnlockAddress1, FlashCommand}};
  AT29Cycles(cycles);
  SliderWait(5);
}

ByteLoads::Gap FlashCommands::XICORCycles(std::span<const CommandCycle> cycles) {
  return SendCycles(cycles, kX28C256Lines, &FlashCommands::WriteCycleXICOR);
}

ByteLoads::Gap FlashCommands::AT29Cycles(std::span<const CommandCycle> cycles) {
  return SendCycles(cycles, kAT29C256Lines, &FlashCommands::WriteCycleAT29);
}

// A part takes each command cycle as a byte load: a cycle that misses the window of the one
// before is the start of another load, so the cycles go out back to back.
ByteLoads::Gap FlashCommands::SendCycles(std::span<const CommandCycle> cycles,
                                         const LoadLines& lines,
                                         void (FlashCommands::*writeCycle)()) {
  const board::TimedWork held(board_.Clock());
  loads_.Begin(lines);
  for (const CommandCycle& cycle : cycles) {
    CommandAddress = cycle.address;
    board_.Reg4Shadow = cycle.data;
    (this->*writeCycle)();
  }
  return loads_.Longest();
}

// Write enable is register 1 bit 7 on the AT29C256.
void FlashCommands::WriteCycleAT29() {
  loads_.Load((CommandAddress / 256) | board_.Reg1FixedBits, CommandAddress & 0xFF,
              board_.Reg4Shadow);
}

// Write enable is register 1 bit 6 on the X28C256; A14 rides on bit 7 (64 added to the high
// byte when it is not 0).
void FlashCommands::WriteCycleXICOR() {
  int high = CommandAddress / 256;
  if (high != 0) high += 64;
  loads_.Load(high | 0x40, CommandAddress & 0xFF, board_.Reg4Shadow);
}

void FlashCommands::SliderWait(int extraMilliseconds, int atLeast) {
  const int wait =
      std::max(atLeast, panel_.SpeedMaximum() - panel_.SpeedPosition() + extraMilliseconds);
  board_.Sleep(static_cast<std::uint32_t>(wait));
}

}  // namespace sorvell::flash
