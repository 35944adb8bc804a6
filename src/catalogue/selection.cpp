#include "catalogue/selection.h"

namespace sorvell::catalogue {

SpeedFactors FactorsForVariant(const std::string& variant) {
  if (variant < "3") return {50, 20000, 100000};
  if (variant == "9") return {2, 50, 250};
  return {5, 100, 500};
}

SpeedCounts CalcSpeedCounts(int position, int maximum, const SpeedFactors& factors) {
  const std::int32_t r = maximum - position;
  const std::int32_t strobeFactor = position < 10 ? factors.speedA : factors.strobe;
  return {r * strobeFactor + 2, r * factors.speedA + 2, r * factors.speedB + 2};
}

void BuildAddressMaps(const std::string& family, board::DecodeTable& mapB,
                      board::DecodeTable& mapC) {
  board::IdentityMap(mapB);
  board::IdentityMap(mapC);
  if (family == "FM" || family == "FL" || family == "FR" || family == "FS") {
    for (int i = 4; i <= 7; ++i) mapC[i] = i + 4;
  }
  if (family == "EN") {
    for (int i = 64; i <= 127; ++i) mapB[i] = i + 64;
  }
}

}  // namespace sorvell::catalogue
