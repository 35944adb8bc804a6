#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvell::buffers {

// Which bytes the ASCII column shows as themselves.
enum class AsciiRule {
  kBuffer,  // the printable set: letters, digits and punctuation, no blank, no " ` ~
  kDevice,  // the live device view: 20h (blank) to 7Ah (z)
};

// "AAAAAA| 00112233 44556677 8899AABB CCDDEEFF | ................": 62 characters.
std::string DumpLine(std::int32_t address, const std::uint8_t* bytes, AsciiRule rule);

// Text files saved from the window: a banner line, a description line, the date, time, StatCode
// (sum of the text's character codes) and board model, 60 hyphens, then the text itself.
double StatCode(std::string_view text);

}  // namespace sorvell::buffers
