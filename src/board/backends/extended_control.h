#pragma once

#include <cstdint>
#include <optional>

#include "board/backends/raw_ports.h"

namespace sorvell::board {

// An ECP-capable port has an extended control register (ECR) at base + 402h. Its mode field
// (bits 7..5) decides what a data-port write does: in the ECP FIFO modes it is queued and sent
// with hardware strobes, and the strobe is the board's latch clock. The port must be in PS/2
// (byte) mode while the program drives it, as the kernel sets it on claim.
inline constexpr std::uint16_t kEcrOffset = 0x402;

// PS/2 mode (001), error interrupt off, service interrupt set (no DMA, no FIFO interrupts).
inline constexpr std::uint8_t kEcrByteMode = 0x34;

// Looks for the ECR at `base` and, when it is there, puts the port in PS/2 mode. Returns the ECR
// value found, to be given back by RestoreEcr, or nothing when the port has no ECR.
std::optional<std::uint8_t> EnterByteMode(RawPorts& ports, std::uint16_t base);

// Puts back the mode the port was found in.
void RestoreEcr(RawPorts& ports, std::uint16_t base, std::uint8_t saved);

}  // namespace sorvell::board
