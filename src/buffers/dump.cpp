#include "buffers/dump.h"

#include <cstdio>

#include "board/decode_tables.h"

namespace sorvell::buffers {

namespace {

char AsciiOf(std::uint8_t byte, AsciiRule rule) {
  if (rule == AsciiRule::kDevice)
    return byte >= 0x20 && byte <= 0x7A ? static_cast<char>(byte) : '.';
  const char c = static_cast<char>(byte);
  return byte < 0x80 && board::kPrintableChars.find(c) != std::string::npos ? c : '.';
}

}  // namespace

std::string DumpLine(std::int32_t address, const std::uint8_t* bytes, AsciiRule rule) {
  char text[80];
  int at = std::snprintf(text, sizeof text, "%06X| ", static_cast<unsigned>(address) & 0xFFFFFF);
  for (int i = 0; i < 16; ++i) {
    at += std::snprintf(text + at, sizeof text - static_cast<std::size_t>(at), "%02X", bytes[i]);
    if (i % 4 == 3) text[at++] = ' ';
  }
  text[at++] = '|';
  text[at++] = ' ';
  for (int i = 0; i < 16; ++i) text[at++] = AsciiOf(bytes[i], rule);
  return std::string(text, static_cast<std::size_t>(at));
}

double StatCode(std::string_view text) {
  double sum = 0;
  for (const char c : text) sum += static_cast<unsigned char>(c);
  return sum;
}

}  // namespace sorvell::buffers
