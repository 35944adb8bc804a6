#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sim/eprom_chip.h"

// A simulated UV-EPROM on a bench: socket lines set by hand, virtual time stepped by hand.
namespace sorvell::sim::test {

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
  // CE high, OE low, VPP on: program verify on the parts pulsed on CE.
  std::optional<std::uint8_t> Verify(std::uint32_t address) {
    Set(kCe, kHigh);
    Set(kOe, 0);
    Address(address);
    Data(0xFF);
    Apply();
    return chip_->DrivenData(lines_, nowNs_);
  }
  // VPP back to a logic level, CE and OE low, PGM high, the board's data lines released.
  std::optional<std::uint8_t> Read(std::uint32_t address) {
    return ReadWithVpp(address, w_.vpp == kOe ? 0 : kHigh);
  }
  // The same with VPP left at the given level.
  std::optional<std::uint8_t> ReadWithVpp(std::uint32_t address, std::uint16_t vppMillivolts) {
    Set(w_.vpp, vppMillivolts);
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

}  // namespace sorvell::sim::test
