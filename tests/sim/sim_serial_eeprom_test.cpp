#include <gtest/gtest.h>

#include "serial_bench.h"

namespace sorvell::sim::test::serial {
namespace {

using Kind = ViolationLog::Kind;

std::vector<std::uint8_t> Counting(std::size_t size, std::uint8_t first = 0) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}

TEST(SimSerialEepromTest, AcknowledgesOnlyItsDeviceCodeAndSelectPins) {
  struct Case {
    const char* part;
    std::uint8_t bits;  // device address bits 3..1
    bool acknowledged;
  };
  const Case cases[] = {
      {"24C08", 0b000, true},  {"24C08", 0b011, true},  {"24C08", 0b100, false},  // A2 tied low
      {"24C16", 0b111, true},  {"24C16", 0b101, true},  {"24C32", 0b000, true},
      {"24C32", 0b001, false}, {"24C32", 0b100, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.part) + " bits " + std::to_string(c.bits));
    Bench bench(c.part);
    bench.Start();
    EXPECT_EQ(bench.Send(Bench::Device(c.bits, false)), c.acknowledged);
    bench.Stop();
    bench.Start();
    EXPECT_FALSE(bench.Send(0xB0)) << "another device code";
    bench.Stop();
    EXPECT_EQ(bench.Chip().Violations().Count(), 0u);
  }
}

// An SDA edge while SCL is high is a START or STOP wherever it falls, so a broken-off byte is
// forgotten and the next address is heard from its first bit.
TEST(SimSerialEepromTest, StartAndStopResetTheByteInProgress) {
  Bench bench("24C16");
  bench.Start();
  for (int i = 0; i < 5; ++i) bench.Clock(true);
  bench.Start();
  EXPECT_TRUE(bench.Send(Bench::Device(0, false)));
  bench.Clock(false);
  bench.Clock(true);
  bench.Stop();
  bench.Start();
  EXPECT_TRUE(bench.Send(Bench::Device(0, true)));
  EXPECT_EQ(bench.Receive(false), 0xFF);
  bench.Stop();
  EXPECT_EQ(bench.Chip().Violations().Count(), 0u);
}

TEST(SimSerialEepromTest, PageWriteWrapsWithinThePageAndLeavesTheRest) {
  Bench bench("24C08", std::vector<std::uint8_t>(1024, 0x55));
  // Block 1, page 1F0h..1FFh: 18 bytes from 1FCh wrap to 1F0h and overwrite 1FCh and 1FDh.
  ASSERT_TRUE(bench.WriteBytes(0x1FC, Counting(18, 0x10)));
  const auto& cells = bench.Chip().Contents();
  EXPECT_EQ(cells[0x1FC], 0x20);
  EXPECT_EQ(cells[0x1FD], 0x21);
  EXPECT_EQ(cells[0x1FE], 0x12);
  EXPECT_EQ(cells[0x1FF], 0x13);
  EXPECT_EQ(cells[0x1F0], 0x14);
  EXPECT_EQ(cells[0x1FB], 0x1F);
  EXPECT_EQ(cells[0x200], 0x55);
  EXPECT_EQ(cells[0x0FC], 0x55) << "the block bits are address bits 9..8";
  bench.Wait(5 * kMs);
  ASSERT_TRUE(bench.WriteBytes(0x0FE, {1, 2, 3}));
  EXPECT_EQ(cells[0x0FF], 2);
  EXPECT_EQ(cells[0x0F0], 3);
  EXPECT_EQ(cells[0x0F1], 0x55) << "bytes not loaded keep their contents";
  EXPECT_EQ(cells[0x100], 0x55);
}

TEST(SimSerialEepromTest, The24c32TakesTwelveAddressBitsInTwoBytesAnd32BytePages) {
  Bench bench("24C32");
  // High address byte F7h: bits 15..12 are not used, so this is 7E8h.
  bench.Start();
  ASSERT_TRUE(bench.Send(Bench::Device(0, false)));
  ASSERT_TRUE(bench.Send(0xF7));
  ASSERT_TRUE(bench.Send(0xE8));
  for (std::uint8_t byte : Counting(26)) ASSERT_TRUE(bench.Send(byte));
  bench.Stop();
  const auto& cells = bench.Chip().Contents();
  EXPECT_EQ(cells[0x7E8], 0);
  EXPECT_EQ(cells[0x7FF], 23);
  EXPECT_EQ(cells[0x7E0], 24) << "wraps within the 32-byte page";
  EXPECT_EQ(cells[0x7E1], 25);
  EXPECT_EQ(cells[0x7E2], 0xFF);
  EXPECT_EQ(cells[0x800], 0xFF);
  bench.Wait(5 * kMs);
  EXPECT_EQ(bench.Read(0x07E9, 1), std::vector<std::uint8_t>{1});
  EXPECT_EQ(bench.Read(0x7FF, 2), (std::vector<std::uint8_t>{23, 0xFF}));
}

