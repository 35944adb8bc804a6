#include <gtest/gtest.h>

#include "sim/virtual_timing.h"

namespace sorvell::sim {
namespace {

TEST(SimTimingTest, SleepsAndSpinsAdvanceTheClockByTheirRealLength) {
  VirtualClock clock;
  VirtualTiming timing(clock);
  timing.Sleep(3);
  EXPECT_EQ(clock.NowNs(), 3'000'000u);
  timing.Spin(202);
  EXPECT_EQ(clock.NowNs(), 3'101'000u);
  timing.Spin(0);
  timing.Spin(-5);
  EXPECT_EQ(clock.NowNs(), 3'101'000u);
  EXPECT_EQ(timing.SleptMs(), 3u);
  EXPECT_EQ(timing.SpunIterations(), 202);
}

}  // namespace
}  // namespace sorvell::sim
