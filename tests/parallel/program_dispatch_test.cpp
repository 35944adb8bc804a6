#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"
#include "diagnosis/diagnosis.h"
#include "sim/rom_chip.h"

namespace sorvell::shell::testing {
namespace {

// A read-only memory cannot take a single bit: every programming attempt on it fails, which is
// what the failure paths need.
struct DispatchRig : SimRig {
  explicit DispatchRig(std::vector<std::uint8_t> rom, int deviceRow = 11) {
    boards.PlaceBoard(5, board::kLpt378);
    form.Form_Load();
    boards.BoardAt(board::kLpt378)->Insert(std::make_unique<sim::RomChip>(std::move(rom)));
    form.SetValue("Device", deviceRow);
    form.buffers.CodeBufferLoaded = 1;
    form.SetValue("Device", deviceRow);  // enables Program and Verify
    logStart = form.frmMain["SystemLog"].Caption().size();
  }
  std::string NewLog() { return form.frmMain["SystemLog"].Caption().substr(logStart); }
  std::size_t logStart = 0;
};

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string("\r\n10:58:39>  ") + line;
  return text;
}

TEST(ParallelDispatchTest, CancelLogsTwoLinesAndResets) {
  DispatchRig rig(std::vector<std::uint8_t>(32768, 0xFF));
  rig.boards.BoardAt(board::kLpt378)->PowerOn(99);  // garbage in the latches
  rig.form.Click("Program_button");
  EXPECT_EQ(rig.NewLog(),
            Lines({"Programming Button Pressed", "Programming was Canceled by Operator"}));
  EXPECT_EQ(rig.dialogs.messages.back().title, "Safety Question");
  EXPECT_EQ(rig.dialogs.messages.back().defaultAnswer, Answer::kCancel);
  EXPECT_EQ(rig.boards.BoardAt(board::kLpt378)->Latch(0), 0x40);  // idle again
}

TEST(ParallelDispatchTest, NotBlankDeviceStopsTheRun) {
  std::vector<std::uint8_t> rom(32768, 0xFF);
  rom[0x1F3] = 0x7F;
  DispatchRig rig(rom);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.Click("Program_button");
  EXPECT_EQ(rig.NewLog(),
            Lines({"Programming Button Pressed", "Checking Device for BLANK (Erased)... Wait",
                   "Device IS NOT BLANK (ERASED)", "Address: 1F3 ][ Device Data: 7F",
                   "Error Alert was Turned Off",
                   "Whole part compared: 1 of 32768 bytes differ, the first at 1F3h, the last "
                   "at 1F3h",
                   "Differing addresses: 1F3h",
                   "Data line D7: 1 bits read 0 where 1 was wanted, 0 read 1 where 0 was wanted",
                   "Certain: the part holds data: 1 of its 32768 bytes are not FFh; erase it "
                   "before programming"}));
  // The alert keeps its text and title; the address, the bytes and the diagnosis come under it.
  EXPECT_EQ(rig.dialogs.messages.back().text, "Program or Compare Error");
  EXPECT_EQ(rig.dialogs.messages.back().details,
            "Address 1F3h: erased (FFh), read 7Fh\nCertain: the part holds data: 1 of its 32768 "
            "bytes are not FFh; erase it before programming");
  EXPECT_EQ(rig.tally.waitsUntil, 0);  // not a single pulse
}

TEST(ParallelDispatchTest, AByteThatNeverTakesFailsAfter254Pulses) {
  DispatchRig rig(std::vector<std::uint8_t>(32768, 0xFF));
  rig.form.buffers.CodeBuffer[0] = 0x00;
  std::fill_n(rig.form.buffers.CodeBuffer.begin() + 1, 32767, 0xFF);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.Click("Program_button");
  const std::string log = rig.NewLog();
  EXPECT_NE(log.find(Lines({"Programming Started... Wait ", "*** Programming Failure ***",
                            "*** Address:0h, Programming BYTE:0h, Read BYTE:FFh",
                            "*** Aborting Programming.", diagnosis::kNothingWrittenHint,
                            "Error Alert was Turned Off"})),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("Successfull"), std::string::npos);
  EXPECT_EQ(log.find("Verify Function Started"), std::string::npos);
  EXPECT_EQ(rig.tally.waitsUntil, 254);  // a pulse's end is waited for
  EXPECT_EQ(rig.form.run.ProgramFailed, 1);
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 1);
  EXPECT_EQ(rig.boards.BoardAt(board::kLpt378)->Latch(0), 0x40);
}