TEST(SimSerialEepromTest, NoAcknowledgeDuringTheWriteCycle) {
  Bench bench("24C16");
  EXPECT_EQ(bench.Chip().WriteCycleNs(), 5 * kMs);
  ASSERT_TRUE(bench.WriteBytes(0x123, {0xA5}));
  const std::uint64_t stopNs = bench.NowNs() - 5 * kUs;  // the STOP was the last line change
  EXPECT_TRUE(bench.Chip().Busy(bench.NowNs()));
  int polls = 0;
  for (;;) {
    bench.Start();
    const bool acknowledged = bench.Send(Bench::Device(0, false));
    if (acknowledged) break;
    ++polls;
    ASSERT_LT(polls, 1000);
    bench.Wait(100 * kUs);
  }
  bench.Stop();
  EXPECT_GT(polls, 0);
  EXPECT_GE(bench.NowNs() - stopNs, 5 * kMs);
  EXPECT_LT(bench.NowNs() - stopNs, 5 * kMs + 500 * kUs);
  EXPECT_EQ(bench.Read(0x123, 1), std::vector<std::uint8_t>{0xA5});

  bench.Chip().SetWriteCycleNs(1 * kMs);
  ASSERT_TRUE(bench.WriteBytes(0x124, {0x5A}));
  bench.Wait(900 * kUs);
  EXPECT_TRUE(bench.Read(0x124, 1).empty());
  bench.Wait(100 * kUs);
  EXPECT_EQ(bench.Read(0x124, 1), std::vector<std::uint8_t>{0x5A});
}

// Only a STOP after data bytes writes: the address alone sets the counter, and a repeated START
// abandons the loaded bytes (the dummy write of a random read).
TEST(SimSerialEepromTest, OnlyAStopAfterDataStartsAWriteCycle) {
  Bench bench("24C08", Counting(1024));
  ASSERT_TRUE(bench.Address(0x310));
  bench.Stop();
  EXPECT_FALSE(bench.Chip().Busy(bench.NowNs()));
  ASSERT_TRUE(bench.Address(0x310));
  ASSERT_TRUE(bench.Send(0xEE));
  bench.Start();
  ASSERT_TRUE(bench.Send(Bench::Device(3, true)));
  bench.Receive(false);
  bench.Stop();
  EXPECT_FALSE(bench.Chip().Busy(bench.NowNs()));
  EXPECT_EQ(bench.Chip().Contents()[0x310], 0x10);
}

TEST(SimSerialEepromTest, SequentialReadRollsOverAndCurrentAddressReadContinues) {
  Bench bench("24C16", Counting(2048, 1));
  EXPECT_EQ(bench.Read(0x7FE, 4), (std::vector<std::uint8_t>{0xFF, 0x00, 0x01, 0x02}));
  // Current address read: the counter is past the last byte read.
  bench.Start();
  ASSERT_TRUE(bench.Send(Bench::Device(0, true)));
  EXPECT_EQ(bench.Receive(true), 0x03);
  EXPECT_EQ(bench.Receive(false), 0x04);
  // After the missing acknowledge the part lets SDA go and waits for STOP or START.
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(bench.Clock(true));
  bench.Stop();
  EXPECT_EQ(bench.Chip().AddressCounter(), 4u);
  EXPECT_EQ(bench.Chip().Violations().Count(), 0u);
}

