#include "diagnosis/diagnosis.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <optional>

namespace sorvell::diagnosis {

namespace {

using Bytes = std::span<const std::uint8_t>;
using AddressMap = std::function<std::size_t(std::size_t)>;

std::string Line(int line) {
  return "D" + std::to_string(line);
}

bool AllBytesAre(Bytes bytes, std::uint8_t value) {
  return std::ranges::all_of(bytes, [value](std::uint8_t b) { return b == value; });
}

// Whether the part reads, at every address, what the image holds at `map(address)`.
bool ReadsAt(Bytes wanted, Bytes read, const AddressMap& map) {
  for (std::size_t a = 0; a < read.size(); ++a) {
    if (read[a] != wanted[map(a)]) return false;
  }
  return true;
}

// An address line the part does not see as the board drives it: open or held at one level,
// inverted, or shorted to the next line up (the low side wins, as when two outputs fight). A part
// smaller than selected looks like every line above its own held at one level.
std::optional<Finding> AddressLineFault(Bytes wanted, Bytes read) {
  const std::size_t size = read.size();
  if (size < 2 || !std::has_single_bit(size) || AllBytesAre(read, read.front())) return {};
  const int lines = std::bit_width(size) - 1;
  for (int n = 0; n < lines; ++n) {
    const std::size_t bit = std::size_t{1} << n;
    const bool high = ReadsAt(wanted, read, [bit](std::size_t a) { return a | bit; });
    const bool low = ReadsAt(wanted, read, [bit](std::size_t a) { return a & ~bit; });
    if (high || low) {
      // Every line from n up held: the part is smaller than the one selected.
      const std::size_t upper = ~(bit - 1) & (size - 1);
      const bool allAbove =
          ReadsAt(wanted, read, [&](std::size_t a) { return high ? (a | upper) : (a & ~upper); });
      std::string cause = "the part's content repeats every " + std::to_string(bit) +
                          " bytes: address line A" + std::to_string(n) + " is open or held " +
                          (high ? "high" : "low");
      if (allAbove) {
        cause += "; or the part in the socket holds only " + std::to_string(bit) +
                 " bytes, less than the one selected";
      }
      return Finding{Certainty::kCertain, cause};
    }
    if (ReadsAt(wanted, read, [bit](std::size_t a) { return a ^ bit; })) {
      return Finding{Certainty::kCertain, "the two halves of every " + std::to_string(2 * bit) +
                                              " bytes are swapped: address line A" +
                                              std::to_string(n) +
                                              " is inverted (in the image or in the wiring)"};
    }
    if (n + 1 < lines) {
      const std::size_t pair = bit | bit << 1;
      const bool shorted = ReadsAt(
          wanted, read, [pair](std::size_t a) { return (a & pair) == pair ? a : a & ~pair; });
      if (shorted) {
        return Finding{Certainty::kCertain, "address lines A" + std::to_string(n) + " and A" +
                                                std::to_string(n + 1) +
                                                " are shorted together: each reads low when "
                                                "either is driven low"};
      }
    }
  }
  return {};
}

// One data line wrong at most addresses and no other line wrong: stuck at a level, or open.
std::optional<Finding> DataLineFault(const Difference& d, Bytes wanted) {
  int wrongLines = 0, line = -1;
  for (int l = 0; l < 8; ++l) {
    const LineTally& t = d.lines[static_cast<std::size_t>(l)];
    if (t.readLow + t.readHigh > 0) ++wrongLines, line = l;
  }
  if (wrongLines != 1) return {};
  const LineTally& t = d.lines[static_cast<std::size_t>(line)];
  const int bit = 1 << line;
  if (t.readLow > 0 && t.readHigh > 0) {
    return Finding{Certainty::kPossible,
                   "only " + Line(line) + " is wrong, both ways, at " + std::to_string(d.Count()) +
                       " scattered addresses: a bad contact on " + Line(line) +
                       " or a marginal part; read it again with more passes to see it change"};
  }
  const bool readsHigh = t.readHigh > 0;
  const auto could = static_cast<std::int32_t>(
      std::ranges::count_if(wanted, [&](std::uint8_t b) { return ((b & bit) != 0) != readsHigh; }));
  const std::int32_t wrong = readsHigh ? t.readHigh : t.readLow;
  const std::string level = readsHigh ? "stuck at 1 or open (floating high)" : "stuck at 0";
  const std::string figures = std::to_string(wrong) + " of the " + std::to_string(could) +
                              " bytes whose " + Line(line) + " should be " +
                              (readsHigh ? "0" : "1") + " read " + (readsHigh ? "1" : "0");
  if (wrong == could) {
    return Finding{Certainty::kCertain,
                   "data line " + Line(line) + " is " + level + ": " + figures};
  }
  if (wrong * 10 >= could * 9) {
    return Finding{Certainty::kLikely, "data line " + Line(line) + " is " + level +
                                           " or makes a poor contact: " + figures};
  }
  return {};
}

// A programmed EPROM or Flash only turns 1 bits into 0: bits that read 0 where the image has 1,
// on several lines and never the other way, were 0 before programming began.
std::optional<Finding> NotErased(const Difference& d) {
  int lines = 0;
  for (const LineTally& t : d.lines) {
    if (t.readHigh > 0) return {};
    if (t.readLow > 0) ++lines;
  }
  if (lines < 2) return {};
  return Finding{Certainty::kLikely,
                 "the part was not erased: " + std::to_string(d.Count()) +
                     " bytes hold 0 bits where the image has 1, never the other way (erase a "
                     "UV-EPROM under UV light, a Flash with Erase Chip, then program again)"};
}

// The image in the part, but moved: the file's offset, or the wrong Hi/Low half.
std::optional<Finding> Shifted(Bytes wanted, Bytes read) {
  const auto size = static_cast<std::int64_t>(read.size());
  if (size < 64 || AllBytesAre(wanted, wanted.front())) return {};
  std::vector<std::int64_t> shifts;
  for (std::int64_t s = 1; s <= 16; ++s) shifts.insert(shifts.end(), {s, -s});
  for (std::int64_t s = 256; s < size; s <<= 1) shifts.insert(shifts.end(), {s, -s});
  for (const std::int64_t s : shifts) {
    std::int64_t matches = 0, compared = 0;
    for (std::int64_t a = std::max<std::int64_t>(0, -s); a < size && a + s < size; ++a) {
      ++compared;
      if (read[static_cast<std::size_t>(a)] == wanted[static_cast<std::size_t>(a + s)]) ++matches;
    }
    if (compared >= size / 2 && matches * 100 >= compared * 98) {
      return Finding{Certainty::kLikely,
                     "the image is in the part shifted by " + std::to_string(-s) +
                         " bytes: check the file's load offset and the Hi/Low byte choice"};
    }
  }
  return {};
}

}  // namespace

std::string CertaintyWord(Certainty certainty) {
  switch (certainty) {
    case Certainty::kCertain:
      return "certain";
    case Certainty::kLikely:
      return "likely";
    case Certainty::kPossible:
      return "possible";
  }
  return "";
}

std::vector<Finding> Diagnose(const Difference& difference, Bytes wanted, Bytes read, Check check) {
  if (!difference.Any()) return {};
  const std::size_t size = static_cast<std::size_t>(difference.compared);
  wanted = wanted.first(size);
  read = read.first(size);
  if (AllBytesAre(read, 0xFF)) {
    return {{Certainty::kCertain,
             "every byte reads FFh: an empty socket, a part not seated or not powered, or a "
             "part that is still blank"}};
  }
  if (AllBytesAre(read, 0x00)) {
    return {{Certainty::kLikely,
             "every byte reads 00h: a part that is not powered or not enabled, or data lines "
             "held low"}};
  }
  std::vector<Finding> findings;
  if (check == Check::kVerify) {
    if (auto f = AddressLineFault(wanted, read)) findings.push_back(*f);
  }
  if (auto f = DataLineFault(difference, wanted)) findings.push_back(*f);
  if (check == Check::kVerify) {
    if (findings.empty()) {
      if (auto f = NotErased(difference)) findings.push_back(*f);
    }
    if (findings.empty()) {
      if (auto f = Shifted(wanted, read)) findings.push_back(*f);
    }
  }
  if (findings.empty() && check == Check::kBlank) {
    findings.push_back(
        {Certainty::kCertain, "the part holds data: " + std::to_string(difference.Count()) +
                                  " of its " + std::to_string(difference.compared) +
                                  " bytes are not FFh; erase it before programming"});
  }
  if (findings.empty()) {
    findings.push_back({Certainty::kPossible,
                        "no single cause fits the " + std::to_string(difference.Count()) +
                            " differences: read the part again with more passes to see whether "
                            "they change, and check the image and the part"});
  }
  return findings;
}

std::vector<std::string> FindingLines(const std::vector<Finding>& findings) {
  std::vector<std::string> lines;
  for (const Finding& finding : findings) {
    std::string word = CertaintyWord(finding.certainty);
    word[0] = static_cast<char>(word[0] - 'a' + 'A');
    lines.push_back(word + ": " + finding.cause);
  }
  return lines;
}

}  // namespace sorvell::diagnosis
