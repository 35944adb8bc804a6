#include "flash/page_writer.h"

#include <algorithm>
#include <string>

#include "common/hex_text.h"

namespace sorvell::flash {

namespace {

constexpr int kPages = 512;
constexpr int kPageBytes = 64;
constexpr int kPageAttemptBudget = 80;  // decremented first: 79 attempts a page
constexpr int kLampPages = 8;
// A page whose loads overran the window is loaded again; one that keeps overrunning is on a port
// too slow for the part, and loading it more will not help.
constexpr int kLateLoadsAllowed = 4;
// The time between loads is taken after the register write that makes each write-enable edge,
// so it is off by up to a port access either way; the margin covers that and the clock reads.
constexpr std::uint64_t kWindowMarginPercent = 10;
// Both parts' datasheets give a write cycle of at most 10 ms, started when the byte-load window
// (at most 150 us) passes: a read-back before then finds the part busy, and a page loaded again
// while it is busy is ignored and restarts the cycle when its last bytes do arrive. The wait after
// a page is never shorter than that.
constexpr int kMinWriteWaitMs = 11;

constexpr int kUnprotectSequence[6][2] = {{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x80},
                                          {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x20}};

// What the system grants the run's page loads, given back however the run ends (a failure, or a
// stop at a safe point between pages).
struct PageLoadRun {
  explicit PageLoadRun(board::Timing& clock) : timing(clock), why(clock.BeginPageLoads()) {}
  ~PageLoadRun() { timing.EndPageLoads(); }
  PageLoadRun(const PageLoadRun&) = delete;
  PageLoadRun& operator=(const PageLoadRun&) = delete;
  board::Timing& timing;
  const std::string why;
};

}  // namespace

PageWriter::PageWriter(operation::Operation& operation, FlashCommands& commands)
    : op_(operation),
      board_(operation.board),
      run_(operation.run),
      panel_(operation.panel),
      commands_(commands) {}

void PageWriter::ProgramAT29C256() {
  ProgramPages({"Programming Atmel AT29C256", "FLASH Atmel AT29C256 Programmed Sucessfully", 0x80,
                false, 50, 150});
}

void PageWriter::ProgramX28C256() {
  ProgramPages({"Programming 28C256 XICOR Device", "XICOR 28C256 Programmed Sucessfully", 0x40,
                true, 40, 100});
}

void PageWriter::UnprotectAT29C256() {
  Unprotect({"", "", 0x80, false, 0, 150});
}

void PageWriter::UnprotectX28C256() {
  Unprotect({"", "", 0x40, true, 0, 100});
}

void PageWriter::Unprotect(const Part& part) {
  board_.OEOFF();
  board_.Reg3Shadow = 0x82;
  board_.SetReg3();
  for (const auto& cycle : kUnprotectSequence) {
    commands_.CommandAddress = cycle[0];
    board_.Reg4Shadow = cycle[1];
    if (part.xicor) {
      commands_.WriteCycleXICOR();
    } else {
      commands_.WriteCycleAT29();
    }
  }
  commands_.SliderWait(5);
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
  Unprotect(part);
  board_.Sleep(static_cast<std::uint32_t>(part.unprotectWaitMs));
  board_.OEOFF();
  board_.CEOFF();
  panel_.frmMain["ProgressBar1"].SetRange(0, 64);
  run_.ProgressStep = kLampPages;
  run_.ProgressCount = 0;
  const PageLoadRun held(board_.Clock());
  if (!held.why.empty()) panel_.AddLog(held.why);
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
  const std::uint64_t limitNs =
      static_cast<std::uint64_t>(part.byteLoadWindowUs) * (1000 - 10 * kWindowMarginPercent);
  int budget = kPageAttemptBudget;
  int lateLoads = 0;
  for (;;) {
    if (--budget == 0) return Fail();
    commands_.SliderWait(1);
    board_.REG4ON();
    board_.CurrentAddress = kPageBytes * page;
    board_.Endereco2Adr();
    int reg1 = board_.AddrByte1;
    if (part.xicor && reg1 != 0) reg1 += 64;  // A14 onto bit 7, write enable (bit 6) inactive
    reg1 |= board_.Reg1FixedBits;
    if (reg1 != board_.Reg1Shadow) {
      board_.Reg1Shadow = reg1;
      board_.SetReg1();
    }
    board_.Clock().BeginPageLoad();
    const LoadTiming timing = LoadPage(part, page);
    board_.Clock().EndPageLoad();
    // The part writes the page, or, after a late load, what of it came in time.
    commands_.SliderWait(3, kMinWriteWaitMs);
    board_.REG4OFF();
    if (timing.longestGapNs <= limitNs) {
      if (PageMatches(page)) return true;
      continue;
    }
    const std::string where = "Page at " + common::HexText(kPageBytes * page) + "h: the load at " +
                              common::HexText(timing.lateAddress) + "h came " +
                              std::to_string(timing.longestGapNs / 1000) + " us after the last";
    if (++lateLoads > kLateLoadsAllowed) {
      panel_.AddLog(where + ", loaded late " + std::to_string(lateLoads) +
                    " times: the port is too slow for the part");
      board_.CurrentAddress = timing.lateAddress;
      run_.ProgramByte = run_.ProgramBuffer[static_cast<std::size_t>(timing.lateAddress)];
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

// The 64 bytes back to back, with no wait between them: the part starts writing when a load
// does not follow within its byte-load window. Register 3 already has the data driver enabled,
// so a byte is five register writes from one write-enable edge to the next load's. Each edge is
// timed right after the register write that makes it.
PageWriter::LoadTiming PageWriter::LoadPage(const Part& part, int page) {
  board::Timing& clock = board_.Clock();
  LoadTiming timing{0, kPageBytes * page};
  std::uint64_t riseNs = 0;
  for (int i = 0; i < kPageBytes; ++i) {
    board_.CurrentAddress = kPageBytes * page + i;
    board_.Endereco2Adr();
    board_.Reg2Shadow = board_.AddrByte0;
    board_.SetReg2();
    run_.ProgramByte = run_.ProgramBuffer[static_cast<std::size_t>(board_.CurrentAddress)];
    board_.Reg4Shadow = run_.ProgramByte;
    board_.SetReg4();
    board_.Reg3Shadow &= ~0x80;  // chip enable active
    board_.SetReg3();
    board_.Reg1Shadow &= ~part.writeEnableBit;
    board_.SetReg1();
    const std::uint64_t fallNs = clock.NowNs();
    if (i > 0 && fallNs - riseNs > timing.longestGapNs) {
      timing.longestGapNs = fallNs - riseNs;
      timing.lateAddress = board_.CurrentAddress;
    }
    board_.Reg1Shadow |= part.writeEnableBit;
    board_.SetReg1();
    riseNs = clock.NowNs();
    board_.Reg3Shadow |= 0x80;
    board_.SetReg3();
  }
  return timing;
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
