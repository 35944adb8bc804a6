#include "sim/socket.h"

namespace sorvell::sim {

const ViolationLog& SocketChip::Violations() const {
  static const ViolationLog kNone;
  return kNone;
}

std::uint8_t SocketChip::OpenDrainLow(const SocketLines&, std::uint64_t) const {
  return 0;
}

bool SocketChip::Drives(const SocketLines& lines, std::uint64_t nowNs) const {
  return DrivenData(lines, nowNs).has_value();
}

bool DevicePins::Powered(int vccDevicePin) const {
  const std::uint16_t mv = Millivolts(vccDevicePin);
  return mv >= kSupplyMinMillivolts && mv <= kSupplyMaxMillivolts;
}

std::uint32_t DevicePins::Bits(std::span<const int> devicePinsLsbFirst) const {
  std::uint32_t value = 0;
  for (std::size_t bit = 0; bit < devicePinsLsbFirst.size(); ++bit) {
    if (High(devicePinsLsbFirst[bit])) value |= 1u << bit;
  }
  return value;
}

std::uint8_t DevicePins::Data() const {
  std::uint8_t value = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if (lines_.millivolts[kSocketDataPins[bit]] >= kLogicHighMinMillivolts) value |= 1u << bit;
  }
  return value;
}

}  // namespace sorvell::sim
