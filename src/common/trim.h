#pragma once

#include <string>
#include <string_view>

namespace sorvell::common {

// The text without the blanks at either end (captions and list entries are padded with them).
inline std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace sorvell::common
