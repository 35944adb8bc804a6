#include <gtest/gtest.h>

#include "eprom_bench.h"

namespace sorvell::sim::test {
namespace {

TEST(SimEpromProgramTest, APulseClearsOnlyBitsTheDataHasAtZero) {
  for (const Wiring& wiring : {k2732, k2732A, k2764, k27C256, k27C512, k27C010, k27C040, k27C080}) {
    SCOPED_TRACE(wiring.part);
    Bench bench(wiring, {0xFF, 0xF0});
    bench.Pulse(1, 0x3C, 50 * kMs);
    EXPECT_EQ(bench.Read(1), 0x30);
    EXPECT_EQ(bench.Read(0), 0xFF);
    EXPECT_EQ(bench.Read(2), 0xFF);
    EXPECT_EQ(bench.Chip().PulsesAt(1), 1u);
    EXPECT_FALSE(bench.Chip().Damaged());
  }
}

// CMOS cells take about 100 us, NMOS 2764 cells about 1 ms, 2732A cells several ms.
TEST(SimEpromProgramTest, ShortPulsesAccumulateUntilTheCellTakes) {
  const struct {
    Wiring wiring;
    std::uint64_t widthNs;
    std::uint32_t pulsesNeeded;
  } cases[] = {{k27C256, 30 * kUs, 4}, {k2764, 600 * kUs, 2}, {k2732A, 1 * kMs, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wiring.part);
    Bench bench(c.wiring);
    for (std::uint32_t pulse = 1; pulse < c.pulsesNeeded; ++pulse) bench.Pulse(7, 0x55, c.widthNs);
    EXPECT_EQ(bench.Read(7), 0xFF);
    bench.Pulse(7, 0x55, c.widthNs);
    EXPECT_EQ(bench.Read(7), 0x55);
  }
}

TEST(SimEpromProgramTest, NoPulseWithoutEveryProgramCondition) {
  Wiring noVpp = k27C256, lowVpp = k2764, cePulseOnPgmPart = k2764, pgmPulseCeHigh = k2764,
         a14Pulse = k27C256, unpowered = k27C256;
  noVpp.vppMillivolts = kHigh;  // a model 4 switch with VPP disabled passes 5 V
  lowVpp.vppMillivolts = 12500;
  cePulseOnPgmPart.pulse = kCe;  // PGM (socket 29) stays high
  pgmPulseCeHigh.ceHeldLow = false;
  a14Pulse.pulse = 29;  // the 27C256 pulses on CE only
  unpowered.vcc = 28;   // where a 24-pin part has it
  const struct {
    Wiring wiring;
    std::uint16_t oe;
  } cases[] = {{noVpp, kHigh},
               {lowVpp, kHigh},
               {cePulseOnPgmPart, kHigh},
               {pgmPulseCeHigh, kHigh},
               {a14Pulse, kHigh},
               {unpowered, kHigh},
               {k27C256, 0}};  // OE low with VPP on is program verify
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wiring.part);
    Bench bench(c.wiring);
    bench.Set(29, kHigh);
    bench.oeDuringPulse = c.oe;
    bench.Pulse(5, 0x00, 50 * kMs);
    EXPECT_EQ(bench.Chip().Contents()[5], 0xFF);
    EXPECT_EQ(bench.Chip().TotalPulses(), 0u);
  }
}

TEST(SimEpromProgramTest, ChangedAddressOrDataSpoilsThePulse) {
  Bench bench(k27C256);
  bench.Pulse(0x10, 0x00, 200 * kUs, [&] { bench.Address(0x11); });
  bench.Pulse(0x20, 0x00, 200 * kUs, [&] { bench.Data(0x0F); });
  EXPECT_EQ(bench.Chip().DisturbedPulses(), 2u);
  EXPECT_EQ(bench.Chip().TotalPulses(), 2u);
  for (std::uint32_t address : {0x10u, 0x11u, 0x20u}) EXPECT_EQ(bench.Read(address), 0xFF);
}

// A 12.5 V part at 21 V, a 21 V part at 25 V: gone for good, and reads 00h. VPP switched onto
// a pin that is not VPP is only recorded.
TEST(SimEpromProgramTest, OverVoltageDestroysThePartAndStrayVppIsRecorded) {
  Wiring at21 = k27C256, at25 = k2732A, vppOnOe = k27C256;
  at21.vppMillivolts = 21000;
  at25.vppMillivolts = 25000;
  vppOnOe.vpp = kOe;
  for (const Wiring& wiring : {at21, at25}) {
    SCOPED_TRACE(wiring.part);
    Bench bench(wiring);
    bench.Pulse(3, 0xAA, 1 * kMs);
    EXPECT_NE(bench.Chip().DamageReport().find("VPP"), std::string::npos);
    EXPECT_EQ(bench.Read(3), 0x00);
    EXPECT_EQ(bench.Chip().Contents()[3], 0xFF);
  }
  Bench stray(vppOnOe);
  stray.Pulse(3, 0x00, 1 * kMs);
  EXPECT_EQ(stray.Chip().StrayVoltagePins(), std::vector<int>{22});
  EXPECT_FALSE(stray.Chip().Damaged());
}

TEST(SimEpromFaultTest, StuckBitsHoldTheirLevelThroughProgramAndErase) {
  Bench bench(k27C256);
  bench.Chip().SetStuckBits(8, 0x81, 0x01);  // bit 7 stuck at 0, bit 0 stuck at 1
  EXPECT_EQ(bench.Read(8), 0x7F);
  bench.Pulse(8, 0x00, 1 * kMs);
  EXPECT_EQ(bench.Read(8), 0x01);
  bench.Chip().Erase();
  EXPECT_EQ(bench.Read(8), 0x7F);
}

TEST(SimEpromFaultTest, SlowCellsNeedMorePulses) {
  Bench bench(k27C256);
  bench.Chip().SetSlowCell(9, 10);
  for (int pulse = 0; pulse < 9; ++pulse) bench.Pulse(9, 0x00, 100 * kUs);
  bench.Pulse(10, 0x00, 100 * kUs);
  EXPECT_EQ(bench.Read(9), 0xFF);
  EXPECT_EQ(bench.Read(10), 0x00) << "only the slow cell is slow";
  bench.Pulse(9, 0x00, 100 * kUs);
  EXPECT_EQ(bench.Read(9), 0x00);
  bench.Chip().SetSlowness(3);
  bench.Pulse(11, 0x00, 200 * kUs);
  EXPECT_EQ(bench.Read(11), 0xFF);
}

TEST(SimEpromFaultTest, EraseRestoresFfAndForgetsPartialCharge) {
  Bench bench(k27C256, {0x00, 0x12});
  bench.Pulse(2, 0x00, 60 * kUs);
  bench.Chip().Erase();
  EXPECT_EQ(bench.Chip().Contents(), std::vector<std::uint8_t>(0x8000, 0xFF));
  bench.Pulse(2, 0x00, 60 * kUs);
  EXPECT_EQ(bench.Read(2), 0xFF);
}

}  // namespace
}  // namespace sorvell::sim::test
