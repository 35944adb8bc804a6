// What a run of timed work takes from the system, and the start-up measurement of a
// port access.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "board/access_cost.h"
#include "board/real_time.h"
#include "sim/sim_port.h"
#include "sim/virtual_timing.h"

namespace sorvell::board {
namespace {

// Grants or refuses as told, and records what was asked.
class FakeCalls final : public RealTimeCalls {
 public:
  int LockMemory() override {
    calls.push_back("lock");
    return lockError;
  }
  void UnlockMemory() override { calls.push_back("unlock"); }
  int RaisePriority() override {
    calls.push_back("raise");
    return priorityError;
  }
  void RestorePriority() override { calls.push_back("restore"); }

  int lockError = 0;
  int priorityError = 0;
  std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

// Runs nest (a verify inside a programming run) and so does work (a byte's command cycles inside
// the byte's write): the outermost holds, the inner ones change nothing.
TEST(RealTimeSectionTest, AGrantedRunLocksMemoryOnceAndRaisesPriorityOnlyDuringWork) {
  FakeCalls calls;
  RealTimeSection section(calls);
  EXPECT_EQ(section.BeginRun(), "");
  EXPECT_EQ(section.BeginRun(), "");
  for (int pulse = 0; pulse < 2; ++pulse) {
    section.BeginWork();
    section.BeginWork();
    section.EndWork();
    section.EndWork();
  }
  section.EndRun();
  section.EndRun();
  // The priority is tried (and given back) at the start of the run, then held per piece of work.
  EXPECT_EQ(calls.calls,
            (Calls{"lock", "raise", "restore", "raise", "restore", "raise", "restore", "unlock"}));
}

TEST(RealTimeSectionTest, ARefusedPriorityIsToldOnceAndNotAskedForPerPage) {
  FakeCalls calls;
  calls.priorityError = EPERM;
  RealTimeSection section(calls);
  const std::string why = section.BeginRun();
  EXPECT_NE(why.find("without real-time priority"), std::string::npos) << why;
  EXPECT_NE(why.find("CAP_SYS_NICE"), std::string::npos) << why;
  EXPECT_EQ(why.find("locked memory"), std::string::npos) << why;
  section.BeginWork();
  section.EndWork();
  section.EndRun();
  EXPECT_EQ(calls.calls, (Calls{"lock", "raise", "unlock"}));
  // The next run asks again, silently.
  EXPECT_EQ(section.BeginRun(), "");
  section.EndRun();
}

TEST(RealTimeSectionTest, MemoryThatCouldNotBeLockedIsNotUnlocked) {
  FakeCalls calls;
  calls.lockError = ENOMEM;
  calls.priorityError = EPERM;
  RealTimeSection section(calls);
  const std::string why = section.BeginRun();
  EXPECT_NE(why.find("without real-time priority"), std::string::npos) << why;
  EXPECT_NE(why.find("and without locked memory"), std::string::npos) << why;
  EXPECT_NE(why.find("memlock"), std::string::npos) << why;
  section.EndRun();
  EXPECT_EQ(calls.calls, (Calls{"lock", "raise"}));
}

TEST(AccessCostTest, TheMeanOfTheStatusReadsOnTheTimingsClock) {
  sim::VirtualClock clock;
  sim::VirtualTiming timing(clock);
  sim::SimulatedPort port(clock);
  port.SetAccessCostNs(2'750);
  EXPECT_EQ(MeasureAccessNs(port, timing, kLpt378 + kStatusOffset, 100), 2'750u);
  EXPECT_EQ(port.Reads(), 100u);
  EXPECT_EQ(port.Writes(), 0u);  // nothing reaches the board's latches
  // A preemption inside the measurement (one read held up 10 ms) does not raise the figure: it
  // would shorten every programming pulse.
  struct StalledOnce final : PortIo {
    StalledOnce(PortIo& inner, sim::VirtualClock& clock) : inner_(inner), clock_(clock) {}
    void PortOut(std::uint16_t p, std::uint8_t v) override { inner_.PortOut(p, v); }
    std::uint8_t PortIn(std::uint16_t p) override {
      if (++reads == 40) clock_.AdvanceNs(10'000'000);
      return inner_.PortIn(p);
    }
    int reads = 0;
    PortIo& inner_;
    sim::VirtualClock& clock_;
  } stalled(port, clock);
  EXPECT_EQ(MeasureAccessNs(stalled, timing, kLpt378 + kStatusOffset), 2'750u);
  EXPECT_EQ(AccessCostText(2'750), "2.8 us per port access");
  EXPECT_EQ(AccessCostText(949), "0.9 us per port access");
  EXPECT_EQ(AccessCostText(12'000), "12.0 us per port access");
}

}  // namespace
}  // namespace sorvell::board
