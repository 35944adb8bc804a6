#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sorvell::common {

// The line (from 1) of the first character that is not plain ASCII; none when all are. The TOML
// files are read only when plain: the parser's Unicode tables in the toml++ of Debian 12 reach an
// unreachable branch on some characters near U+FEFF.
inline std::optional<std::size_t> FirstNonAsciiLine(std::string_view text) {
  std::size_t line = 1;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return line;
    if (c == '\n') ++line;
  }
  return std::nullopt;
}

// The text with its ASCII letters in lower case: names and words compared whatever their case.
inline std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

}  // namespace sorvell::common
