#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/serial_eeprom_chip.h"
#include "two_wire_master.h"

// A two-wire EEPROM on a bench: SCL and the master's side of SDA set by hand on the socket pins
// the adapter uses, virtual time stepped by hand, SDA read back as the wired-AND of both sides.
namespace sorvell::sim::test::serial {

constexpr std::uint16_t kHigh = 5000;
constexpr std::uint64_t kUs = 1000;
constexpr std::uint64_t kMs = 1000 * kUs;
constexpr int kScl = 22;  // the board's CE line
constexpr int kSda = 21;  // D7

class Bench : public TwoWireMaster<Bench> {
 public:
  explicit Bench(const std::string& part, std::vector<std::uint8_t> image = {})
      : chip_(MakeSerialEeprom(part, image)) {
    lines_.millivolts[kScl] = kHigh;
    lines_.millivolts[kSda] = kHigh;
    chip_->OnLines(lines_, nowNs_);
  }

  SerialEepromChip& Chip() { return *chip_; }
  std::uint64_t NowNs() const { return nowNs_; }
  void Wait(std::uint64_t ns) { nowNs_ += ns; }
  // Time between two line changes; 5 us keeps a 100 kHz part in its timing.
  void SetStepNs(std::uint64_t ns) { stepNs_ = ns; }

  // Both lines in one change, as when one latch write moves them together.
  void Lines(bool scl, bool sda) {
    lines_.millivolts[kScl] = scl ? kHigh : 0;
    lines_.millivolts[kSda] = sda ? kHigh : 0;
    chip_->OnLines(lines_, nowNs_);
    Wait(stepNs_);
  }
  void Scl(bool high) { Lines(high, MasterSda()); }
  void Sda(bool high) { Lines(SclHigh(), high); }
  // The line as both sides leave it.
  bool SdaLine() const { return MasterSda() && (chip_->OpenDrainLow(lines_, nowNs_) & 0x80) == 0; }

  // Device address byte 1010 + bits 3..1 + R/W.
  static std::uint8_t Device(std::uint8_t bits, bool read) {
    return static_cast<std::uint8_t>(0xA0 | (bits & 7) << 1 | (read ? 1 : 0));
  }
  // The 24C32 takes its high address bits in a second address byte, the others as block bits.
  bool TwoAddressBytes() const { return chip_->SizeBytes() > 2048; }
  std::uint8_t BlockBits(std::uint32_t address) const {
    return TwoAddressBytes() ? 0 : static_cast<std::uint8_t>(address >> 8);
  }
  // START, device address for a write, word address; false at the first missing acknowledge.
  bool Address(std::uint32_t address) {
    Start();
    if (!Send(Device(BlockBits(address), false))) return false;
    if (TwoAddressBytes() && !Send(static_cast<std::uint8_t>(address >> 8))) return false;
    return Send(static_cast<std::uint8_t>(address));
  }
  bool WriteBytes(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    bool acknowledged = Address(address);
    for (std::uint8_t byte : bytes) acknowledged = Send(byte) && acknowledged;
    Stop();
    return acknowledged;
  }
  // Random read: dummy write of the address, repeated START, sequential read of count bytes.
  std::vector<std::uint8_t> Read(std::uint32_t address, std::size_t count) {
    if (!Address(address)) return {};
    Start();
    if (!Send(Device(BlockBits(address), true))) return {};
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < count; ++i) bytes.push_back(Receive(i + 1 < count));
    Stop();
    return bytes;
  }

 private:
  bool SclHigh() const { return lines_.millivolts[kScl] >= kHigh; }
  bool MasterSda() const { return lines_.millivolts[kSda] >= kHigh; }

  std::unique_ptr<SerialEepromChip> chip_;
  SocketLines lines_;
  std::uint64_t nowNs_ = 0;
  std::uint64_t stepNs_ = 5 * kUs;
};

}  // namespace sorvell::sim::test::serial
