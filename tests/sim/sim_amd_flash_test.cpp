#include <gtest/gtest.h>

#include "flash_bench.h"
#include "sim/amd_flash_chip.h"

namespace sorvell::sim::test::flash {
namespace {

constexpr std::uint8_t kDq7 = 0x80;
constexpr std::uint8_t kDq6 = 0x40;
constexpr std::uint8_t kDq5 = 0x20;
constexpr std::uint8_t kDq3 = 0x08;

AmdFlashChip& Amd(Bench& bench) {
  return dynamic_cast<AmdFlashChip&>(bench.Chip());
}

void Program(Bench& bench, std::uint32_t address, std::uint8_t data) {
  bench.Command(0xA0);
  bench.Write(address, data);
}

void ChipErase(Bench& bench) {
  bench.Command(0x80);
  bench.Command(0x10);
}

TEST(SimAmdFlashTest, AutoselectReadsMakerAndDeviceUntilReset) {
  const struct {
    Wiring wiring;
    std::uint8_t device;
  } cases[] = {{kAm29F010, 0x20}, {kAm29F020, 0xB0}, {kAm29F040, 0xA4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wiring.part);
    Bench bench(c.wiring, {0x11, 0x22});
    bench.Command(0x90);
    EXPECT_EQ(bench.Read(0), 0x01);
    EXPECT_EQ(bench.Read(1), c.device);
    bench.Command(0xA0);  // only a reset leaves autoselect
    bench.Write(0, 0x00);
    EXPECT_EQ(bench.Read(0), 0x01);
    bench.Write(0x1234, 0xF0);
    EXPECT_EQ(bench.Read(0), 0x11);
    EXPECT_EQ(bench.Read(1), 0x22);
    bench.Command(0x90);
    bench.Command(0xF0);  // the unlocked form of the reset
    EXPECT_EQ(bench.Read(1), 0x22);
  }
}

// The datasheets decode A14..A0 of a command address: higher lines are don't care, and a wrong
// address or code in the middle of a sequence starts it over.
TEST(SimAmdFlashTest, CommandAddressesDecodeA14ToA0) {
  Bench bench(kAm29F040);
  bench.Write(0x75555, 0xAA);
  bench.Write(0x1AAAA, 0x55);
  bench.Write(0x45555, 0x90);
  EXPECT_EQ(bench.Read(0), 0x01);
  bench.Write(0, 0xF0);
  bench.Write(0x5555, 0xAA);
  bench.Write(0x2AAB, 0x55);
  bench.Write(0x5555, 0x90);
  EXPECT_EQ(bench.Read(0), 0xFF);
  bench.Write(0x5555, 0xAA);
  bench.Write(0x2AAA, 0x54);
  bench.Write(0x5555, 0xA0);
  bench.Write(0x10, 0x00);
  EXPECT_EQ(bench.Read(0x10), 0xFF);
}

TEST(SimAmdFlashTest, ProgramClearsBitsAndReportsStatusUntilDone) {
  Bench bench(kAm29F010);
  const std::uint64_t programNs = Amd(bench).Timings().programNs;
  Program(bench, 0x100, 0x25);
  const std::uint8_t first = *bench.Read(0x100);
  const std::uint8_t second = *bench.Read(0x3000);  // status at any address
  EXPECT_EQ(first & kDq7, kDq7) << "DQ7 is the complement of the programmed bit";
  EXPECT_EQ(second & kDq7, kDq7);
  EXPECT_NE(first & kDq6, second & kDq6) << "DQ6 toggles on every read cycle";
  EXPECT_EQ(first & kDq5, 0);
  bench.WaitAfterWrite(programNs - 1);
  EXPECT_NE(bench.Read(0x100), 0x25);
  bench.WaitAfterWrite(programNs);
  EXPECT_EQ(bench.Read(0x100), 0x25);
  EXPECT_EQ(Amd(bench).Contents()[0x100], 0x25);
}

// The bits that can go to 0 do; the one that would have to go back to 1 fails the program.
TEST(SimAmdFlashTest, AZeroAskedToBecomeOneSetsDq5AfterTheLimitAndHoldsUntilReset) {
  Bench bench(kAm29F020, {0x1F});
  const AmdTimings timings = Amd(bench).Timings();
  Program(bench, 0, 0x8F);
  bench.Wait(timings.programNs);
  const std::uint8_t polled = *bench.Read(0);
  EXPECT_EQ(polled & (kDq7 | kDq5), 0) << "still busy: DQ7 = NOT 1, no time-out yet";
  bench.Wait(timings.programLimitNs);
  EXPECT_EQ(*bench.Read(0) & (kDq7 | kDq5), kDq5);
  Program(bench, 1, 0x00);  // ignored until a reset
  EXPECT_EQ(*bench.Read(0) & kDq5, kDq5);
  bench.Write(0, 0xF0);
  EXPECT_EQ(bench.Read(0), 0x0F);
  EXPECT_EQ(bench.Read(1), 0xFF);
  Program(bench, 0, 0x05);
  bench.Wait(timings.programNs);
  EXPECT_EQ(bench.Read(0), 0x05) << "clearing bits only succeeds";
}

TEST(SimAmdFlashTest, WritesAndResetsAreIgnoredWhileBusy) {
  Bench bench(kAm29F040);
  AmdTimings slow = Amd(bench).Timings();
  slow.programNs = 100 * kUs;
  Amd(bench).SetTimings(slow);
  Program(bench, 0x20, 0x00);
  bench.Write(0, 0xF0);
  Program(bench, 0x21, 0x00);
  bench.WaitAfterWrite(slow.programNs);
  EXPECT_EQ(bench.Read(0x20), 0x00);
  EXPECT_EQ(bench.Read(0x21), 0xFF);
}

TEST(SimAmdFlashTest, ChipEraseTakesItsTimeWithStatusAndLeavesFf) {
  std::vector<std::uint8_t> image(0x20000, 0x00);
  Bench bench(kAm29F010, image);
  AmdTimings timings = Amd(bench).Timings();
  timings.chipEraseNs = 2'500 * kMs;
  Amd(bench).SetTimings(timings);
  ChipErase(bench);
  const std::uint8_t a = *bench.Read(0x1FFFF);
  const std::uint8_t b = *bench.Read(0);
  EXPECT_EQ(a & (kDq7 | kDq5 | kDq3), kDq3) << "DQ7 reads 0 and DQ3 1 during an erase";
  EXPECT_NE(a & kDq6, b & kDq6);
  bench.WaitAfterWrite(timings.chipEraseNs - 1);
  EXPECT_EQ(*bench.Read(5) & kDq7, 0);
  bench.WaitAfterWrite(timings.chipEraseNs);
  EXPECT_EQ(bench.Read(5), 0xFF);
  EXPECT_EQ(Amd(bench).Contents(), std::vector<std::uint8_t>(0x20000, 0xFF));
}

// Eight uniform sectors: 16 KB on the AM29F010, 64 KB on the AM29F040; 30h writes within the
// 50 us time-out add sectors.
TEST(SimAmdFlashTest, SectorEraseClearsOnlyTheChosenSectors) {
  Bench bench(kAm29F040, std::vector<std::uint8_t>(0x80000, 0x00));
  bench.Command(0x80);
  bench.Write(0x5555, 0xAA);
  bench.Write(0x2AAA, 0x55);
  bench.Write(0x12345, 0x30);
  bench.Write(0x70000, 0x30);
  bench.Wait(10 * Amd(bench).Timings().sectorEraseNs);
  const auto& cells = Amd(bench).Contents();
  EXPECT_EQ(cells[0x0FFFF], 0x00);
  EXPECT_EQ(cells[0x10000], 0xFF);
  EXPECT_EQ(cells[0x1FFFF], 0xFF);
  EXPECT_EQ(cells[0x20000], 0x00);
  EXPECT_EQ(cells[0x70000], 0xFF);
  EXPECT_EQ(bench.Read(0x7FFFF), 0xFF);
}

TEST(SimAmdFlashTest, AWriteWithOeLowIsInhibitedAndRecorded) {
  Bench bench(kAm29F010);
  bench.Command(0xA0);
  bench.Set(kOe, 0);
  bench.Set(kCe, 0);
  bench.Set(31, 0);
  bench.Apply();
  bench.Set(31, kHigh);
  bench.Set(kCe, kHigh);
  bench.Apply();
  EXPECT_EQ(Amd(bench).Violations().Count(ViolationLog::Kind::kWriteWithOutputEnabled), 1u);
  EXPECT_EQ(Amd(bench).Contents()[0x5555], 0xFF);
  bench.Write(0x10, 0x00);  // the program command still waits for its byte
  bench.Wait(100 * kUs);
  EXPECT_EQ(bench.Read(0x10), 0x00);
}

// Every address line reaches its own cell through the socket: distinct bytes at the bottom and
// top of each 64 KB bank land where the part's own address says.
TEST(SimAmdFlashTest, EveryAddressLineReachesItsCell) {
  for (const Wiring& wiring : {kAm29F010, kAm29F020, kAm29F040}) {
    SCOPED_TRACE(wiring.part);
    Bench bench(wiring);
    const std::uint32_t size = bench.Chip().SizeBytes();
    EXPECT_EQ(size, 1u << wiring.address.size());
    for (std::uint32_t bank = 0; bank < size / 0x10000; ++bank) {
      Program(bench, bank * 0x10000, static_cast<std::uint8_t>(bank << 4 | 1));
      bench.Wait(100 * kUs);
      Program(bench, bank * 0x10000 + 0xFFFF, static_cast<std::uint8_t>(bank << 4 | 2));
      bench.Wait(100 * kUs);
    }
    for (std::uint32_t bit = 0; bit < 16; ++bit) {
      Program(bench, 1u << bit, static_cast<std::uint8_t>(0x80 | bit));
      bench.Wait(100 * kUs);
    }
    for (std::uint32_t bank = 0; bank < size / 0x10000; ++bank) {
      EXPECT_EQ(bench.Read(bank * 0x10000), static_cast<std::uint8_t>(bank << 4 | 1));
      EXPECT_EQ(bench.Read(bank * 0x10000 + 0xFFFF), static_cast<std::uint8_t>(bank << 4 | 2));
    }
    for (std::uint32_t bit = 0; bit < 16; ++bit) {
      EXPECT_EQ(bench.Read(1u << bit), static_cast<std::uint8_t>(0x80 | bit));
      EXPECT_EQ(bench.Chip().Contents()[1u << bit], 0x80 | bit) << "the part's own A" << bit;
    }
  }
}

TEST(SimAmdFlashFaultTest, AForeignIdIsWhatAutoselectReads) {
  Bench bench(kAm29F040);
  bench.Chip().SetForeignId({0x20, 0xE2});
  bench.Command(0x90);
  EXPECT_EQ(bench.Read(0), 0x20);
  EXPECT_EQ(bench.Read(1), 0xE2);
}

TEST(SimAmdFlashFaultTest, AHangingEraseStaysBusyAndIgnoresResets) {
  Bench bench(kAm29F020, {0x00});
  bench.Chip().SetEraseHangs(true);
  ChipErase(bench);
  bench.Wait(600'000 * kMs);
  bench.Write(0, 0xF0);
  const std::uint8_t a = *bench.Read(0);
  const std::uint8_t b = *bench.Read(0);
  EXPECT_EQ(a & (kDq7 | kDq5), 0);
  EXPECT_NE(a & kDq6, b & kDq6);
  EXPECT_TRUE(Amd(bench).Busy(bench.NowNs()));
}

TEST(SimAmdFlashFaultTest, AByteThatNeverTakesFailsItsProgramAndItsErase) {
  Bench bench(kAm29F010);
  bench.Chip().SetStuckBits(0x40, 0xFF, 0xFF);
  bench.Chip().SetStuckBits(0x41, 0x01, 0x00);
  Program(bench, 0x40, 0x12);
  bench.Wait(Amd(bench).Timings().programLimitNs);
  EXPECT_EQ(*bench.Read(0x40) & (kDq7 | kDq5), kDq7 | kDq5);
  bench.Write(0, 0xF0);
  EXPECT_EQ(bench.Read(0x40), 0xFF);
  ChipErase(bench);
  bench.Wait(Amd(bench).Timings().chipEraseNs);
  EXPECT_EQ(*bench.Read(0x41) & kDq5, kDq5) << "bit 0 of 41h stays 0 through the erase";
}

}  // namespace
}  // namespace sorvell::sim::test::flash
