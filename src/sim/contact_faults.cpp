#include "sim/contact_faults.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace sorvell::sim {

namespace {

// Socket pins of A0..A19 in JEDEC 32-pin positions.
constexpr std::array<int, 20> kAddressPins = {12, 11, 10, 9,  8,  7, 6, 5,  27, 26,
                                              23, 25, 4,  28, 29, 3, 2, 30, 31, 1};

void CheckLine(int line, int lines) {
  if (line < 0 || line >= lines) throw std::out_of_range("no such line");
}

std::uint16_t& Pin(SocketLines& lines, int pin) {
  return lines.millivolts[static_cast<std::size_t>(pin)];
}

}  // namespace

void ContactFaults::HoldDataLine(int line, bool high) {
  CheckLine(line, 8);
  const auto bit = static_cast<std::uint8_t>(1 << line);
  (high ? dataHigh_ : dataLow_) |= bit;
  (high ? dataLow_ : dataHigh_) &= static_cast<std::uint8_t>(~bit);
}

void ContactFaults::OpenDataLine(int line) {
  CheckLine(line, 8);
  dataOpen_ |= static_cast<std::uint8_t>(1 << line);
}

void ContactFaults::OpenAddressLine(int line) {
  CheckLine(line, 20);
  addressOpen_ |= 1u << line;
}

void ContactFaults::ShortAddressLines(int line) {
  CheckLine(line, 19);
  addressShorted_ |= 1u << line;
}

void ContactFaults::MakeContactFlaky(int line, int percent, std::uint32_t seed) {
  CheckLine(line, 8);
  if (percent < 1 || percent > 100) throw std::out_of_range("a rate of 1 to 100 percent");
  flaky_ |= static_cast<std::uint8_t>(1 << line);
  flakyPercent_ = percent;
  random_.seed(seed);
}

SocketLines ContactFaults::ToPart(SocketLines lines) const {
  for (int line = 0; line < 19; ++line) {
    if ((addressShorted_ >> line & 1) == 0) continue;
    std::uint16_t& a = Pin(lines, kAddressPins[static_cast<std::size_t>(line)]);
    std::uint16_t& b = Pin(lines, kAddressPins[static_cast<std::size_t>(line + 1)]);
    a = b = std::min(a, b);
  }
  for (int line = 0; line < 20; ++line) {
    if (addressOpen_ >> line & 1) {
      Pin(lines, kAddressPins[static_cast<std::size_t>(line)]) = kHighMillivolts;
    }
  }
  for (int line = 0; line < 8; ++line) {
    const int pin = kSocketDataPins[static_cast<std::size_t>(line)];
    if (dataLow_ >> line & 1) Pin(lines, pin) = kLowMillivolts;
    if ((dataHigh_ | dataOpen_) >> line & 1) Pin(lines, pin) = kHighMillivolts;
  }
  return lines;
}

std::uint8_t ContactFaults::ToBoard(std::uint8_t data, bool partDrives) {
  if (partDrives) {
    data |= dataOpen_;
    for (int line = 0; line < 8; ++line) {
      if ((flaky_ >> line & 1) != 0 && static_cast<int>(random_() % 100) < flakyPercent_) {
        data ^= static_cast<std::uint8_t>(1 << line);
      }
    }
  }
  return static_cast<std::uint8_t>((data & ~dataLow_) | dataHigh_);
}

}  // namespace sorvell::sim