TEST(ParallelDispatchTest, AnAllFFImageProgramsNothingAndSteps) {
  DispatchRig rig(std::vector<std::uint8_t>(32768, 0xFF));
  std::fill_n(rig.form.buffers.CodeBuffer.begin(), 32768, 0xFF);
  rig.dialogs.answers = {Answer::kOk};
  int progressMax = 0;
  rig.form.frmMain.onChanged = [&](const Control& c) {
    if (c.Name() == "ProgressBar1") progressMax = std::max(progressMax, c.Value());
  };
  rig.form.SetValue("CheckBlankPriorProgramming", 0);
  rig.form.SetValue("VerifyAfterProgramming", 0);
  rig.form.Click("Program_button");
  EXPECT_EQ(rig.tally.waitsUntil, 0);
  EXPECT_EQ(progressMax, 99);
  EXPECT_EQ(rig.NewLog(), Lines({"Programming Button Pressed", "Programming Started... Wait ",
                                 "Programming Device Successfull"}));
  // With the verify ticked it follows the success line.
  rig.dialogs.answers = {Answer::kOk};
  rig.form.SetValue("VerifyAfterProgramming", 1);
  rig.form.Click("Program_button");
  EXPECT_NE(rig.NewLog().find(
                Lines({"Programming Device Successfull", "Verify Function Started... Wait"})),
            std::string::npos);
  EXPECT_NE(rig.NewLog().find("Device Contents MATCHES with Buffer Contents"), std::string::npos);
  EXPECT_EQ(rig.form.board.CurrentAddress, 0);  // reset at the end
}

}  // namespace
}  // namespace sorvell::shell::testing

namespace sorvell::shell::testing {
namespace {

// After a verify that found differences, the dump marks each differing byte (its hex digits and
// its character) and Next and Previous Difference step through the pages that hold them.
TEST(DifferenceMarksTest, TheDumpMarksTheDifferencesAndStepsThroughThem) {
  std::vector<std::uint8_t> part(32768, 0xA5);
  part[0x012] = 0x00;
  part[0x345] = 0x00;
  DispatchRig rig(part);
  std::fill_n(rig.form.buffers.CodeBuffer.begin(), 32768, 0xA5);
  rig.form.Click("Verify_button");
  EXPECT_EQ(rig.form.buffers.DifferingAddresses, (std::vector<std::int32_t>{0x012, 0x345}));
  const auto marked = [&rig] {
    const panel::Control& dump = rig.form.frmMain["BufferDisplay"];
    std::vector<std::string> texts;
    std::vector<std::string> lines;
    std::string line;
    for (const char c : dump.Caption()) {
      if (c == '\n') lines.push_back(std::exchange(line, {}));
      if (c != '\n' && c != '\r') line += c;
    }
    lines.push_back(line);
    for (const panel::TextMark& mark : dump.Marks()) {
      texts.push_back(lines.at(static_cast<std::size_t>(mark.line))
                          .substr(static_cast<std::size_t>(mark.column),
                                  static_cast<std::size_t>(mark.length)));
    }
    return texts;
  };
  rig.form.SetValue("VScroll1", 0);
  EXPECT_EQ(marked(), (std::vector<std::string>{"A5", "."}))
      << rig.form.frmMain["BufferDisplay"].Caption();
  rig.form.Click("menuNextDifference");
  EXPECT_EQ(rig.form.frmMain["VScroll1"].Value(), 3);
  EXPECT_EQ(rig.form.frmMain["BufferDisplay"].Marks().size(), 2u);
  rig.form.Click("menuNextDifference");
  EXPECT_FALSE(rig.form.LastOutcome().IsDone());
  rig.form.Click("menuPreviousDifference");
  EXPECT_EQ(rig.form.frmMain["VScroll1"].Value(), 0);
}

}  // namespace
}  // namespace sorvell::shell::testing
