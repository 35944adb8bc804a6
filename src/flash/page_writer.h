#pragma once

#include "flash/flash_commands.h"
#include "operation/operation.h"

namespace sorvell::flash {

// The 32 KB parts written in 64-byte pages: the AT29C256 Flash and the X28C256 EEPROM. Both are
// released from software data protection, then each page is loaded, left to write itself, read
// back and loaded again whole while any byte differs.
class PageWriter {
 public:
  PageWriter(operation::Operation& operation, FlashCommands& commands);

  void ProgramAT29C256();
  void ProgramX28C256();
  // False after the failure report, when the sequence never reached the part in time.
  bool UnprotectAT29C256();
  bool UnprotectX28C256();
  // Programs the part with FFh, then rebuilds the programming image from the code image.
  void EraseX28C256();

 private:
  // How the two twins differ.
  struct Part {
    const char* startLine;
    const char* endLine;
    LoadLines lines;
    bool xicor;  // A14 on register 1 bit 7, the X28C256's address path
    int unprotectWaitMs;
  };
  void ProgramPages(const Part& part);
  void SetPartAddress(const Part& part);
  bool Unprotect(const Part& part);
  // False after the failure report, when the page did not verify within its attempts.
  bool ProgramPage(const Part& part, int page);
  ByteLoads::Gap LoadPage(const Part& part, int page);
  bool PageMatches(int page);
  bool Fail();

  operation::Operation& op_;
  board::Board& board_;
  operation::RunState& run_;
  panel::Panel& panel_;
  FlashCommands& commands_;
};

}  // namespace sorvell::flash
