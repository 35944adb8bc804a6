#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sim/writable_chip.h"
#include "sim/writable_parts.h"

// A 5 V Flash or page-write EEPROM on a bench: socket lines set by hand, virtual time stepped by
// hand. The wiring comes from the board's socket table and the parts' datasheet pinouts.
namespace sorvell::sim::test::flash {

constexpr std::uint16_t kHigh = 5000;
constexpr std::uint64_t kUs = 1000;
constexpr std::uint64_t kMs = 1000 * kUs;

// Socket pins of the board lines.
constexpr int kCe = 22;
constexpr int kOe = 24;
constexpr int kDataPins[8] = {13, 14, 15, 17, 18, 19, 20, 21};

// A part's address, WE# and VCC pins as socket pins.
struct Wiring {
  const char* part;
  std::vector<int> address;  // socket pin of A0, A1, ...
  int we;
  int vcc;
};

// 32-pin parts: A0..A16 in the JEDEC positions, A17 on pin 30, A18 on pin 1 (board line A19),
// WE# on pin 31 (board line A18), VCC on pin 32.
inline std::vector<int> AmdAddress(int bits) {
  std::vector<int> pins = {12, 11, 10, 9, 8, 7, 6, 5, 27, 26, 23, 25, 4, 28, 29, 3, 2, 30, 1};
  pins.resize(static_cast<std::size_t>(bits));
  return pins;
}
inline const Wiring kAm29F010{"AM29F010", AmdAddress(17), 31, 32};
inline const Wiring kAm29F020{"AM29F020", AmdAddress(18), 31, 32};
inline const Wiring kAm29F040{"AM29F040", AmdAddress(19), 31, 32};
// 28-pin parts two pins up from the bottom: device pin p on socket pin p + 2. A14 is device pin
// 1, A13 26, WE# 27 (board line A14), VCC 28 (board line A17).
inline const std::vector<int> k28PinAddress = {12, 11, 10, 9, 8, 7, 6, 5, 27, 26, 23, 25, 4, 28, 3};
inline const Wiring kX28C256{"X28C256", k28PinAddress, 29, 30};
inline const Wiring kAt29C256{"AT29C256", k28PinAddress, 29, 30};

class Bench {
 public:
  explicit Bench(const Wiring& wiring, std::vector<std::uint8_t> image = {})
      : w_(wiring), chip_(MakeWritableChip(wiring.part, image)) {
    for (int pin : {w_.vcc, kCe, kOe, w_.we}) Set(pin, kHigh);
    Apply();
  }

  WritableChip& Chip() { return *chip_; }
  std::uint64_t NowNs() const { return nowNs_; }

  void Set(int socketPin, std::uint16_t millivolts) { lines_.millivolts[socketPin] = millivolts; }
  void Apply() { chip_->OnLines(lines_, nowNs_); }
  void Wait(std::uint64_t ns) { nowNs_ += ns; }
  // The rising edge of the latest write cycle: where the part latched it.
  std::uint64_t LastWriteEndNs() const { return lastWriteEndNs_; }
  // Waits until `ns` after that edge.
  void WaitAfterWrite(std::uint64_t ns) { nowNs_ = lastWriteEndNs_ + ns; }

  // One write cycle: address and data set with OE# high, CE# and WE# low for 1 us, then both
  // high, and `afterNs` to the next bus cycle.
  void Write(std::uint32_t address, std::uint8_t data, std::uint64_t afterNs = 1 * kUs) {
    Set(kOe, kHigh);
    Address(address);
    Data(data);
    Apply();
    Set(kCe, 0);
    Set(w_.we, 0);
    Apply();
    Wait(1 * kUs);
    Set(w_.we, kHigh);
    Apply();
    lastWriteEndNs_ = nowNs_;
    Set(kCe, kHigh);
    Apply();
    Wait(afterNs);
  }
  // AAh at 5555h, 55h at 2AAAh, then the code at 5555h.
  void Command(std::uint8_t code) {
    Write(0x5555, 0xAA);
    Write(0x2AAA, 0x55);
    Write(0x5555, code);
  }
  // One read cycle: CE# low, then OE# low, sample, OE# and CE# high again.
  std::optional<std::uint8_t> Read(std::uint32_t address) {
    Set(w_.we, kHigh);
    Set(kOe, kHigh);
    Address(address);
    Data(0xFF);
    Set(kCe, 0);
    Apply();
    Set(kOe, 0);
    Apply();
    const std::optional<std::uint8_t> value = chip_->DrivenData(lines_, nowNs_);
    Set(kOe, kHigh);
    Set(kCe, kHigh);
    Apply();
    Wait(1 * kUs);
    return value;
  }

 private:
  void Address(std::uint32_t address) { SetBits(w_.address, address); }
  void Data(std::uint8_t data) { SetBits(kDataPins, data); }
  void SetBits(std::span<const int> pins, std::uint32_t value) {
    for (std::size_t bit = 0; bit < pins.size(); ++bit)
      Set(pins[bit], (value >> bit) & 1 ? kHigh : 0);
  }

  Wiring w_;
  std::unique_ptr<WritableChip> chip_;
  SocketLines lines_;
  std::uint64_t nowNs_ = 0;
  std::uint64_t lastWriteEndNs_ = 0;
};

}  // namespace sorvell::sim::test::flash
