#include "board/board_config.h"

#include <cctype>
#include <cstdio>

namespace sorvell::board {

namespace {

constexpr std::string_view kPortKey = "IO_PORT = ";
constexpr std::string_view kModelKey = "MODEL = ";
constexpr long long kTooLarge = 1LL << 40;

// Reads digits of the given base with blanks ignored, stopping at the first other character;
// nothing readable gives 0. Saturates instead of overflowing.
long long LeadingNumber(std::string_view text, int base) {
  long long value = 0;
  for (const char c : text) {
    if (c == ' ' || c == '\t') continue;
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                          : -1;
    if (digit < 0) break;
    value = value < kTooLarge ? value * base + digit : kTooLarge;
  }
  return value;
}

void ParseLine(std::string_view line, BoardConfig& config) {
  if (line.starts_with(kPortKey)) {
    const long long port = LeadingNumber(line.substr(kPortKey.size()), 16);
    if (port > 0xFFFF) {
      ++config.badPortLines;
      return;
    }
    config.hasPort = true;
    config.port = static_cast<std::uint16_t>(port);
    config.keys += "PORT";
  } else if (line.starts_with(kModelKey)) {
    const long long model = LeadingNumber(line.substr(kModelKey.size()), 10);
    config.hasModel = true;
    config.model = model > 0xFFFF ? 0 : static_cast<int>(model);
    config.keys += "MODEL";
  }
}

}  // namespace

BoardConfig ParseBoardConfig(std::string_view text) {
  BoardConfig config;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    ParseLine(line, config);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return config;
}

std::string FormatBoardConfig(const std::string& date, const std::string& time, std::uint16_t port,
                              int model) {
  char portText[8];
  std::snprintf(portText, sizeof portText, "%X", port);
  // The model is written with a blank where a sign would stand.
  const std::string modelText = model < 0 ? std::to_string(model) : " " + std::to_string(model);
  return "[SORVELL6 SETUP]\r\nDATE = " + date + " " + time + "\r\nIO_PORT = " + portText +
         "\r\nMODEL = " + modelText + "\r\n";
}

}  // namespace sorvell::board