TEST(SimSerialEepromTest, FaultsDeadPartHangingWriteAndStuckByte) {
  {
    Bench bench("24C08");
    bench.Chip().SetNeverAcknowledges(true);
    EXPECT_FALSE(bench.Address(0));
    bench.Stop();
    EXPECT_TRUE(bench.Read(0, 1).empty());
  }
  {
    Bench bench("24C32");
    bench.Chip().SetWriteHangs(true);
    EXPECT_EQ(bench.Read(0, 1), std::vector<std::uint8_t>{0xFF}) << "reads until it writes";
    ASSERT_TRUE(bench.WriteBytes(0x10, {0x00}));
    bench.Wait(1'000 * kMs);
    EXPECT_FALSE(bench.Address(0x10));
    bench.Stop();
  }
  {
    Bench bench("24C16");
    bench.Chip().SetStuckBits(0x7F0, 0xFF, 0xFF);
    bench.Chip().SetStuckBits(0x7F1, 0x01, 0x00);
    ASSERT_TRUE(bench.WriteBytes(0x7F0, {0x12, 0x35}));
    bench.Wait(5 * kMs);
    EXPECT_EQ(bench.Read(0x7F0, 2), (std::vector<std::uint8_t>{0xFF, 0x34}));
  }
}

// The bench keeps SCL high and the START hold for one step, every other phase for two: a step just
// under the 4 us minimum is recorded and loses the frame, so the address goes unacknowledged.
TEST(SimSerialEepromTest, BusTimingBelowWhatA100kHzPartNeedsLosesTheTransaction) {
  for (std::uint64_t step : {3900u, 4000u}) {
    SCOPED_TRACE(step);
    Bench bench("24C16");
    bench.SetStepNs(step);
    const bool fastEnough = step >= 4000;
    EXPECT_EQ(bench.Address(0x10), fastEnough);
    bench.Stop();
    EXPECT_EQ(bench.Chip().Violations().Count(Kind::kSerialTiming) == 0, fastEnough)
        << bench.Chip().Violations().Last();
  }
  // A STOP too close to the clock edge is not heard: the loaded byte is never written.
  Bench bench("24C16");
  ASSERT_TRUE(bench.Address(0x20));
  ASSERT_TRUE(bench.Send(0x00));
  bench.Sda(false);
  bench.SetStepNs(3000);
  bench.Scl(true);
  bench.Sda(true);
  EXPECT_FALSE(bench.Chip().Busy(bench.NowNs()));
  EXPECT_EQ(bench.Chip().Contents()[0x20], 0xFF);
  EXPECT_NE(bench.Chip().Violations().Last().find("STOP set-up"), std::string::npos);
}

// WP tied high: every byte acknowledged, no write cycle, the cells as they were.
TEST(SimSerialEepromTest, AWriteProtectedPartAcknowledgesAndKeepsItsCells) {
  Bench bench("24C32", Counting(4096));
  bench.Chip().SetWriteProtected(true);
  EXPECT_TRUE(bench.WriteBytes(0x100, {0xAA, 0xBB}));
  EXPECT_FALSE(bench.Chip().Busy(bench.NowNs()));
  EXPECT_EQ(bench.Read(0x100, 2), (std::vector<std::uint8_t>{0x00, 0x01}));
  EXPECT_EQ(bench.Chip().Heard().size(), 3u) << "the write, the dummy write, the read";
  EXPECT_EQ(bench.Chip().Heard()[0], (std::vector<std::uint8_t>{0xA0, 0x01, 0x00, 0xAA, 0xBB}));
}

TEST(SimSerialEepromTest, RecordsSdaHeldLowAndSdaMovingWithTheClockEdge) {
  Bench bench("24C16", {0xFF});
  // The board keeps SDA low through the read: every bit reads 0 and the part records it.
  bench.Start();
  ASSERT_TRUE(bench.Send(Bench::Device(0, true)));
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(bench.Clock(false));
  EXPECT_EQ(bench.Chip().Violations().Count(Kind::kSdaNotReleased), 8u);
  bench.Clock(true);
  bench.Stop();
  // Not letting go for the acknowledge would read the board's own low as one.
  bench.Start();
  for (int bit = 7; bit >= 0; --bit) bench.Clock((0xB0 >> bit) & 1);
  EXPECT_FALSE(bench.Clock(false));
  EXPECT_EQ(bench.Chip().Violations().Count(Kind::kSdaNotReleased), 9u);
  bench.Stop();
  // Raising SCL and moving SDA in one change: no setup time.
  bench.Start();
  bench.Lines(true, true);
  EXPECT_EQ(bench.Chip().Violations().Count(Kind::kSerialDataSetup), 1u);
  EXPECT_EQ(bench.Chip().Violations().Count(), 10u);
}

}  // namespace
}  // namespace sorvell::sim::test::serial
