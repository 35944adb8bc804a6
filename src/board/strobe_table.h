#pragma once

#include <array>

namespace sorvell::board {

// Control-port values that select and clock each latch, for both board generations. Bits 3..1
// address the latch and bit 0 is its clock; the model 5/6 board inverts the low four bits of the
// control port, so its values are the model 4 values XOR 0Fh. Entries 0..9 are model 4, 10..19
// models 5/6, each as (R0 A, R1 A, R2 A, R3 A, R4 A, R0 B, R1 B, R2 B, R3 B, R4 B): the A value
// addresses the latch with its clock released, the B value with its clock asserted.
using StrobeTableType = std::array<int, 20>;

inline constexpr int kModel4Column = 0;
inline constexpr int kModel56Column = 10;

// Read-back nibble select values (control bit 2 picks the nibble, no latch clocked).
inline constexpr int kModel4ReadLowSelect = 0;
inline constexpr int kModel4ReadHighSelect = 4;
inline constexpr int kModel56ReadLowSelect = 5;
inline constexpr int kModel56ReadHighSelect = 1;

void InitStrobeTable(StrobeTableType& table);

}  // namespace sorvell::board
