// The AM29F010, AM29F020 and AM29F040 on every board model, and the X28C256, through the main
// window and the simulated parts' own pinouts and command state machines.
#include <gtest/gtest.h>

#include <cstdio>

#include "flash_rig.h"
#include "sim/amd_flash_chip.h"
#include "sim/page_write_chip.h"
#include "sim/rom_chip.h"

namespace sorvell::shell::testing {
namespace {

struct FlashCase {
  int row;           // device list entry
  const char* part;  // the simulated part
  const char* id;    // the line the identification logs
  int model;
};

void PrintTo(const FlashCase& c, std::ostream* os) {
  *os << c.part << " on model " << c.model;
}

class FlashEndToEndTest : public ::testing::TestWithParam<FlashCase> {};

TEST_P(FlashEndToEndTest, IdentifyEraseBlankProgramVerifyRead) {
  const FlashCase& c = GetParam();
  const std::size_t size = sim::MakeWritableChip(c.part)->SizeBytes();
  FlashRig rig(c.model, c.part, c.row, std::vector<std::uint8_t>(size, 0x5A));

  rig.form.Click("menuFlashShowCodeID");
  EXPECT_TRUE(rig.Logged(c.id)) << rig.Log();
  EXPECT_EQ(rig.simBoard->BusClashes(), 0u) << "identification";

  rig.dialogs.answers = {Answer::kOk};
  rig.form.Click("EraseFlash_button");
  EXPECT_TRUE(rig.Logged("Flash Erasing Operation COMPLETED")) << rig.Log();
  EXPECT_TRUE(std::all_of(rig.chip->Contents().begin(), rig.chip->Contents().end(),
                          [](std::uint8_t b) { return b == 0xFF; }));

  const auto image = Image(size, 17u * c.row + c.model);
  rig.Load(image);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();  // blank check before and verify after, both ticked
  EXPECT_TRUE(rig.Logged("Device IS BLANK (ERASED)")) << rig.Log();
  EXPECT_TRUE(rig.Logged("Programming Device Successfull")) << rig.Log();
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);
  EXPECT_TRUE(rig.chip->Contents() == image);
  EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
  EXPECT_EQ(rig.simBoard->BusClashes(), 0u) << "erase, blank check, program, verify";

  std::fill_n(rig.form.buffers.CodeBuffer.begin(), size, 0x00);
  rig.form.dispatcher.Read_button_Click();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin()));
  const std::string line = ChecksumLine(image);
  EXPECT_TRUE(rig.Logged(line)) << rig.Log();
  EXPECT_EQ(rig.simBoard->BusClashes(), 0u) << "read";
}

std::vector<FlashCase> AllCases() {
  std::vector<FlashCase> cases;
  for (int model : {4, 5, 6}) {
    cases.push_back({25, "AM29F010", "Device ID# 0120 - AMD am29F010 Flash Memory", model});
    cases.push_back({26, "AM29F020", "Device ID# 01B0 -  Not Valid!!!", model});
    cases.push_back({27, "AM29F040", "Device ID# 01A4 - AMD am29F040 Flash Memory", model});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Parts, FlashEndToEndTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<FlashCase>& param) {
                           return std::string(param.param.part) + "OnModel" +
                                  std::to_string(param.param.model);
                         });

constexpr int kAM29F010Row = 25;

// The page-write EEPROM: released from protection, written page by page, verified, read back,
// and erased by programming it with FFh.
TEST(PageWriteEndToEndTest, X28C256ProgramVerifyReadAndEraseChipOnEveryModel) {
  for (int model : {4, 5, 6}) {
    FlashRig rig(model, "X28C256", kX28C256Row, std::vector<std::uint8_t>(32768, 0xFF));
    const auto image = Image(32768, 99u + model);
    rig.Load(image);
    rig.dialogs.answers = {Answer::kOk};
    rig.form.dispatcher.Program_button_Click();
    EXPECT_TRUE(rig.Logged("Programming 28C256 XICOR Device")) << rig.Log();
    EXPECT_TRUE(rig.Logged("XICOR 28C256 Programmed Sucessfully")) << rig.Log();
    EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
    EXPECT_TRUE(rig.chip->Contents() == image) << "model " << model;
    EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
    EXPECT_EQ(rig.simBoard->BusClashes(), 0u) << "program, verify; model " << model;

    std::fill_n(rig.form.buffers.CodeBuffer.begin(), 32768, 0x00);
    rig.form.dispatcher.Read_button_Click();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin()));

    rig.Load(image);
    rig.dialogs.answers = {Answer::kOk};  // the erase asks first
    rig.form.Click("EraseFlash_button");
    EXPECT_TRUE(rig.Logged("Erasing XICOR 28C256")) << rig.Log();
    EXPECT_TRUE(std::all_of(rig.chip->Contents().begin(), rig.chip->Contents().end(),
                            [](std::uint8_t b) { return b == 0xFF; }))
        << "model " << model;
    EXPECT_EQ(rig.simBoard->BusClashes(), 0u) << "read, erase; model " << model;
    // The programming image is rebuilt from the code image afterwards.
    EXPECT_EQ(rig.form.run.ProgramBuffer[0], image[0]);
  }
}

