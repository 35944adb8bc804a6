#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sorvell::sim {

// What a part was put through outside its datasheet's operating conditions: nothing that
// destroys it at once, but what a real part answers with wrong data, weak cells or lost
// retention. Counted, with the latest one spelt out, so a test can require a clean run.
class ViolationLog {
 public:
  enum class Kind {
    kReadWithVpp,
    kPulseWidth,
    // CE# and WE# low with OE# low: the part inhibits the write, the bus cycle was meant as one.
    kWriteWithOutputEnabled,
    // The supply went away during a load period, a write cycle or an erase.
    kPowerLossWhileBusy,
    // Bytes of one page load differ in the page address bits.
    kPageAddressChanged,
    // Two-wire bus: SDA changed in the same instant as SCL rose (no data setup time).
    kSerialDataSetup,
    // Two-wire bus: the board held SDA low while the part acknowledged or sent a 1 bit, so what
    // the board reads is its own low.
    kSdaNotReleased,
    // Two-wire bus: a clock phase, or the set-up or hold of a START or STOP, shorter than a
    // 100 kHz part needs. The part loses the frame and ignores the bus until the next START.
    kSerialTiming,
  };

  void Record(Kind kind, std::string what) {
    ++count_;
    ++byKind_[static_cast<std::size_t>(kind)];
    last_ = std::move(what);
  }
  std::uint64_t Count() const { return count_; }
  std::uint64_t Count(Kind kind) const { return byKind_[static_cast<std::size_t>(kind)]; }
  // Empty while the count is 0.
  const std::string& Last() const { return last_; }

 private:
  static constexpr std::size_t kKinds = 8;

  std::uint64_t count_ = 0;
  std::array<std::uint64_t, kKinds> byKind_{};
  std::string last_;
};

}  // namespace sorvell::sim
