#include "sim/eprom_cells.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace sorvell::sim {

namespace {

constexpr std::uint8_t kErased = 0xFF;

template <typename T>
T SaturatingAdd(T sum, std::uint64_t more) {
  constexpr std::uint64_t kMax = std::numeric_limits<T>::max();
  return static_cast<T>(std::min<std::uint64_t>(kMax, sum + std::min(more, kMax)));
}

std::uint32_t CheckedFactor(std::uint32_t factor) {
  if (factor == 0) throw std::invalid_argument("a cell needs at least the typical pulse time");
  return factor;
}

}  // namespace

EpromCells::EpromCells(std::uint32_t sizeBytes, std::uint64_t cellProgramNs,
                       std::span<const std::uint8_t> image)
    : bytes_(sizeBytes, kErased), cellProgramNs_(cellProgramNs) {
  if (image.size() > sizeBytes) throw std::invalid_argument("image larger than the part");
  std::ranges::copy(image, bytes_.begin());
}

void EpromCells::Pulse(std::uint32_t address, std::uint8_t data, std::uint64_t durationNs) {
  if (charge_.empty()) charge_.resize(bytes_.size());
  Charge& charge = charge_[address];
  charge.pulses = SaturatingAdd(charge.pulses, 1);
  charge.ns += durationNs;
  if (charge.ns < NeededNs(address)) return;
  bytes_[address] &= data;
  HoldStuckBits(address);
}

void EpromCells::Erase() {
  std::ranges::fill(bytes_, kErased);
  charge_.clear();
  HoldAllStuckBits();
}

void EpromCells::SetSlowCell(std::uint32_t address, std::uint32_t factor) {
  slowCells_[Checked(address)] = CheckedFactor(factor);
}

void EpromCells::SetSlowness(std::uint32_t factor) {
  slowness_ = CheckedFactor(factor);
}

void EpromCells::SetStuckBits(std::uint32_t address, std::uint8_t mask, std::uint8_t stuckValue) {
  stuckCells_[Checked(address)] = Stuck{mask, static_cast<std::uint8_t>(stuckValue & mask)};
  HoldStuckBits(address);
}

std::uint32_t EpromCells::PulsesAt(std::uint32_t address) const {
  return charge_.empty() ? 0 : charge_[Checked(address)].pulses;
}

std::uint64_t EpromCells::ChargeNsAt(std::uint32_t address) const {
  return charge_.empty() ? 0 : charge_[Checked(address)].ns;
}

std::uint32_t EpromCells::Checked(std::uint32_t address) const {
  if (address >= bytes_.size()) throw std::out_of_range("address beyond the part");
  return address;
}

std::uint64_t EpromCells::NeededNs(std::uint32_t address) const {
  const auto slow = slowCells_.find(address);
  const std::uint64_t cellFactor = slow == slowCells_.end() ? 1 : slow->second;
  return cellProgramNs_ * slowness_ * cellFactor;
}

void EpromCells::HoldStuckBits(std::uint32_t address) {
  const auto stuck = stuckCells_.find(address);
  if (stuck == stuckCells_.end()) return;
  const Stuck& bits = stuck->second;
  bytes_[address] = static_cast<std::uint8_t>((bytes_[address] & ~bits.mask) | bits.value);
}

void EpromCells::HoldAllStuckBits() {
  for (const auto& stuck : stuckCells_) HoldStuckBits(stuck.first);
}

}  // namespace sorvell::sim