TEST(PageWriteEndToEndTest, APageThatNeverVerifiesFailsAfter79Attempts) {
  FlashRig rig(5, "X28C256", kX28C256Row, std::vector<std::uint8_t>(32768, 0xFF));
  // A quick part, so that every good page verifies at its first read-back.
  auto& part = static_cast<sim::PageWriteChip&>(*rig.chip);
  sim::PageWriteTimings quick = part.Timings();
  quick.writeCycleNs = 3'000'000;
  part.SetTimings(quick);
  rig.chip->SetStuckBits(0x0041, 0xFF, 0xFF);
  rig.Load(std::vector<std::uint8_t>(32768, 0x00));
  rig.form.SetValue("VerifyAfterProgramming", 0);
  rig.form.SetValue("CheckBlankPriorProgramming", 0);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  EXPECT_TRUE(rig.Logged("*** Address:41h, Programming BYTE:0h, Read BYTE:FFh")) << rig.Log();
  EXPECT_FALSE(rig.Logged("XICOR 28C256 Programmed Sucessfully"));
  EXPECT_FALSE(rig.Logged("Programming Device Successfull"));
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 1);
  // The wait before each page load (20 - 18 + 1 ms): once for page 0, 79 times for page 1.
  EXPECT_EQ(rig.tally.sleeps[3], 1 + 79);
  EXPECT_EQ(rig.chip->Contents()[0x40], 0x00);
  EXPECT_EQ(rig.chip->Contents()[0x80], 0xFF);
}

// A port that stalls before the load at 1234h for longer than the part's 100 us window, as a
// preemption or a slow port would: the part writes what of page 1200h came in time and ignores
// the rest. The stall comes at most `maxStalls` times, once each time the load reaches 1234h.
struct StallingRig : FlashRig {
  explicit StallingRig(int maxStalls)
      : FlashRig(6, "X28C256", kX28C256Row, std::vector<std::uint8_t>(32768, 0xFF)) {
    form.SetValue("CheckBlankPriorProgramming", 0);  // its reads pass 1234h too
    tap.beforeAccess = [this, maxStalls] {
      const bool at = form.board.CurrentAddress == 0x1234;
      if (at && !atLateLoad && stalls < maxStalls) {
        ++stalls;
        virtualClock.AdvanceNs(150'000);
      }
      atLateLoad = at;
    };
  }
  int stalls = 0;
  bool atLateLoad = false;
};

TEST(PageWriteEndToEndTest, APageLoadedLateIsLoadedAgainAndVerified) {
  StallingRig rig(1);
  const auto image = Image(32768, 5);
  rig.Load(image);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  EXPECT_EQ(rig.stalls, 1);
  EXPECT_TRUE(rig.Logged(
      "Page at 1200h: the load at 1234h came 172 us after the last, loading the page again"))
      << rig.Log();
  EXPECT_TRUE(rig.Logged("XICOR 28C256 Programmed Sucessfully")) << rig.Log();
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);
  EXPECT_TRUE(rig.chip->Contents() == image);
  EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
}

TEST(PageWriteEndToEndTest, APageAlwaysLoadedLateFailsAfterFiveLoads) {
  StallingRig rig(1000);
  const auto image = Image(32768, 6);
  rig.Load(image);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  const std::string log = rig.Log();
  int reloads = 0;
  for (auto at = log.find("loading the page again"); at != std::string::npos;
       at = log.find("loading the page again", at + 1)) {
    ++reloads;
  }
  EXPECT_EQ(reloads, 4);
  EXPECT_TRUE(
      rig.Logged("Page at 1200h: the load at 1234h came 172 us after the last, loaded "
                 "late 5 times: the port is too slow for the part"))
      << rig.Log();
  char failure[64];
  std::snprintf(failure, sizeof failure, "*** Address:1234h, Programming BYTE:%Xh", image[0x1234]);
  EXPECT_NE(rig.Log().find(failure), std::string::npos) << rig.Log();
  EXPECT_FALSE(rig.Logged("XICOR 28C256 Programmed Sucessfully"));
  EXPECT_FALSE(rig.Logged("Programming Device Successfull"));
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 1);
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 0x1234, rig.chip->Contents().begin()));
  EXPECT_EQ(rig.chip->Contents()[0x1240], 0xFF);  // nothing after the failed page
}

