#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/socket.h"

namespace sorvell::sim {

// A 32-pin read-only memory in JEDEC positions with A19 on pin 1: it drives the byte at the
// addressed cell while powered with CE and OE low. Addresses wrap modulo the image size.
class RomChip final : public SocketChip {
 public:
  static constexpr std::size_t kMaxImageBytes = std::size_t{1} << 20;

  // 1 byte to 1 MiB; throws std::invalid_argument otherwise.
  explicit RomChip(std::vector<std::uint8_t> image);

  int PinCount() const override { return 32; }
  void OnLines(const SocketLines&, std::uint64_t) override {}
  std::optional<std::uint8_t> DrivenData(const SocketLines& lines,
                                         std::uint64_t nowNs) const override;

 private:
  std::vector<std::uint8_t> image_;
};

}  // namespace sorvell::sim
