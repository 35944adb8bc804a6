#include "sim/rom_chip.h"

#include <array>
#include <stdexcept>

namespace sorvell::sim {

namespace {

constexpr int kCePin = 22;
constexpr int kOePin = 24;
constexpr int kVccPin = 32;

// Device pins of A0..A19.
constexpr std::array<int, 20> kAddressPins = {12, 11, 10, 9,  8,  7, 6, 5,  27, 26,
                                              23, 25, 4,  28, 29, 3, 2, 30, 31, 1};

std::vector<std::uint8_t> CheckedImage(std::vector<std::uint8_t> image) {
  if (image.empty() || image.size() > RomChip::kMaxImageBytes) {
    throw std::invalid_argument("a ROM image holds 1 byte to 1 MiB");
  }
  return image;
}

}  // namespace

RomChip::RomChip(std::vector<std::uint8_t> image) : image_(CheckedImage(std::move(image))) {}

std::optional<std::uint8_t> RomChip::DrivenData(const SocketLines& lines, std::uint64_t) const {
  const DevicePins pins(lines, PinCount());
  if (!pins.Powered(kVccPin) || pins.High(kCePin) || pins.High(kOePin)) return std::nullopt;
  return image_[pins.Bits(kAddressPins) % image_.size()];
}

}  // namespace sorvell::sim
