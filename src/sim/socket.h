#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "sim/violation_log.h"

namespace sorvell::sim {

inline constexpr int kSocketPinCount = 32;
inline constexpr int kSocketGndPin = 16;
inline constexpr int kSocketVccPin = 32;

inline constexpr std::uint16_t kLowMillivolts = 0;
inline constexpr std::uint16_t kHighMillivolts = 5000;
// TTL input threshold: anything from here up reads as a logic 1.
inline constexpr std::uint16_t kLogicHighMinMillivolts = 2000;
// A part runs only while its supply is within 5 V +/- 10 %.
inline constexpr std::uint16_t kSupplyMinMillivolts = 4500;
inline constexpr std::uint16_t kSupplyMaxMillivolts = 5500;

// The data lines D0..D7 by socket pin. Every package sits so that its data pins land here.
inline constexpr std::array<int, 8> kSocketDataPins = {13, 14, 15, 17, 18, 19, 20, 21};

// What a chip sees: the voltage on every socket pin 1..32 (index 0 unused), in millivolts.
struct SocketLines {
  std::array<std::uint16_t, kSocketPinCount + 1> millivolts{};

  bool operator==(const SocketLines&) const = default;
};

// What a part acted on since it was made: the bus events that change its cells or its state. A
// test takes it before and after a sequence to prove that the sequence left the part alone.
struct PartActivity {
  std::uint64_t writes = 0;  // write cycles, inhibited ones included (Flash, page-write parts)
  std::uint64_t pulses = 0;  // program pulses (UV-EPROM)
  std::uint64_t starts = 0;  // two-wire START conditions (serial EEPROM)
  std::uint64_t stops = 0;   // two-wire STOP conditions
  std::uint64_t clocks = 0;  // SCL rising edges

  bool operator==(const PartActivity&) const = default;
};

// A part in the socket. It knows its own datasheet pinout and sees only the socket's pins.
class SocketChip {
 public:
  virtual ~SocketChip() = default;
  // 24, 28 or 32. The part sits at the bottom of the socket: device pin p is socket pin
  // p + (32 - PinCount()) / 2. An 8-pin serial part sits in an adapter that wires its pins.
  virtual int PinCount() const = 0;
  // The board's lines changed at virtual time nowNs. Called only on an actual change.
  virtual void OnLines(const SocketLines& lines, std::uint64_t nowNs) = 0;
  // The byte the part drives on D7..D0 now, or nullopt while its outputs are off or it is
  // unpowered.
  virtual std::optional<std::uint8_t> DrivenData(const SocketLines& lines,
                                                 std::uint64_t nowNs) const = 0;
  // Data lines the part pulls low through open-drain outputs (a serial EEPROM's SDA on D7). Such a
  // line is wired-AND: low if the part pulls it or the board drives it low, whether R4 drives the
  // bus or not. Push-pull parts pull nothing.
  virtual std::uint8_t OpenDrainLow(const SocketLines& lines, std::uint64_t nowNs) const;
  // Whether its push-pull outputs drive the bus now; unlike DrivenData it judges nothing, so the
  // board may ask it on every change of the lines.
  virtual bool Drives(const SocketLines& lines, std::uint64_t nowNs) const;
  virtual PartActivity Activity() const { return {}; }
  // Uses outside the part's datasheet conditions; parts that judge none keep this empty one.
  virtual const ViolationLog& Violations() const;
};

// The socket as seen from a part's own pin numbers, so chip models read like their datasheets.
class DevicePins {
 public:
  DevicePins(const SocketLines& lines, int pinCount)
      : lines_(lines), offset_((kSocketPinCount - pinCount) / 2) {}

  int SocketPin(int devicePin) const { return devicePin + offset_; }
  std::uint16_t Millivolts(int devicePin) const { return lines_.millivolts[SocketPin(devicePin)]; }
  bool High(int devicePin) const { return Millivolts(devicePin) >= kLogicHighMinMillivolts; }
  bool Low(int devicePin) const { return !High(devicePin); }
  // True while the part's supply pin is within its operating range.
  bool Powered(int vccDevicePin) const;
  // The logic levels of the given device pins as a number, the first pin being bit 0.
  std::uint32_t Bits(std::span<const int> devicePinsLsbFirst) const;
  // D7..D0 as driven onto the socket's data pins by the board.
  std::uint8_t Data() const;

 private:
  const SocketLines& lines_;
  int offset_;
};

}  // namespace sorvell::sim
