#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace sorvell::common {

// Upper-case hexadecimal without prefix or leading zeros, as log lines write addresses, bytes
// and port numbers (378h is "378", 0 is "0").
inline std::string HexText(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

}  // namespace sorvell::common
