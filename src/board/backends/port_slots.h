#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "board/port_io.h"

namespace sorvell::board {

// A real backend serves the three board bases at once, because detection probes all of them.
// Each base has a slot; the backends keep their per-base state (a descriptor, a grant) by slot.
inline constexpr std::array<std::uint16_t, 3> kBoardBases = {kLpt378, kLpt278, kLpt3BC};
inline constexpr int kBoardBaseCount = static_cast<int>(kBoardBases.size());

// Data, status and control: the registers a board uses at each base.
inline constexpr std::uint16_t kRegistersPerBase = 3;

inline constexpr int kNoSlot = -1;

// Where a port number falls: the slot of its base and the register offset, or kNoSlot for a
// port the board does not use. Runs on every port access, so it stays a few compares.
struct PortSlot {
  int slot = kNoSlot;
  std::uint16_t offset = 0;
};

constexpr PortSlot FindPortSlot(std::uint16_t port) noexcept {
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    const auto offset = static_cast<std::uint16_t>(port - kBoardBases[slot]);
    if (offset < kRegistersPerBase) return {slot, offset};
  }
  return {};
}

// The slot of a base address (the kernel reports bases wider than 16 bits), or kNoSlot.
constexpr int BaseSlot(std::uint32_t base) noexcept {
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    if (base == kBoardBases[slot]) return slot;
  }
  return kNoSlot;
}

// An I/O address as the operator reads it in board documentation, e.g. "378h".
inline std::string FormatAddress(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%Xh", static_cast<unsigned>(address));
  return text;
}

}  // namespace sorvell::board
