#include "board/decode_tables.h"

namespace sorvell::board {

void BuildNibbleDecodes(DecodeTables& tables) {
  for (int s = 0; s < 256; ++s) {
    // Models 5/6 deliver a nibble on status bits 3..6; bit 7 (inverted Busy) is not wired.
    tables.LowNibbleDecode[s] = (s >> 3) & 0x0F;
    tables.HighNibbleDecode[s] = ((s >> 3) & 0x0F) << 4;
  }
}

void BuildModel4Decode(DecodeTables& tables) {
  // Index bits 0..3 are status bits 4..7 of the low-nibble read, bits 4..7 those of the
  // high-nibble read. The model 4 board wires them to these data bits:
  static constexpr std::array<int, 8> kDataBitOfIndexBit = {3, 2, 0, 1, 7, 6, 4, 5};
  for (int index = 0; index < 256; ++index) {
    int value = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (index & (1 << bit)) value |= 1 << kDataBitOfIndexBit[bit];
    }
    // D1 and D5 arrive through Busy, which the port inverts.
    tables.Model4Decode[index] = value ^ 0x22;
  }
}

void IdentityMap(DecodeTable& map) {
  for (int i = 0; i < 256; ++i) map[i] = i;
}

}  // namespace sorvell::board
