// The page-write EEPROM's timing as the part sees it: the release of its data protection and its
// page loads reach it within its byte-load window on every board model at every slider position,
// and the lateness check calls a load late only when it surely was.
#include <gtest/gtest.h>

#include <random>

#include "flash_rig.h"
#include "sim/page_write_chip.h"

namespace sorvell::shell::testing {
namespace {

constexpr int kWriteEnable = 0x40;  // register 1 bit 6: the X28C256's WE#
constexpr int kChipEnable = 0x80;   // register 3 bit 7: CE#

sim::PageWriteChip& Part(FlashRig& rig) {
  return static_cast<sim::PageWriteChip&>(*rig.chip);
}

// The board holds the part's CE# and WE# low: a write cycle is under way.
bool Writing(const sim::SimBoard& board) {
  return (board.Latch(1) & kWriteEnable) == 0 && (board.Latch(3) & kChipEnable) == 0;
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

bool AllErased(const sim::WritableChip& chip) {
  return std::all_of(chip.Contents().begin(), chip.Contents().end(),
                     [](std::uint8_t b) { return b == 0xFF; });
}

// The slider sets only the waits around the release sequence and around each page: at its
// slowest, default and fastest positions a protected part is released, programmed, verified and,
// protected again, erased. Every write cycle it sees comes inside a real-time section.
TEST(PageWriteTimingTest, AProtectedPartIsReleasedProgrammedAndErasedOnEveryModelAndSlider) {
  for (int model : {4, 5, 6}) {
    for (int slider : {1, 18, 20}) {
      SCOPED_TRACE("model " + std::to_string(model) + ", slider " + std::to_string(slider));
      FlashRig rig(model, "X28C256", kX28C256Row, std::vector<std::uint8_t>(32768, 0xFF));
      Part(rig).SetProtected(true);
      rig.form.SetValue("Slider1", slider);
      int writesOutsideLoads = 0;
      rig.tap.beforeAccess = [&] {
        if (Writing(*rig.simBoard) && !rig.tally.InTimedWork()) ++writesOutsideLoads;
      };
      const auto image = Image(32768, 7u * model + slider);
      rig.Load(image);
      rig.dialogs.answers = {Answer::kOk};
      rig.form.dispatcher.Program_button_Click();
      EXPECT_TRUE(rig.Logged("XICOR 28C256 Programmed Sucessfully")) << rig.Log();
      EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
      EXPECT_EQ(Count(rig.Log(), " after the last"), 0) << rig.Log();
      EXPECT_TRUE(rig.chip->Contents() == image);
      EXPECT_FALSE(Part(rig).Protected());
      EXPECT_EQ(rig.tally.timedWorks, 1 + 512);  // the release sequence, then each page once
      EXPECT_EQ(writesOutsideLoads, 0);

      // The erase is called as the Erase Chip button's dispatch does, past any question it asks.
      Part(rig).SetProtected(true);
      rig.form.pages.EraseX28C256();
      EXPECT_TRUE(AllErased(*rig.chip));
      EXPECT_FALSE(Part(rig).Protected());
      EXPECT_EQ(Count(rig.Log(), "XICOR 28C256 Programmed Sucessfully"), 2) << rig.Log();
      EXPECT_EQ(writesOutsideLoads, 0);
      EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
      EXPECT_EQ(rig.simBoard->BusClashes(), 0u);
    }
  }
}

// On an unprotected part the release sequence is six command cycles and no data: a run stopped
// after its first pages leaves every byte after them as it was, 5555h and 2AAAh too.
TEST(PageWriteTimingTest, AnUnprotectedPartStoppedEarlyKeepsWhatItHeldAtTheCommandAddresses) {
  struct StopAtThirdPage final : RunControl {
    bool StopRequested() override { return ++safePoints == 3; }
    int safePoints = 0;
  };
  for (int model : {4, 5, 6}) {
    SCOPED_TRACE("model " + std::to_string(model));
    const auto held = Image(32768, 50u + model);
    ASSERT_NE(held[0x5555], 0xAA);
    ASSERT_NE(held[0x2AAA], 0x55);
    FlashRig rig(model, "X28C256", kX28C256Row, held);
    StopAtThirdPage run;
    rig.form.panel.SetRunControl(&run);
    rig.form.SetValue("CheckBlankPriorProgramming", 0);
    rig.form.SetValue("Slider1", 1);
    rig.Load(Image(32768, 60u + model));
    rig.form.frmMain["Program_button"].SetEnabled(true);
    rig.dialogs.answers = {Answer::kOk};
    EXPECT_TRUE(rig.form.Click("Program_button"));
    EXPECT_TRUE(rig.Log().ends_with(
        "Operation STOPPED by the operator - board reset, programming voltage off"))
        << rig.Log();
    EXPECT_EQ(rig.chip->Contents()[0x5555], held[0x5555]);
    EXPECT_EQ(rig.chip->Contents()[0x2AAA], held[0x2AAA]);
    EXPECT_TRUE(
        std::equal(held.begin() + 3 * 64, held.end(), rig.chip->Contents().begin() + 3 * 64));
    EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
  }
}

// Clock reads that take 10 us each and give a time from anywhere inside them, on a port of 2 us an
// access: the part sees the loads of a page and the cycles of the release sequence 78 to 94 us
// apart, inside its 100 us window, though the reads on the far sides of a gap can be 20 us wider
// apart than that. Two stalls of 100 us make one cycle of the release sequence and one load of
// page 1200h surely late: those alone are called late, and sent or loaded again.
TEST(PageWriteTimingTest, OnlyALoadThatSurelyCameLateIsCalledLateAndLoadedAgain) {
  FlashRig rig(6, "X28C256", kX28C256Row, std::vector<std::uint8_t>(32768, 0xFF));
  Part(rig).SetProtected(true);
  rig.form.SetValue("CheckBlankPriorProgramming", 0);
  rig.boards.SetAccessCostNs(2'000);
  std::mt19937 random(11);
  rig.tally.clockRead = [&] {
    const std::uint64_t sampledAfterNs = random() % 10'001;
    rig.virtualClock.AdvanceNs(sampledAfterNs);
    const std::uint64_t now = rig.virtualClock.NowNs();
    rig.virtualClock.AdvanceNs(10'000 - sampledAfterNs);
    return now;
  };
  int writeCycles = 0;
  bool writing = false, sequenceStalled = false, pageStalled = false;
  rig.tap.beforeAccess = [&] {
    const bool now = Writing(*rig.simBoard);
    writeCycles += now && !writing;
    writing = now;
    // After the third cycle's write enable rises, before the fourth's falls.
    if (writeCycles == 3 && !now && !sequenceStalled) {
      sequenceStalled = true;
      rig.virtualClock.AdvanceNs(100'000);
    }
    if (rig.form.board.CurrentAddress == 0x1234 && rig.tally.InTimedWork() && !pageStalled) {
      pageStalled = true;
      rig.virtualClock.AdvanceNs(100'000);
    }
  };
  const auto image = Image(32768, 12);
  rig.Load(image);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  const std::string log = rig.Log();
  EXPECT_EQ(Count(log, " after the last"), 2) << log;
  EXPECT_EQ(Count(log, "Data protection release: the cycle at 5555h came "), 1) << log;
  EXPECT_EQ(Count(log, "sending the sequence again"), 1) << log;
  EXPECT_EQ(Count(log, "Page at 1200h: the load at 1234h came "), 1) << log;
  EXPECT_EQ(Count(log, "loading the page again"), 1) << log;
  EXPECT_TRUE(rig.Logged("XICOR 28C256 Programmed Sucessfully")) << log;
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << log;
  EXPECT_TRUE(rig.chip->Contents() == image);
  EXPECT_FALSE(Part(rig).Protected());
  EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
}

}  // namespace
}  // namespace sorvell::shell::testing
