#include "board/backends/parport_proc.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sorvell::board {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEntryPrefix = "parport";

bool IsSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// N of a "parportN" directory name; the tree also holds "default", which is no port.
std::optional<int> EntryNumber(std::string_view name) {
  if (!name.starts_with(kEntryPrefix)) return std::nullopt;
  name.remove_prefix(kEntryPrefix.size());
  int number = 0;
  const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), number);
  if (ec != std::errc{} || end != name.data() + name.size()) return std::nullopt;
  return number;
}

std::optional<std::uint32_t> ReadBaseAddr(const fs::path& file) {
  std::ifstream in(file);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return ParseBaseAddr(text.str());
}

}  // namespace

std::optional<std::uint32_t> ParseBaseAddr(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  std::uint32_t base = 0;
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(text.data(), last, base);
  if (ec != std::errc{} || (end != last && !IsSpace(*end))) return std::nullopt;
  return base;
}

std::vector<ParportEntry> ListParports(const std::string& procRoot) {
  std::vector<ParportEntry> entries;
  std::error_code ec;
  // Stepping with an error code: a port vanishing mid-listing ends the list, it does not throw.
  for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& dir = it->path();
    const std::optional<int> number = EntryNumber(dir.filename().string());
    if (number) entries.push_back({*number, ReadBaseAddr(dir / "base-addr")});
  }
  std::ranges::sort(entries, {}, &ParportEntry::number);
  return entries;
}

}  // namespace sorvell::board
