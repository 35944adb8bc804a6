#include "workbench/image_ops.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace sorvell::workbench {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

std::optional<std::uint32_t> Number(std::string_view digits, int base) {
  std::uint32_t value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
  if (digits.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

bool IsHexDigit(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

std::optional<Bytes> HexBytes(std::string_view text) {
  std::string digits;
  for (const char c : text) {
    if (IsHexDigit(c)) digits += c;
  }
  if (digits.empty() || digits.size() % 2 != 0) return std::nullopt;
  Bytes bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(*Number(std::string_view(digits).substr(i, 2), 16)));
  }
  return bytes;
}

}  // namespace

void SwapBytes(std::span<std::uint8_t> bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
}

Halves SplitEvenOdd(std::span<const std::uint8_t> bytes) {
  Halves halves;
  halves.even.reserve((bytes.size() + 1) / 2);
  halves.odd.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    (i % 2 == 0 ? halves.even : halves.odd).push_back(bytes[i]);
  return halves;
}

Bytes Interleave(std::span<const std::uint8_t> even, std::span<const std::uint8_t> odd,
                 std::string& error) {
  if (even.size() != odd.size() || even.empty()) {
    error = "the even half holds " + std::to_string(even.size()) + " bytes and the odd half " +
            std::to_string(odd.size()) + ": the halves of one image are the same size";
    return {};
  }
  Bytes bytes;
  bytes.reserve(even.size() * 2);
  for (std::size_t i = 0; i < even.size(); ++i) {
    bytes.push_back(even[i]);
    bytes.push_back(odd[i]);
  }
  return bytes;
}

Bytes RepeatTo(std::span<const std::uint8_t> image, std::size_t size, std::string& error) {
  if (image.empty() || size < image.size() || size % image.size() != 0) {
    error = std::to_string(size) + " bytes are not a whole number of copies of the " +
            std::to_string(image.size()) + "-byte image";
    return {};
  }
  Bytes bytes;
  bytes.reserve(size);
  while (bytes.size() < size) bytes.insert(bytes.end(), image.begin(), image.end());
  return bytes;
}

std::optional<std::uint32_t> ParseAddress(std::string_view text) {
  text = Trimmed(text);
  if (text.size() > 1 && (text.back() == 'K' || text.back() == 'k')) {
    const auto kilobytes = Number(text.substr(0, text.size() - 1), 10);
    if (!kilobytes || *kilobytes > 4096 * 1024) return std::nullopt;
    return *kilobytes * 1024;
  }
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
  } else if (text.starts_with('$')) {
    text.remove_prefix(1);
  } else if (text.ends_with('h') || text.ends_with('H')) {
    text.remove_suffix(1);
  }
  if (text.size() > 8) return std::nullopt;
  return Number(text, 16);
}

std::optional<Range> ParseRange(std::string_view text) {
  const auto dash = text.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const auto first = ParseAddress(text.substr(0, dash));
  const auto last = ParseAddress(text.substr(dash + 1));
  if (!first || !last || *first > *last) return std::nullopt;
  return Range{*first, *last};
}

std::optional<Bytes> ParseBytes(std::string_view text) {
  text = Trimmed(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
    if (text.empty()) return std::nullopt;
    return Bytes(text.begin(), text.end());
  }
  if (text.empty()) return std::nullopt;
  // Only hex digits and blanks: hex bytes, or nothing when they are not whole bytes.
  const auto hexLike = [](char c) { return IsHexDigit(c) || c == ' ' || c == '\t' || c == ','; };
  if (std::ranges::all_of(text, hexLike)) return HexBytes(text);
  return Bytes(text.begin(), text.end());
}

std::optional<std::size_t> Find(std::span<const std::uint8_t> bytes,
                                std::span<const std::uint8_t> pattern, std::size_t from,
                                bool forward) {
  if (pattern.empty() || pattern.size() > bytes.size()) return std::nullopt;
  const std::size_t lastStart = bytes.size() - pattern.size();
  const auto matches = [&](std::size_t at) {
    return std::equal(pattern.begin(), pattern.end(), bytes.begin() + static_cast<long>(at));
  };
  if (forward) {
    const auto found = std::search(bytes.begin() + static_cast<long>(std::min(from, bytes.size())),
                                   bytes.end(), pattern.begin(), pattern.end());
    if (found == bytes.end()) return std::nullopt;
    return static_cast<std::size_t>(found - bytes.begin());
  }
  for (std::size_t at = std::min(from, lastStart + 1); at-- > 0;) {
    if (matches(at)) return at;
  }
  return std::nullopt;
}

std::string AddressText(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%06Xh", address);
  return text;
}

}  // namespace sorvell::workbench
