#pragma once

#include <cstdint>

#include "sim/latch_decode.h"
#include "sim/socket.h"

namespace sorvell::sim {

// Model 4 has no level bits: its VPP supply is whatever the board was set up for.
inline constexpr std::uint16_t kDefaultModel4VppMillivolts = 12500;

// The voltage the VPP switches put on their pins now. Models 5/6 select it with R0 bits 1..0
// (01 is taken as 12.5 V: bit 0 only picks 25 V over 21 V once bit 1 raises the level); model 4
// has VPP only while R0 bit 2 enables it, and a switch without VPP passes plain 5 V.
std::uint16_t VppMillivolts(int model, std::uint8_t r0, std::uint16_t model4VppMillivolts);

// Every socket pin as the latches drive it. Data pins carry R4 while R3 bit 6 lets it drive and
// are pulled up otherwise; on model 6, R3 bit 5 then pulls D4 low.
SocketLines WireSocket(int model, const Latches& latches, std::uint16_t model4VppMillivolts);

}  // namespace sorvell::sim
