#include <gtest/gtest.h>

#include <functional>

#include "sim/eprom_chip.h"

namespace sorvell::sim {
namespace {

// Socket pins, as the board wires them.
constexpr int kCe = 22;
constexpr int kOe = 24;
constexpr int kDataPins[8] = {13, 14, 15, 17, 18, 19, 20, 21};
// A0..A11, the address lines every package has in the same socket positions.
constexpr int kLowAddressPins[12] = {12, 11, 10, 9, 8, 7, 6, 5, 27, 26, 23, 25};

constexpr std::uint16_t kHigh = 5000;
constexpr std::uint64_t kUs = 1000;
constexpr std::uint64_t kMs = 1000 * kUs;

// One part as the board sees it: socket pins of its VCC, VPP and program pulse, taken from its
// datasheet pinout shifted to the bottom of the socket, and the VPP it programs at.
struct Wiring {
  const char* part;
  int vcc;
  int vpp;
  int pulse;
  bool ceHeldLow;  // separate PGM pulse pin
  std::uint16_t vppMillivolts;
};

constexpr Wiring k2732{"2732", 28, kOe, kCe, false, 25000};
constexpr Wiring k2732A{"2732A", 28, kOe, kCe, false, 21000};
constexpr Wiring k2764{"2764", 30, 3, 29, true, 21000};
constexpr Wiring k27C256{"27C256", 30, 3, kCe, false, 12500};
constexpr Wiring k27C512{"27C512", 30, kOe, kCe, false, 12500};
constexpr Wiring k27C010{"27C010", 32, 1, 31, true, 12500};
constexpr Wiring k27C040{"27C040", 32, 1, kCe, false, 12500};
constexpr Wiring k27C080{"27C080", 32, kOe, kCe, false, 12500};

// Sets socket lines by hand and hands them to the part with a virtual time.
class Bench {
 public:
  explicit Bench(const Wiring& wiring, std::vector<std::uint8_t> image = {})
      : w_(wiring), chip_(MakeEprom(wiring.part, image)) {
    for (int pin : {w_.vcc, kCe, kOe, w_.pulse}) Set(pin, kHigh);
    Data(0xFF);
    Apply();
  }

  EpromChip& Chip() { return *chip_; }
  // OE as pulses are given: high, or low for program verify.
  std::uint16_t oeDuringPulse = kHigh;

  void Set(int socketPin, std::uint16_t millivolts) { lines_.millivolts[socketPin] = millivolts; }
  void Address(std::uint32_t address) { SetBits(kLowAddressPins, address); }
  void Data(std::uint8_t data) { SetBits(kDataPins, data); }
  void Apply() { chip_->OnLines(lines_, nowNs_); }

  // Address, data, OE and VPP set up with the pulse pin high; then the pulse, with
  // `during` changing lines halfway through it.
  void Pulse(std::uint32_t address, std::uint8_t data, std::uint64_t widthNs,
             const std::function<void()>& during = {}) {
    Set(w_.pulse, kHigh);
    Set(kCe, w_.ceHeldLow ? 0 : kHigh);
    Set(kOe, oeDuringPulse);
    Address(address);
    Data(data);
    Set(w_.vpp, w_.vppMillivolts);
    Step(2 * kUs);
    Set(w_.pulse, 0);
    Step(widthNs / 2);
    if (during) during();
    Step(widthNs - widthNs / 2);
    Set(w_.pulse, kHigh);
    Step(2 * kUs);
  }
  // VPP back to a logic level, CE and OE low, PGM high, the board's data lines released.
  std::optional<std::uint8_t> Read(std::uint32_t address) {
    Set(w_.vpp, w_.vpp == kOe ? 0 : kHigh);
    for (int pin : {kCe, kOe, w_.pulse}) Set(pin, 0);
    if (w_.ceHeldLow) Set(w_.pulse, kHigh);
    Address(address);
    Data(0xFF);
    Apply();
    return chip_->DrivenData(lines_, nowNs_);
  }

 private:
  void Step(std::uint64_t ns) {
    Apply();
    nowNs_ += ns;
  }
  void SetBits(std::span<const int> pins, std::uint32_t value) {
    for (std::size_t bit = 0; bit < pins.size(); ++bit)
      Set(pins[bit], (value >> bit) & 1 ? kHigh : 0);
  }

  Wiring w_;
  std::unique_ptr<EpromChip> chip_;
  SocketLines lines_;
  std::uint64_t nowNs_ = 0;
};

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
}  // namespace sorvell::sim
