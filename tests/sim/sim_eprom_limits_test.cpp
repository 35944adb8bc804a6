#include <gtest/gtest.h>

#include "eprom_bench.h"
#include "sim/sim_port.h"
#include "sim_test_support.h"

namespace sorvell::sim::test {
namespace {

constexpr std::uint16_t kVpp12V5 = 12500;

bool Mentions(const ViolationLog& log, const std::string& text) {
  return log.Last().find(text) != std::string::npos;
}

TEST(SimEpromReadTest, AReadWithVppOnFloatsAndIsRecordedOnce) {
  for (const Wiring& wiring : {k27C256, k27C040, k27C010, k2764}) {
    SCOPED_TRACE(wiring.part);
    Bench bench(wiring, {0x12, 0x34});
    EXPECT_EQ(bench.ReadWithVpp(1, wiring.vppMillivolts), std::nullopt);
    EXPECT_EQ(bench.Chip().Violations().Count(), 1u);
    EXPECT_TRUE(Mentions(bench.Chip().Violations(), "read at 00001h with VPP"));
    EXPECT_EQ(bench.Read(1), 0x34) << "VPP back at VCC reads the cell";
    EXPECT_EQ(bench.Chip().Violations().Count(), 1u);
  }
}

// Program verify is the one read with VPP on that the datasheets define: the byte just pulsed.
TEST(SimEpromReadTest, VerifyingTheByteJustPulsedIsNoViolation) {
  Bench ceParts(k27C256);
  ceParts.Pulse(3, 0x55, 100 * kUs);
  EXPECT_EQ(ceParts.Verify(3), 0x55);
  EXPECT_EQ(ceParts.Chip().Violations().Count(), 0u);
  EXPECT_EQ(ceParts.Verify(4), std::nullopt) << "a byte not pulsed is no verify";
  EXPECT_EQ(ceParts.Chip().Violations().Count(), 1u);

  Bench pgmParts(k27C010);
  pgmParts.Pulse(3, 0x55, 100 * kUs);
  EXPECT_EQ(pgmParts.ReadWithVpp(3, kVpp12V5), 0x55);
  EXPECT_EQ(pgmParts.Chip().Violations().Count(), 0u);
}

TEST(SimEpromPulseWidthTest, PulsesWithinTheDatasheetWindowProgramCleanly) {
  const struct {
    Wiring wiring;
    std::uint64_t widthNs;
  } cases[] = {{k27C256, 100 * kUs}, {k27C010, 100 * kUs}, {k27C040, 100 * kUs},
               {k2764, 1 * kMs},     {k2764, 50 * kMs},    {k2732A, 50 * kMs}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wiring.part);
    Bench bench(c.wiring);
    bench.Pulse(6, 0x5A, c.widthNs);
    EXPECT_EQ(bench.Read(6), 0x5A);
    EXPECT_EQ(bench.Chip().Violations().Count(), 0u) << bench.Chip().Violations().Last();
  }
}

// A speed factor ten times off, or the wrong class's pulse, shows in the part's record.
TEST(SimEpromPulseWidthTest, PulsesOutsideTheWindowAreRecorded) {
  const struct {
    Wiring wiring;
    std::uint64_t widthNs;
    bool tooShort;
  } cases[] = {{k27C256, 10 * kUs, true},   {k27C256, 1100 * kUs, false}, {k27C080, 20 * kUs, true},
               {k27C080, 600 * kUs, false}, {k2764, 100 * kUs, true},     {k2764, 100 * kMs, false},
               {k2732A, 500 * kUs, true},   {k2732A, 500 * kMs, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.wiring.part) + " " + std::to_string(c.widthNs) + " ns");
    Bench bench(c.wiring);
    bench.Pulse(6, 0x00, c.widthNs);
    EXPECT_EQ(bench.Chip().Violations().Count(), 1u);
    EXPECT_TRUE(Mentions(bench.Chip().Violations(), "program pulse of"));
    EXPECT_EQ(bench.Read(6), c.tooShort ? 0xFF : 0x00) << "too short gives too little charge";
  }
}

// 5000 pulses of 1 ms are 5 s of pulse time, past what 32 bits of nanoseconds hold.
TEST(SimEpromPulseWidthTest, AVerySlowCellTakesOnceItHasHadItsTime) {
  Bench bench(k2764);
  bench.Chip().SetSlowCell(2, 5000);
  for (int pulse = 1; pulse < 5000; ++pulse) bench.Pulse(2, 0x00, 1 * kMs);
  EXPECT_EQ(bench.Read(2), 0xFF);
  bench.Pulse(2, 0x00, 1 * kMs);
  EXPECT_EQ(bench.Read(2), 0x00);
  EXPECT_EQ(bench.Chip().PulseTimeNsAt(2), 5000 * kMs);
  EXPECT_EQ(bench.Chip().Violations().Count(), 0u);
}

// A VPP switch bit left on while reading, through the board: the read does not return the cell
// and the port tells the test so.
TEST(SimEpromReadTest, AVppSwitchLeftOnSpoilsTheReadAndShowsAtThePort) {
  constexpr int kModel = 5;
  constexpr std::uint8_t kR0VppOnSocketPin3 = 0x10;  // a 28-pin part's VPP pin
  constexpr std::uint8_t kR3R4OffA17High = 0x42;     // A17 is a 28-pin part's VCC
  VirtualClock clock;
  SimulatedPort port(clock);
  SimBoard& board = port.PlaceBoard(kModel, kBase);
  board.Insert(MakeEprom("27C256", std::vector<std::uint8_t>{0xA5}));
  auto readByte0 = [&](std::uint8_t r0) {
    WriteLatch(port, kModel, 0, r0);  // OE low, CE low through R3 bit 7 = 0
    WriteLatch(port, kModel, 1, 0x00);
    WriteLatch(port, kModel, 2, 0x00);
    WriteLatch(port, kModel, 3, kR3R4OffA17High);
    return ReadDataBus(port, kModel);
  };
  EXPECT_EQ(readByte0(0x00), 0xA5);
  EXPECT_EQ(port.ChipViolationCount(), 0u);
  EXPECT_EQ(readByte0(kR0VppOnSocketPin3), 0xFF);
  EXPECT_EQ(port.ChipViolationCount(), 1u);
  EXPECT_NE(port.LastChipViolation().find("VPP 12.5 V on pin 1"), std::string::npos)
      << port.LastChipViolation();
}

}  // namespace
}  // namespace sorvell::sim::test
