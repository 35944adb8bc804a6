#pragma once

#include <string_view>

namespace sorvell::flash {

// The Flash parts known by their autoselect codes: maker byte then device byte, as four
// upper-case hex digits, the name logged, and the part's sector page size.
struct FlashIdEntry {
  std::string_view code;
  std::string_view name;
  int pageSize;
};

inline constexpr FlashIdEntry kFlashIds[] = {
    {"1C04", "EON EN29F040 Flash Memory", 512},  {"0120", "AMD am29F010 Flash Memory", 512},
    {"01A4", "AMD am29F040 Flash Memory", 512},  {"3786", "AMIC A29040 Flash Memory", 512},
    {"37A4", "AMIC A29010 Flash Memory", 512},   {"1F5B", "ATMEL 29C040 Flash Memory", 512},
    {"1FA4", "ATMEL 29C040A Flash Memory", 256}, {"1FDA", "ATMEL 29C020 Flash Memory", 256},
    {"1F25", "ATMEL 29C1024 Flash Memory", 128}, {"1FD5", "ATMEL 29C010 Flash Memory", 128},
    {"1F5D", "ATMEL 29C512 Flash Memory", 128},  {"1FDC", "ATMEL 29C256 Flash Memory", 64},
};

// The maker bytes whose parts were erased and programmed from the start: EON, AMD, AMIC and
// Atmel. The makers of the Flash parts in the list today join them (FlashIdentity).
inline bool FirstEditionFlashMaker(int maker) {
  return maker == 0x37 || maker == 0x01 || maker == 0x1C || maker == 0x1F;
}

}  // namespace sorvell::flash
