// Programming pulses as the part's pins see them: the length the speed setting means, whatever a
// port access costs, each held as timed work; pulses that something stretched are reported at the
// end of the run.
#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"
#include "sim/eprom_chip.h"

namespace sorvell::shell::testing {
namespace {

using Widths = std::map<std::uint64_t, std::uint64_t>;

constexpr std::uint64_t kUs = 1000;
constexpr std::uint32_t kStuckAddress = 0x40;

// A part with one stuck bit at kStuckAddress, so that a run gives both the short pulses and the
// long ones of the last 199 attempts, and a few bytes that take at once.
struct PulseRunRig : SimRig {
  PulseRunRig(const char* part, int row, int voltageButton, std::uint64_t accessNs) {
    boards.SetAccessCostNs(accessNs);
    boards.PlaceBoard(5, board::kLpt378);
    form.Form_Load();
    form.board.AccessNs = accessNs;  // what start-up measures
    auto made = sim::MakeEprom(part);
    chip = made.get();
    boards.BoardAt(board::kLpt378)->Insert(std::move(made));
    form.SetValue("Device", row);
    if (voltageButton >= 0) {
      form.SetValue("Voltage_button(" + std::to_string(voltageButton) + ")", 1);
    }
    form.SetValue("CheckBlankPriorProgramming", 0);
    form.SetValue("VerifyAfterProgramming", 0);
    chip->SetStuckBits(kStuckAddress, 0x01, 0x01);
  }
  void Program() {
    std::fill(form.buffers.CodeBuffer.begin(), form.buffers.CodeBuffer.end(), 0xFF);
    for (std::uint32_t a = 0; a <= kStuckAddress; a += 8) form.buffers.CodeBuffer[a] = 0x5A;
    form.buffers.CodeBuffer[kStuckAddress] = 0xFE;
    dialogs.answers = {Answer::kOk};
    form.dispatcher.Program_button_Click();
  }
  std::uint64_t Iterations(std::int32_t count) const {
    return static_cast<std::uint64_t>(count) * board::kNanosecondsPerIteration;
  }
  sim::EpromChip* chip = nullptr;
};

// Each algorithm, on a port as fast as a legacy one and on one three times slower: the speed counts
// mean busy waits of 0.5 us an iteration, and that is what the part gets, to the nanosecond on the
// virtual clock. Before, the closing register write (its strobe waits and port accesses) came on
// top: 117 us for the 101 us pulse at 1 us an access.
TEST(PulseTimingTest, EveryAlgorithmGivesThePartThePulseItMeans) {
  struct Case {
    const char* part;
    int row;
    int voltageButton;  // -1: the part's own
    bool fixed5ms;      // the 24-pin parts' pulse does not follow the slider
  };
  const Case cases[] = {{"27C256", 11, -1, false},  // chip enable, register 3
                        {"27C64", 7, -1, false},    // PGM on register 1
                        {"27C010", 15, -1, false},  // PGM on register 3
                        {"27C080", 21, -1, false},  // chip enable with VPP on OE
                        {"2732A", 2, 2, true}};     // chip enable, 5 ms, 21 V
  for (const Case& c : cases) {
    for (const std::uint64_t accessNs : {1 * kUs, 3 * kUs}) {
      PulseRunRig rig(c.part, c.row, c.voltageButton, accessNs);
      rig.Program();
      const std::string at = std::string(c.part) + " at " + std::to_string(accessNs) + " ns";
      const std::uint64_t shortNs =
          c.fixed5ms ? 5'000 * kUs : rig.Iterations(rig.form.board.SpeedCountA);
      const std::uint64_t longNs =
          c.fixed5ms ? shortNs : shortNs + rig.Iterations(rig.form.board.SpeedCountB);
      const Widths& widths = rig.chip->PulseWidths();
      std::uint64_t pulses = 0;
      for (const auto& [width, count] : widths) {
        EXPECT_TRUE(width == shortNs || width == longNs) << at << ": " << width << " ns";
        pulses += count;
      }
      EXPECT_EQ(pulses, rig.chip->TotalPulses()) << at;
      EXPECT_EQ(rig.chip->PulsesAt(kStuckAddress), 254u) << at;
      if (!c.fixed5ms) {
        EXPECT_EQ(widths.at(longNs), 199u) << at;
      }
      // Each pulse at real-time priority where the system allows it: never waited for outside.
      EXPECT_EQ(rig.tally.waitsUntil, static_cast<int>(pulses)) << at;
      EXPECT_EQ(rig.tally.waitsOutsideTimedWork, 0) << at;
      EXPECT_EQ(rig.tally.workDepth, 0) << at;
      EXPECT_EQ(rig.tally.runsBegun, rig.tally.runsEnded) << at;
      EXPECT_EQ(rig.Log().find("programming pulses ran longer"), std::string::npos) << at;
      EXPECT_EQ(rig.boards.BoardAt(board::kLpt378)->BusClashes(), 0u) << at;
    }
  }
}

// The quick-pulse datasheets give 95 to 105 us at the default speed.
TEST(PulseTimingTest, TheDefaultCmosPulseIsInsideTheDatasheetWindow) {
  PulseRunRig rig("27C256", 11, -1, 1 * kUs);
  rig.Program();
  const Widths& widths = rig.chip->PulseWidths();
  ASSERT_FALSE(widths.empty());
  EXPECT_GE(widths.begin()->first, 95 * kUs);
  EXPECT_LE(widths.begin()->first, 105 * kUs);
}

// A process preempted inside three pulses (a clock that stalls 15 ms after the wait), and the
// slowest slider position, where the closing write's strobe waits outlast the pulse: the run
// says how many pulses ran long and the longest, whatever way it ends.
TEST(PulseTimingTest, PulsesThatRanLongAreReportedAtTheEndOfTheRun) {
  {
    PulseRunRig rig("27C256", 11, -1, 1 * kUs);
    int waits = 0;
    rig.tally.afterWait = [&] {
      if (++waits % 100 == 0) rig.virtualClock.AdvanceNs(15'000 * kUs);
    };
    rig.Program();
    EXPECT_EQ(rig.chip->TotalPulses(), 262u);  // 8 bytes take at once, the stuck one takes 254
    EXPECT_NE(rig.Log().find("2 of 262 programming pulses ran longer than the datasheets allow (5% "
                             "over their length); the longest lasted 15602 us for a 602 us pulse"),
              std::string::npos)
        << rig.Log();
    // The failure report comes first: the report is of the run, however it ended.
    EXPECT_LT(rig.Log().find("*** Programming Failure ***"),
              rig.Log().find("programming pulses ran longer"));
  }
  {
    PulseRunRig rig("27C256", 11, -1, 1 * kUs);
    rig.form.SetValue("Slider1", 1);
    rig.Program();
    // The short pulses: two strobe waits of 951 us each come before the closing clock write.
    EXPECT_NE(rig.Log().find("63 of 262 programming pulses ran longer than the datasheets allow "
                             "(5% over their length); the longest lasted 1906 us for a 951 us "
                             "pulse"),
              std::string::npos)
        << rig.Log();
  }
}

}  // namespace
}  // namespace sorvell::shell::testing
