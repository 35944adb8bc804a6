#include "flash/page_writer.h"

#include <algorithm>
#include <string>

#include "common/hex_text.h"
#include "operation/timed_run.h"

namespace sorvell::flash {

namespace {

constexpr int kPages = 512;
constexpr int kPageBytes = 64;
constexpr int kPageAttemptBudget = 80;  // decremented first: 79 attempts a page
constexpr int kLampPages = 8;
// A page or a sequence whose loads overran the window is loaded again; one that keeps overrunning
// is on a port too slow for the part, and loading it more will not help.
constexpr int kLateLoadsAllowed = 4;
// Both parts' datasheets give a write cycle of at most 10 ms, started when the byte-load window
// (at most 150 us) passes: a read-back before then finds the part busy, and a page loaded again
// while it is busy is ignored and restarts the cycle when its last bytes do arrive. The wait after
// a page is never shorter than that.
constexpr int kMinWriteWaitMs = 11;

constexpr FlashCommands::CommandCycle kUnprotectSequence[] = {
    {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x80}, {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x20}};

// "the load at 1234h came 172 us after the last"
std::string LateText(const char* what, std::int32_t address, const ByteLoads::Gap& gap) {
  return std::string(what) + " at " + common::HexText(address) + "h came " +
         std::to_string(gap.ns / 1000) + " us after the last";
}

}  // namespace

PageWriter::PageWriter(operation::Operation& operation, FlashCommands& commands)
    : op_(operation),
      board_(operation.board),
      run_(operation.run),
      panel_(operation.panel),
      commands_(commands) {}

void PageWriter::ProgramAT29C256() {
  ProgramPages({"Programming Atmel AT29C256", "FLASH Atmel AT29C256 Programmed Sucessfully",
                kAT29C256Lines, false, 50});
}

void PageWriter::ProgramX28C256() {
  ProgramPages({"Programming 28C256 XICOR Device", "XICOR 28C256 Programmed Sucessfully",
                kX28C256Lines, true, 40});
}

bool PageWriter::UnprotectAT29C256() {
  return Unprotect({"", "", kAT29C256Lines, false, 0});
}

bool PageWriter::UnprotectX28C256() {
  return Unprotect({"", "", kX28C256Lines, true, 0});
}

// The six cycles reach the part back to back: a cycle after the window would end the sequence,
// as a lone data write on an unprotected part (which then ignores the rest while it writes it).
bool PageWriter::Unprotect(const Part& part) {
  board_.OEOFF();
  board_.Reg3Shadow = 0x82;
  board_.SetReg3();
  for (int lateRuns = 1;; ++lateRuns) {
    const ByteLoads::Gap gap = part.xicor ? commands_.XICORCycles(kUnprotectSequence)
                                          : commands_.AT29Cycles(kUnprotectSequence);
    if (!gap.Late(part.lines)) break;
    const FlashCommands::CommandCycle& late = kUnprotectSequence[gap.load];
    const std::string where =
        "Data protection release: " + LateText("the cycle", late.address, gap);
    if (lateRuns > kLateLoadsAllowed) {
      panel_.AddLog(where + ", sent late " + std::to_string(lateRuns) +
                    " times: the port is too slow for the part");
      board_.CurrentAddress = late.address;
      run_.ProgramByte = static_cast<std::uint8_t>(late.data);
      return Fail();
    }
    panel_.AddLog(where + ", sending the sequence again");
    // What came in time may have started a write cycle, which would ignore the next sequence.
    board_.Sleep(kMinWriteWaitMs);
  }
  commands_.SliderWait(5);
  return true;
}

void PageWriter::SetPartAddress(const Part& part) {
  if (part.xicor) {
    board_.SETADR_XICOR();
  } else {
    board_.SETADR_FLASH();
  }
}

// Always the 512 pages of the 32 KB part from the start of the programming image.
void PageWriter::ProgramPages(const Part& part) {
  board_.CurrentAddress = 0;
  board_.Endereco2Adr();
  SetPartAddress(part);
  board_.Sleep(500);
  board_.REG4ON();
  board_.OEOFF();
  board_.CEOFF();
  panel_.AddLog(part.startLine);
  board_.Reset();
  SetPartAddress(part);
  const operation::TimedRun held(op_);
  if (!Unprotect(part)) return;
  board_.Sleep(static_cast<std::uint32_t>(part.unprotectWaitMs));
  board_.OEOFF();
  board_.CEOFF();
  panel_.SetProgressSteps(64);
  run_.ProgressStep = kLampPages;
  run_.ProgressCount = 0;
  // The lamp, the progress bar and the window's repaints come between pages, never in a load.
  for (int page = 0; page < kPages; ++page) {
    if (!ProgramPage(part, page)) return;
    if (page % kLampPages == 0) op_.ToggleProgramLed();
    op_.GoProgressiveBar1();
  }
  op_.ConfirmBoardAnswers();
  panel_.AddLog(part.endLine);
  panel_.ReportDone(part.endLine);
  board_.Reset();
}

bool PageWriter::ProgramPage(const Part& part, int page) {
  int budget = kPageAttemptBudget;
  int lateLoads = 0;
  for (;;) {
    if (--budget == 0) return Fail();
    commands_.SliderWait(1);
    board_.REG4ON();
    const ByteLoads::Gap gap = LoadPage(part, page);
    // The part writes the page, or, after a late load, what of it came in time.
    commands_.SliderWait(3, kMinWriteWaitMs);
    board_.REG4OFF();
    if (!gap.Late(part.lines)) {
      if (PageMatches(page)) return true;
      continue;
    }
    const std::int32_t late = kPageBytes * page + gap.load;
    const std::string where =
        "Page at " + common::HexText(kPageBytes * page) + "h: " + LateText("the load", late, gap);
    if (++lateLoads > kLateLoadsAllowed) {
      panel_.AddLog(where + ", loaded late " + std::to_string(lateLoads) +
                    " times: the port is too slow for the part");
      board_.CurrentAddress = late;
      run_.ProgramByte = run_.ProgramBuffer[static_cast<std::size_t>(late)];
      return Fail();
    }
    panel_.AddLog(where + ", loading the page again");
  }
}

bool PageWriter::Fail() {
  op_.ProgrammingFailure();
  board_.Reg0Shadow = 0;
  board_.SetReg0();
  return false;
}

// The 64 bytes back to back at port speed, at real-time priority where the system grants it: the
// part starts writing when a load does not follow within its byte-load window. Register 1 carries
// A14..A8 of the page with the write enable inactive; register 3 already has the data driver
// enabled.
ByteLoads::Gap PageWriter::LoadPage(const Part& part, int page) {
  board_.CurrentAddress = kPageBytes * page;
  board_.Endereco2Adr();
  int reg1 = board_.AddrByte1;
  if (part.xicor && reg1 != 0) reg1 += 64;  // A14 onto bit 7, write enable (bit 6) inactive
  reg1 |= board_.Reg1FixedBits;
  ByteLoads& loads = commands_.Loads();
  const board::TimedWork held(board_.Clock());
  loads.Begin(part.lines);
  for (int i = 0; i < kPageBytes; ++i) {
    board_.CurrentAddress = kPageBytes * page + i;
    board_.Endereco2Adr();
    run_.ProgramByte = run_.ProgramBuffer[static_cast<std::size_t>(board_.CurrentAddress)];
    loads.Load(reg1, board_.AddrByte0, run_.ProgramByte);
  }
  return loads.Longest();
}

// At the first difference the wanted byte is kept for the failure report.
bool PageWriter::PageMatches(int page) {
  for (int i = 0; i < kPageBytes; ++i) {
    board_.CurrentAddress = kPageBytes * page + i;
    board_.Endereco2Adr();
    board_.Reg2Shadow = board_.AddrByte0;
    board_.SetReg2();
    board_.CEOEON();
    board_.GetNibbles();
    board_.OEOFF();
    const std::uint8_t wanted = run_.ProgramBuffer[static_cast<std::size_t>(board_.CurrentAddress)];
    if (board_.ReadByte != wanted) {
      run_.ProgramByte = wanted;
      return false;
    }
  }
  return true;
}

void PageWriter::EraseX28C256() {
  std::fill_n(run_.ProgramBuffer.begin(), kPages * kPageBytes, 0xFF);
  panel_.AddLog("Erasing Program Buffer");
  panel_.AddLog("Erasing XICOR 28C256");
  ProgramX28C256();
  op_.BuildProgramBuffer();
}

}  // namespace sorvell::flash
