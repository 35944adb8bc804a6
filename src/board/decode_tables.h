#pragma once

#include <array>
#include <string>

namespace sorvell::board {

using DecodeTable = std::array<int, 256>;

// Read-back translation from raw status bytes to data bits, built once at start-up.
struct DecodeTables {
  DecodeTable LowNibbleDecode{};   // models 5/6: D3..D0 from status bits 6..3
  DecodeTable HighNibbleDecode{};  // models 5/6: D7..D4 from status bits 6..3
  DecodeTable Model4Decode{};      // model 4: whole byte from the upper nibbles of two reads
};

// The characters the dump shows as themselves; everything else is shown as a dot.
inline const std::string kPrintableChars =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz1234567890-=\\!@#$%^&*()_+|[]}{;:'/?.>,<";

void BuildNibbleDecodes(DecodeTables& tables);
void BuildModel4Decode(DecodeTables& tables);
void IdentityMap(DecodeTable& map);

}  // namespace sorvell::board
