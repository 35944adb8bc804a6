#include "sim/eprom_parts.h"

#include <algorithm>
#include <array>

namespace sorvell::sim {

namespace {

// Device pins of A0, A1, ... in the JEDEC byte-wide packages. Each package's list is a prefix of
// the next larger one once the part sits at the bottom of the 32-pin socket, which is what lets
// one board serve them all.
constexpr std::array<int, 12> k24PinAddress = {8, 7, 6, 5, 4, 3, 2, 1, 23, 22, 19, 21};
constexpr std::array<int, 16> k28PinAddress = {10, 9,  8,  7,  6, 5,  4,  3,
                                               25, 24, 21, 23, 2, 26, 27, 1};
constexpr std::array<int, 20> k32PinAddress = {12, 11, 10, 9,  8,  7, 6, 5,  27, 26,
                                               23, 25, 4,  28, 29, 3, 2, 30, 31, 1};

// Pinouts {pins, CE, OE, PGM, VPP, VCC}.
// 2716: CE/PGM on 18 (the program pulse goes high on it), OE on 20, VPP alone on 21, where the
// 2732 has A11.
constexpr EpromPinout k24Vpp21{24, 18, 20, 0, 21, 24};
// 2732 family: CE/PGM on 18 is the program pulse, VPP shares pin 20 with OE.
constexpr EpromPinout k24OeVpp{24, 18, 20, 0, 20, 24};
// 2764, 27128: separate PGM on 27 (CE held low), VPP on 1.
constexpr EpromPinout k28Pgm{28, 20, 22, 27, 1, 28};
// 27256: pin 27 became A14, so CE on 20 is the program pulse; VPP stays on 1.
constexpr EpromPinout k28Ce{28, 20, 22, 0, 1, 28};
// 27C512: pin 1 became A15, so VPP moved onto OE (22).
constexpr EpromPinout k28OeVpp{28, 20, 22, 0, 22, 28};
// 1 and 2 Mbit: separate PGM on 31, VPP on 1.
constexpr EpromPinout k32Pgm{32, 22, 24, 31, 1, 32};
// 4 Mbit: pin 31 became A18, CE on 22 is the program pulse.
constexpr EpromPinout k32Ce{32, 22, 24, 0, 1, 32};
// 8 Mbit: pin 1 became A19, VPP moved onto OE (24).
constexpr EpromPinout k32OeVpp{32, 22, 24, 0, 24, 32};

// Programming windows take the datasheets' nominal level with its tolerance, widened a little to
// cover the makers' differing nominal values; the destroy level is the absolute maximum rating of
// the VPP pin. The board offers 12.5, 21 and 25 V, so a part of one class meets the next class
// up as over-voltage, and the class below as too low to program.
// 12.5 V class: 12.5 +/- 0.5 V (intelligent NMOS) to 12.75-13.0 +/- 0.25 V (CMOS quick-pulse);
// absolute maximum 14 V.
constexpr VppRange kVpp12V5{12000, 13500, 14000};
// 21 V class (2764, 27128, 2732A): 21 +/- 0.5 V, absolute maximum 22 V.
constexpr VppRange kVpp21V{20500, 21500, 22000};
// 25 V class (2732): 25 +/- 1 V, absolute maximum 26.5 V.
constexpr VppRange kVpp25V{24000, 26000, 26500};

// Typical accumulated pulse time a cell needs.
// CMOS parts: quick-pulse algorithms give 100 us pulses and most bytes take on the first one.
constexpr std::uint64_t kCmosCellNs = 100'000;
// NMOS 2764/27128/27256 and the 12.5 V 2732-format parts: the intelligent algorithm's 1 ms
// pulses, with most bytes taking on the first.
constexpr std::uint64_t kIntelligentCellNs = 1'000'000;
// 2732 and 2732A know only the single 50 ms pulse; a typical cell holds its charge after a
// tenth of it, the rest being the datasheet's margin.
constexpr std::uint64_t kStandardCellNs = 5'000'000;

constexpr std::uint64_t kUs = 1'000;
constexpr std::uint64_t kMs = 1'000'000;

// Program pulse widths, per datasheet class.
// Quick-pulse CMOS parts: 95..105 us. No datasheet of the class gives a longer pulse than its
// own (some makers also list the 1 ms interactive pulse); ten times the nominal pulse is taken
// as over-stress.
constexpr PulseWindow kQuickPulse100us{95 * kUs, 1 * kMs};
// 8 Mbit parts: 50 us pulses (45..55 us) from some makers, 100 us from others; over-stress as
// above, from the shorter nominal pulse.
constexpr PulseWindow kQuickPulse50us{45 * kUs, 500 * kUs};
// Intelligent algorithm of the 21 V 2764/27128: 1 ms pulses (0.95..1.05 ms), then an overprogram
// pulse of 4X ms after X <= 15 pulses, up to 63 ms; the standard 50 ms pulse lies inside.
constexpr PulseWindow kIntelligent21V{950 * kUs, 63 * kMs};
// Intelligent algorithm of the 12.5 V parts: 1 ms pulses, then 3X ms after X <= 25 pulses, up to
// 78.75 ms.
constexpr PulseWindow kIntelligent12V5{950 * kUs, 78'750 * kUs};
// 2732 and 2732A: one 50 ms pulse per byte, 45..55 ms; there is no shorter algorithm.
constexpr PulseWindow kStandard50ms{45 * kMs, 55 * kMs};

constexpr EpromPart kParts[] = {
    {"2716", k24Vpp21, 11, kVpp25V, kStandardCellNs, kStandard50ms, true},
    {"2732A", k24OeVpp, 12, kVpp21V, kStandardCellNs, kStandard50ms},
    {"2732B", k24OeVpp, 12, kVpp12V5, kIntelligentCellNs, kIntelligent12V5},
    {"2732", k24OeVpp, 12, kVpp25V, kStandardCellNs, kStandard50ms},
    // CMOS successor of the 2732 at the 12.5 V level, but of the 1 ms pulse generation.
    {"27C32", k24OeVpp, 12, kVpp12V5, kIntelligentCellNs, kIntelligent12V5},
    {"2764", k28Pgm, 13, kVpp21V, kIntelligentCellNs, kIntelligent21V},
    {"27C64", k28Pgm, 13, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27128", k28Pgm, 14, kVpp21V, kIntelligentCellNs, kIntelligent21V},
    {"27C128", k28Pgm, 14, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27256", k28Ce, 15, kVpp12V5, kIntelligentCellNs, kIntelligent12V5},
    {"27C256", k28Ce, 15, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C259", k28Ce, 15, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C512", k28OeVpp, 16, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C1001", k32Pgm, 17, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C010", k32Pgm, 17, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C2001", k32Pgm, 18, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C020", k32Pgm, 18, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C4001", k32Ce, 19, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C040", k32Ce, 19, kVpp12V5, kCmosCellNs, kQuickPulse100us},
    {"27C801", k32OeVpp, 20, kVpp12V5, kCmosCellNs, kQuickPulse50us},
    {"27C080", k32OeVpp, 20, kVpp12V5, kCmosCellNs, kQuickPulse50us},
};

}  // namespace

std::span<const int> EpromPart::AddressPins() const {
  const auto count = static_cast<std::size_t>(addressBits);
  switch (pins.pinCount) {
    case 24:
      return std::span(k24PinAddress).first(count);
    case 28:
      return std::span(k28PinAddress).first(count);
    default:
      return std::span(k32PinAddress).first(count);
  }
}

const EpromPart* FindEpromPart(std::string_view name) {
  const auto* found = std::ranges::find(kParts, name, &EpromPart::name);
  return found == std::end(kParts) ? nullptr : found;
}

std::vector<std::string> EpromPartNames() {
  std::vector<std::string> names;
  for (const EpromPart& part : kParts) names.emplace_back(part.name);
  return names;
}

}  // namespace sorvell::sim
