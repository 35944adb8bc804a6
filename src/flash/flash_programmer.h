#pragma once

#include <functional>

#include "flash/flash_commands.h"
#include "flash/flash_identity.h"
#include "operation/operation.h"

namespace sorvell::flash {

// Byte-programmable 5 V Flash (AMD command set): chip erase with completion polling, and byte
// programming with a read-back after every byte.
class FlashProgrammer {
 public:
  FlashProgrammer(operation::Operation& operation, FlashCommands& commands,
                  FlashIdentity& identity);

  void ProgramFlash();
  // Asks first; `confirmed` runs after the operator's OK and before the erase command, which is
  // not sent when it returns false.
  void EraseFlash(const std::function<bool()>& confirmed = {});
  void WriteFlashByte();
  void CheckFlashByte();
  // Service entries: the write cycle by hand.
  void LoopFlashTest_Click();
  void ResetFlash_Click();

  // 1 while the byte just written has not read back as wanted.
  int FlashBusy = 0;

 private:
  // False after the failure report, when a byte did not take within its attempts.
  bool ProgramFlashByte(int maker);
  bool EraseCompleted();
  void RefuseUnknownMaker();

  operation::Operation& op_;
  board::Board& board_;
  operation::RunState& run_;
  panel::Panel& panel_;
  FlashCommands& commands_;
  FlashIdentity& identity_;
};

}  // namespace sorvell::flash
