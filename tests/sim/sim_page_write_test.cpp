#include <gtest/gtest.h>

#include "flash_bench.h"
#include "sim/page_write_chip.h"

namespace sorvell::sim::test::flash {
namespace {

constexpr std::uint8_t kDq7 = 0x80;
constexpr std::uint8_t kDq6 = 0x40;
constexpr int kVcc28 = 30;  // device pin 28 on the board's A17 line

PageWriteChip& Part(Bench& bench) {
  return dynamic_cast<PageWriteChip&>(bench.Chip());
}

std::uint64_t WriteCycleNs(Bench& bench) {
  return Part(bench).Timings().writeCycleNs;
}

// Loads bytes back to back, 2 us apart, from `first` on.
void LoadPage(Bench& bench, std::uint32_t first, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) bench.Write(first + i, bytes[i]);
}

void Enable(Bench& bench) {
  bench.Command(0xA0);
}

void Disable(Bench& bench) {
  bench.Command(0x80);
  bench.Command(0x20);
}

// A read ends the load period; then the write cycle runs its course.
void FinishWrite(Bench& bench) {
  bench.Read(0);
  bench.Wait(WriteCycleNs(bench));
}

std::vector<std::uint8_t> Ramp(std::size_t count, std::uint8_t from) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(from + i);
  return bytes;
}

TEST(SimPageWriteTest, APageLoadedWithinTheWindowIsWrittenInOneCycle) {
  for (const Wiring& wiring : {kX28C256, kAt29C256}) {
    SCOPED_TRACE(wiring.part);
    Bench bench(wiring);
    const std::vector<std::uint8_t> page = Ramp(64, 0x40);  // last byte 7Fh
    LoadPage(bench, 0x1240, page);
    const std::uint8_t first = *bench.Read(0x127F);
    const std::uint8_t second = *bench.Read(0x127F);
    EXPECT_EQ(first & kDq7, kDq7) << "DATA polling: DQ7 the complement of the last byte";
    EXPECT_NE(first & kDq6, second & kDq6) << "toggle bit";
    bench.WaitAfterWrite(WriteCycleNs(bench) - 1);
    EXPECT_EQ(*bench.Read(0x1240) & kDq7, kDq7);
    bench.Wait(WriteCycleNs(bench));
    for (std::uint32_t i = 0; i < 64; ++i) EXPECT_EQ(bench.Read(0x1240 + i), page[i]);
    EXPECT_EQ(bench.Chip().Violations().Count(), 0u);
  }
}

