#pragma once

#include <cstdint>

namespace sorvell::sim::test {

// The bus master's side of a two-wire exchange, as a board drives it: START, STOP, bits and bytes.
// `Lines` sets SCL (`Scl`) and the master's SDA (`Sda`) and reads the wired-AND SDA (`SdaLine`);
// SCL is left low between operations so SDA only moves while it is low.
template <class Lines>
class TwoWireMaster {
 public:
  void Start() {
    Sda(true);
    Scl(true);
    Sda(false);
    Scl(false);
  }
  void Stop() {
    Sda(false);
    Scl(true);
    Sda(true);
  }
  // Clocks one bit out of the master; returns the line as sampled while SCL is high.
  bool Clock(bool sda) {
    Sda(sda);
    Scl(true);
    const bool line = static_cast<Lines&>(*this).SdaLine();
    Scl(false);
    return line;
  }
  // Eight bits MSB first, then a released ninth clock: true if the part acknowledged.
  bool Send(std::uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) Clock((byte >> bit) & 1);
    return !Clock(true);
  }
  // Eight bits with SDA released, then the master's acknowledge (SDA low) or not.
  std::uint8_t Receive(bool acknowledge) {
    std::uint8_t byte = 0;
    for (int bit = 0; bit < 8; ++bit) byte = static_cast<std::uint8_t>(byte << 1 | Clock(true));
    Clock(!acknowledge);
    return byte;
  }

 private:
  void Scl(bool high) { static_cast<Lines&>(*this).Scl(high); }
  void Sda(bool high) { static_cast<Lines&>(*this).Sda(high); }
};

}  // namespace sorvell::sim::test
