#include "sim/flash_cells.h"

#include <algorithm>
#include <stdexcept>

namespace sorvell::sim {

namespace {
constexpr std::uint8_t kErased = 0xFF;
}

FlashCells::FlashCells(std::uint32_t sizeBytes, std::span<const std::uint8_t> image)
    : bytes_(sizeBytes, kErased) {
  if (image.size() > sizeBytes) throw std::invalid_argument("image larger than the part");
  std::ranges::copy(image, bytes_.begin());
}

bool FlashCells::Program(std::uint32_t address, std::uint8_t data) {
  address %= Size();
  bytes_[address] &= data;
  HoldStuckBits(address);
  return bytes_[address] == data;
}

void FlashCells::Write(std::uint32_t address, std::uint8_t data) {
  address %= Size();
  bytes_[address] = data;
  HoldStuckBits(address);
}

bool FlashCells::Erase(std::uint32_t first, std::uint32_t count) {
  bool allErased = true;
  for (std::uint32_t address = first; address < first + count && address < Size(); ++address) {
    bytes_[address] = kErased;
    HoldStuckBits(address);
    allErased = allErased && bytes_[address] == kErased;
  }
  return allErased;
}

void FlashCells::SetStuckBits(std::uint32_t address, std::uint8_t mask, std::uint8_t stuckValue) {
  if (address >= Size()) throw std::out_of_range("address beyond the part");
  stuck_[address] = Stuck{mask, static_cast<std::uint8_t>(stuckValue & mask)};
  HoldStuckBits(address);
}

void FlashCells::HoldStuckBits(std::uint32_t address) {
  const auto stuck = stuck_.find(address);
  if (stuck == stuck_.end()) return;
  const Stuck& bits = stuck->second;
  bytes_[address] = static_cast<std::uint8_t>((bytes_[address] & ~bits.mask) | bits.value);
}

}  // namespace sorvell::sim