// A front end whose every repaint takes 5 ms: the repaints come between pages, never inside a
// page load (nor does any sleep), so no page is late. What the system refused is logged.
TEST(PageWriteEndToEndTest, SlowRepaintsBetweenPagesMakeNoPageLate) {
  struct SlowRepaints final : RunControl {
    SlowRepaints(sim::VirtualClock& clock, TallyTiming& timing) : clock_(clock), timing_(timing) {}
    void Breathe() override {
      ++repaints;
      if (timing_.InTimedWork()) ++repaintsInPageLoads;
      clock_.AdvanceNs(5'000'000);
    }
    int repaints = 0;
    int repaintsInPageLoads = 0;

   private:
    sim::VirtualClock& clock_;
    TallyTiming& timing_;
  };
  FlashRig rig(5, "X28C256", kX28C256Row, std::vector<std::uint8_t>(32768, 0xFF));
  SlowRepaints repaints(rig.virtualClock, rig.tally);
  rig.tally.refusal =
      "Pulses and timed sequences run without real-time priority (Operation not permitted)";
  rig.form.panel.SetRunControl(&repaints);
  const auto image = Image(32768, 8);
  rig.Load(image);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  EXPECT_GE(repaints.repaints, 512);
  EXPECT_EQ(repaints.repaintsInPageLoads, 0);
  EXPECT_EQ(rig.tally.timedWorks, 1 + 512);  // the release sequence, then the pages
  EXPECT_EQ(rig.tally.sleepsInTimedWork, 0);
  EXPECT_EQ(rig.tally.runsBegun, 1);
  EXPECT_EQ(rig.tally.runsEnded, 1);
  EXPECT_TRUE(rig.Logged(rig.tally.refusal)) << rig.Log();
  EXPECT_EQ(rig.Log().find("loading the page again"), std::string::npos) << rig.Log();
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
  EXPECT_TRUE(rig.chip->Contents() == image);
}

TEST(FlashFailureTest, AReadOnlyChipIsNotAFlash) {
  SimRig rig;
  rig.boards.PlaceBoard(6, board::kLpt378);
  rig.form.Form_Load();
  std::vector<std::uint8_t> rom(131072, 0x33);
  rig.boards.BoardAt(board::kLpt378)->Insert(std::make_unique<sim::RomChip>(rom));
  rig.form.SetValue("Device", kAM29F010Row);
  rig.form.Click("menuFlashShowCodeID");
  const std::string log = rig.Log();
  EXPECT_NE(log.find("*** Not a Flash Unit, Address 00&01 = FlashCode ***\r\n10:58:39>  Device "
                     "ID# 3333 -  Not Valid!!!"),
            std::string::npos)
      << log;
}

TEST(FlashFailureTest, AnUnknownMakerIsNotSupportedAndNothingIsWritten) {
  FlashRig rig(5, "AM29F010", kAM29F010Row, std::vector<std::uint8_t>(131072, 0xFF));
  rig.chip->SetForeignId({0x89, 0x05});
  rig.Load(std::vector<std::uint8_t>(131072, 0x00));
  rig.form.SetValue("CheckBlankPriorProgramming", 0);
  rig.form.SetValue("VerifyAfterProgramming", 0);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  EXPECT_TRUE(rig.Logged("Device ID# 8905 -  Not Valid!!!")) << rig.Log();
  EXPECT_TRUE(rig.Logged("Device ID# 8905 - Not Supported")) << rig.Log();
  EXPECT_FALSE(rig.Logged("Programming Device Successfull"));
  EXPECT_FALSE(rig.Logged("Device Not Supported - Status 9 - Please Report"));
  EXPECT_EQ(rig.chip->Contents()[0], 0xFF);
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);
}

TEST(FlashFailureTest, AnEraseThatNeverEndsTimesOutWithoutAnAlert) {
  FlashRig rig(6, "AM29F010", kAM29F010Row);
  rig.chip->SetEraseHangs(true);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.Click("EraseFlash_button");
  EXPECT_NE(rig.Log().find("TimeOut Failure during Erasing Flash\r\n10:58:39>  Flash Chip is not "
                           "responding\r\n10:58:39>  Erasing Operation NOT COMPLETED!"),
            std::string::npos)
      << rig.Log();
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);
  EXPECT_TRUE(rig.sounds.played.size() <= 3u);  // no error sound for the time-out
}

TEST(FlashFailureTest, CancellingTheEraseWritesNothing) {
  FlashRig rig(5, "AM29F010", kAM29F010Row, std::vector<std::uint8_t>(131072, 0x00));
  rig.form.Click("EraseFlash_button");  // the question's default is Cancel
  EXPECT_TRUE(rig.Logged("Erasing Operation was Canceled by Operator"));
  EXPECT_EQ(rig.chip->Contents()[0], 0x00);
}

TEST(FlashFailureTest, AByteThatNeverTakesFailsAfter49Attempts) {
  FlashRig rig(4, "AM29F010", kAM29F010Row, std::vector<std::uint8_t>(131072, 0xFF));
  rig.chip->SetStuckBits(0x10203, 0xFF, 0xFF);
  rig.Load(std::vector<std::uint8_t>(131072, 0x00));
  rig.form.SetValue("CheckBlankPriorProgramming", 0);
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  // The part reports the failed program in its status (DQ7 complemented, DQ5 exceeded timing)
  // until it is reset.
  EXPECT_TRUE(rig.Logged("*** Address:10203h, Programming BYTE:0h, Read BYTE:A0h")) << rig.Log();
  EXPECT_FALSE(rig.Logged("Programming Device Successfull"));
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 1);
  EXPECT_EQ(rig.chip->Contents()[0x10202], 0x00);  // the bytes before it were written
  EXPECT_EQ(rig.chip->Contents()[0x10204], 0xFF);  // nothing after it
}

}  // namespace
}  // namespace sorvell::shell::testing
