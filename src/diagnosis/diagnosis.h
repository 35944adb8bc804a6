#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "diagnosis/difference.h"

namespace sorvell::diagnosis {

// How sure a finding is: the figures fit it exactly, fit it at most addresses, or only allow it.
enum class Certainty { kCertain, kLikely, kPossible };

struct Finding {
  Certainty certainty;
  std::string cause;  // plain words, with the figures that show it
};

// "certain", "likely", "possible".
std::string CertaintyWord(Certainty certainty);

enum class Check {
  kVerify,  // the part against the image it should hold
  kBlank,   // the part against an erased part (FFh everywhere)
};

// The likely causes of a difference, likeliest first; none when nothing differs. A cause is named
// only when the figures show its pattern; when none fits, the one finding says so.
std::vector<Finding> Diagnose(const Difference& difference, std::span<const std::uint8_t> wanted,
                              std::span<const std::uint8_t> read, Check check);

// "Likely: ..." lines for the log, the alert and the console.
std::vector<std::string> FindingLines(const std::vector<Finding>& findings);

// After a programming failure at address 0 that read FFh back: what usually causes it.
inline constexpr const char* kNothingWrittenHint =
    "Nothing took at address 0 and it reads FFh: usually no part in the socket, a part not seated "
    "(pin 1 at the lever, the part at the bottom of the socket), the wrong programming voltage, "
    "or a protected part";

}  // namespace sorvell::diagnosis