// The X28C256 counts its 100 us from the falling edge of the previous load, the AT29C256 its
// 150 us from the rising edge. A late load finds the write cycle already running and is lost.
TEST(SimPageWriteTest, ALateLoadFindsTheWriteCycleStartedAndIsLost) {
  // From a rising edge to the next falling edge; each WE# pulse is 1 us long. The X28C256's
  // late gap would still be in time counted from the rising edge.
  const struct {
    Wiring wiring;
    std::uint64_t lastInWindowGapNs;
    std::uint64_t lateGapNs;
  } cases[] = {{kX28C256, 98 * kUs, 99'500}, {kAt29C256, 149 * kUs, 151 * kUs}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wiring.part);
    Bench bench(c.wiring);
    bench.Write(0x100, 0x11, c.lastInWindowGapNs);
    bench.Write(0x101, 0x22, c.lateGapNs);
    const std::uint64_t cycleStart = bench.NowNs();
    bench.Write(0x102, 0x33);
    bench.Wait(WriteCycleNs(bench) - 10 * kUs);
    EXPECT_EQ(*bench.Read(0x100) & kDq7, kDq7) << "still in the cycle the late load started";
    bench.Wait(cycleStart + WriteCycleNs(bench) - bench.NowNs());
    EXPECT_EQ(bench.Read(0x100), 0x11);
    EXPECT_EQ(bench.Read(0x101), 0x22);
    EXPECT_EQ(bench.Read(0x102), 0xFF);
    // After the cycle a load starts a new page.
    bench.Write(0x102, 0x33);
    FinishWrite(bench);
    EXPECT_EQ(bench.Read(0x102), 0x33);
    EXPECT_EQ(bench.Chip().Violations().Count(), 0u);
  }
}

TEST(SimPageWriteTest, LoadsDuringTheWriteCycleAreIgnoredWithoutComplaint) {
  Bench bench(kX28C256, std::vector<std::uint8_t>(0x8000, 0x5A));
  bench.Write(0x40, 0x01);
  bench.Read(0x40);
  LoadPage(bench, 0x80, Ramp(8, 0));
  bench.Wait(WriteCycleNs(bench));
  EXPECT_EQ(bench.Read(0x40), 0x01);
  EXPECT_EQ(bench.Read(0x80), 0x5A);
  EXPECT_EQ(bench.Chip().Violations().Count(), 0u);
}

TEST(SimPageWriteTest, BytesOfOnePageShareTheirPageAddress) {
  Bench bench(kX28C256);
  bench.Write(0x7FC0, 0x01);
  bench.Write(0x7FFF, 0x02);
  bench.Write(0x0000, 0x03);  // another page: the part keeps the first one
  FinishWrite(bench);
  EXPECT_EQ(bench.Chip().Violations().Count(ViolationLog::Kind::kPageAddressChanged), 1u);
  EXPECT_EQ(bench.Read(0x7FC0), 0x03);
  EXPECT_EQ(bench.Read(0x7FFF), 0x02);
  EXPECT_EQ(bench.Read(0x0000), 0xFF);
}

TEST(SimPageWriteTest, TheAt29c256ErasesBytesOfThePageThatWereNotLoaded) {
  Bench at29(kAt29C256, std::vector<std::uint8_t>(0x8000, 0x00));
  Bench x28(kX28C256, std::vector<std::uint8_t>(0x8000, 0x00));
  for (Bench* bench : {&at29, &x28}) {
    LoadPage(*bench, 0x0205, {0xA1, 0xA2});
    FinishWrite(*bench);
  }
  EXPECT_EQ(at29.Read(0x0205), 0xA1);
  EXPECT_EQ(at29.Read(0x0206), 0xA2);
  for (std::uint32_t address : {0x0200u, 0x0204u, 0x0207u, 0x023Fu}) {
    EXPECT_EQ(at29.Read(address), 0xFF);
    EXPECT_EQ(x28.Read(address), 0x00) << "the EEPROM writes only the loaded bytes";
  }
  EXPECT_EQ(at29.Read(0x01FF), 0x00);
  EXPECT_EQ(at29.Read(0x0240), 0x00);
}

TEST(SimPageWriteTest, DataProtectionTurnsOnWithItsSequenceAndOffWithTheOther) {
  for (const Wiring& wiring : {kX28C256, kAt29C256}) {
    SCOPED_TRACE(wiring.part);
    Bench bench(wiring);
    EXPECT_FALSE(Part(bench).Protected()) << "shipped unprotected";
    Enable(bench);
    LoadPage(bench, 0x300, {0x12, 0x34});
    FinishWrite(bench);
    EXPECT_TRUE(Part(bench).Protected());
    EXPECT_EQ(bench.Read(0x300), 0x12);
    EXPECT_EQ(bench.Read(0x301), 0x34);
    EXPECT_EQ(bench.Chip().Contents()[0x5555], 0xFF) << "command cycles are not data";

    bench.Write(0x302, 0x56);
    EXPECT_EQ(bench.Read(0x302), 0xFF) << "a plain write starts no write cycle";
    bench.Set(kVcc28, 0);
    bench.Apply();
    bench.Set(kVcc28, kHigh);
    bench.Apply();
    EXPECT_TRUE(Part(bench).Protected()) << "kept through power cycles";

    Disable(bench);
    FinishWrite(bench);
    EXPECT_FALSE(Part(bench).Protected());
    bench.Write(0x302, 0x56);
    FinishWrite(bench);
    EXPECT_EQ(bench.Read(0x302), 0x56);
  }
}

TEST(SimPageWriteTest, AProtectedPartIgnoresPlainAndBrokenWrites) {
  Bench bench(kX28C256);
  Part(bench).SetProtected(true);
  LoadPage(bench, 0x10, {1, 2, 3});
  bench.Write(0x5555, 0xAA);
  bench.Write(0x2AAA, 0x55);
  bench.Write(0x5555, 0x00);
  bench.Write(0x20, 0x04);
  FinishWrite(bench);
  EXPECT_EQ(bench.Chip().Contents(), std::vector<std::uint8_t>(0x8000, 0xFF));
  EXPECT_FALSE(Part(bench).Busy(bench.NowNs()));
}

// On an unprotected part a byte AAh at 5555h is data once the sequence does not go on.
TEST(SimPageWriteTest, AnUnprotectedPartWritesWhatOnlyLookedLikeACommand) {
  Bench bench(kX28C256);
  bench.Write(0x5555, 0xAA);
  bench.Write(0x5556, 0x01);
  FinishWrite(bench);
  bench.Write(0x5555, 0xAA);
  FinishWrite(bench);
  EXPECT_EQ(bench.Read(0x5555), 0xAA);
  EXPECT_EQ(bench.Read(0x5556), 0x01);
}

TEST(SimPageWriteTest, TheAt29c256HasProductIdAndChipErase) {
  Bench bench(kAt29C256, std::vector<std::uint8_t>(0x8000, 0x00));
  bench.Command(0x90);
  EXPECT_EQ(bench.Read(0), 0x1F);
  EXPECT_EQ(bench.Read(1), 0xDC);
  bench.Command(0xF0);
  EXPECT_EQ(bench.Read(1), 0x00);
  bench.Command(0x80);
  bench.Command(0x10);
  EXPECT_EQ(*bench.Read(7) & kDq7, 0);
  bench.WaitAfterWrite(Part(bench).Timings().chipEraseNs);
  EXPECT_EQ(bench.Read(7), 0xFF);
  EXPECT_EQ(bench.Chip().Contents(), std::vector<std::uint8_t>(0x8000, 0xFF));
}

TEST(SimPageWriteTest, WithoutVccOnA17ThePartIsDeadAndLosingItMidCycleIsRecorded) {
  Bench bench(kX28C256, {0x42});
  bench.Set(kVcc28, 0);
  EXPECT_EQ(bench.Read(0), std::nullopt);
  bench.Write(0, 0x00);
  bench.Set(kVcc28, kHigh);
  bench.Apply();
  EXPECT_EQ(bench.Read(0), 0x42);
  bench.Write(1, 0x00);
  bench.Set(kVcc28, 0);
  bench.Apply();
  EXPECT_EQ(bench.Chip().Violations().Count(ViolationLog::Kind::kPowerLossWhileBusy), 1u);
}

TEST(SimPageWriteTest, EveryAddressLineReachesItsCell) {
  for (const Wiring& wiring : {kX28C256, kAt29C256}) {
    SCOPED_TRACE(wiring.part);
    Bench bench(wiring);
    EXPECT_EQ(bench.Chip().SizeBytes(), 0x8000u);
    const std::uint32_t addresses[] = {0x0000, 0x7FFF};
    for (std::uint32_t address : addresses) {
      bench.Write(address, static_cast<std::uint8_t>(address >> 8 | 1));
      FinishWrite(bench);
    }
    // Each byte checked as it is written: on the AT29C256 a later write to page 0 erases the rest.
    for (std::uint32_t bit = 0; bit < 15; ++bit) {
      bench.Write(1u << bit, static_cast<std::uint8_t>(0x80 | bit));
      FinishWrite(bench);
      EXPECT_EQ(bench.Read(1u << bit), static_cast<std::uint8_t>(0x80 | bit));
      EXPECT_EQ(bench.Chip().Contents()[1u << bit], 0x80 | bit) << "the part's own A" << bit;
    }
    EXPECT_EQ(bench.Read(0x7FFF), 0x7F);
    for (std::uint32_t bit = 6; bit < 15; ++bit) {
      EXPECT_EQ(bench.Read(1u << bit), static_cast<std::uint8_t>(0x80 | bit)) << "A" << bit;
    }
  }
}

TEST(SimPageWriteFaultTest, ForeignIdHangingEraseAndAByteThatNeverTakes) {
  Bench at29(kAt29C256);
  at29.Chip().SetForeignId({0xBF, 0x5D});
  at29.Command(0x90);
  EXPECT_EQ(at29.Read(0), 0xBF);
  EXPECT_EQ(at29.Read(1), 0x5D);
  at29.Command(0xF0);
  at29.Chip().SetEraseHangs(true);
  at29.Command(0x80);
  at29.Command(0x10);
  at29.Wait(60'000 * kMs);
  EXPECT_TRUE(Part(at29).Busy(at29.NowNs()));
  EXPECT_EQ(*at29.Read(0) & kDq7, 0);

  Bench x28(kX28C256);
  x28.Chip().SetStuckBits(0x10, 0xFF, 0xFF);
  x28.Write(0x10, 0x00);
  FinishWrite(x28);
  EXPECT_EQ(x28.Read(0x10), 0xFF);
}

}  // namespace
}  // namespace sorvell::sim::test::flash
