#include "diagnosis/difference.h"

#include <algorithm>

#include "common/hex_text.h"

namespace sorvell::diagnosis {

Difference Compare(std::span<const std::uint8_t> wanted, std::span<const std::uint8_t> read) {
  Difference difference;
  const std::size_t size = std::min(wanted.size(), read.size());
  difference.compared = static_cast<std::int32_t>(size);
  for (std::size_t a = 0; a < size; ++a) {
    if (wanted[a] == read[a]) continue;
    difference.bytes.push_back({static_cast<std::int32_t>(a), wanted[a], read[a]});
    for (int line = 0; line < 8; ++line) {
      const int bit = 1 << line;
      if ((wanted[a] & bit) == (read[a] & bit)) continue;
      LineTally& tally = difference.lines[static_cast<std::size_t>(line)];
      ++((read[a] & bit) != 0 ? tally.readHigh : tally.readLow);
    }
  }
  return difference;
}

std::vector<AddressRange> Difference::Ranges() const {
  std::vector<AddressRange> ranges;
  for (const ByteDifference& byte : bytes) {
    if (!ranges.empty() && ranges.back().last + 1 == byte.address) {
      ranges.back().last = byte.address;
    } else {
      ranges.push_back({byte.address, byte.address});
    }
  }
  return ranges;
}

std::string RangeText(const AddressRange& range) {
  const std::string first = common::HexText(range.first) + "h";
  return range.first == range.last ? first : first + "-" + common::HexText(range.last) + "h";
}

std::vector<std::string> SummaryLines(const Difference& difference) {
  if (!difference.Any()) return {};
  std::vector<std::string> lines;
  lines.push_back("Whole part compared: " + std::to_string(difference.Count()) + " of " +
                  std::to_string(difference.compared) + " bytes differ, the first at " +
                  common::HexText(difference.bytes.front().address) + "h, the last at " +
                  common::HexText(difference.bytes.back().address) + "h");
  const std::vector<AddressRange> ranges = difference.Ranges();
  std::string named = "Differing addresses: ";
  for (std::size_t i = 0; i < ranges.size() && i < kRangesNamed; ++i) {
    named += (i == 0 ? "" : ", ") + RangeText(ranges[i]);
  }
  if (ranges.size() > kRangesNamed) {
    named += " and " + std::to_string(ranges.size() - kRangesNamed) + " more ranges";
  }
  lines.push_back(named);
  for (int line = 7; line >= 0; --line) {
    const LineTally& tally = difference.lines[static_cast<std::size_t>(line)];
    if (tally.readLow == 0 && tally.readHigh == 0) continue;
    lines.push_back("Data line D" + std::to_string(line) + ": " + std::to_string(tally.readLow) +
                    " bits read 0 where 1 was wanted, " + std::to_string(tally.readHigh) +
                    " read 1 where 0 was wanted");
  }
  return lines;
}

}  // namespace sorvell::diagnosis
