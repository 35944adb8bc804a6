#pragma once

#include <cstdint>
#include <span>

#include "flash/byte_loads.h"
#include "operation/operation.h"

namespace sorvell::flash {

// The wire level of the Flash and page-write parts: the three-cycle unlock and command writes,
// the fast register writes that carry them at port speed, the command cycles of the 28-pin
// page-write parts (byte loads, each within the part's byte-load window of the one before).
class FlashCommands {
 public:
  explicit FlashCommands(operation::Operation& operation);

  // The command byte of the third cycle: 90h autoselect, F0h reset, A0h byte program, 80h and
  // 10h chip erase.
  int FlashCommand = 0;
  // The address of one command cycle of a page-write part (5555h or 2AAAh).
  int CommandAddress = 0;

  struct CommandCycle {
    int address;
    int data;
  };

  void SendFlashCommand();
  void AT29Command();
  // The cycles as one run of byte loads at port speed, at real-time priority where the system
  // grants it; the caller waits around them. What the clock saw of the gaps between the cycles.
  ByteLoads::Gap XICORCycles(std::span<const CommandCycle> cycles);
  ByteLoads::Gap AT29Cycles(std::span<const CommandCycle> cycles);
  // The page loads go through the same writer.
  ByteLoads& Loads() { return loads_; }
  // The slider's wait: (maximum - position + extra) ms, shorter at faster positions, and never
  // shorter than `atLeast` ms.
  void SliderWait(int extraMilliseconds, int atLeast = 0);

 private:
  void FastWriteCycle(int address, int data);
  ByteLoads::Gap SendCycles(std::span<const CommandCycle> cycles, const LoadLines& lines,
                            void (FlashCommands::*writeCycle)());
  // One cycle of the run: CommandAddress and the data in Reg4Shadow.
  void WriteCycleAT29();
  void WriteCycleXICOR();

  board::Board& board_;
  const catalogue::Selection& device_;
  panel::Panel& panel_;
  ByteLoads loads_{board_};
};

}  // namespace sorvell::flash
