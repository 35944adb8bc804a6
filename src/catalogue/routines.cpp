#include "catalogue/routines.h"

#include <algorithm>
#include <iterator>

namespace sorvell::catalogue {

namespace {

using P = ProgramRoutine;
using E = EraseRoutine;
using V = VerifyRoutine;
using D = DisplayRoutine;
using Addr = AddressPath;
constexpr Bus kPar = Bus::kParallel;
constexpr Bus kTwo = Bus::kTwoWire;
constexpr Bus kOff = Bus::kNone;

// Columns: family; Program, Erase Chip, Verify and Display routines; bus; how an address is set
// for a read; word-address bytes on the two-wire bus; whether the part has a data area.
// UV-EPROMs by pinout and pulse: 24-pin (1), the PGM-pin 28-pin parts (2, 3), the chip-enable
// pulsed 28- and 32-pin parts (4, 8), OE/VPP parts (5, 9), the PGM-pin 32-pin parts (6, 7).
constexpr FamilyRoutines kFamilies[] = {
    {"P1", P::kP2732, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P2", P::kP2764_128, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P3", P::kP2764_128, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P4", P::kP27256_040, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P5", P::kP27080, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P6", P::kP27010_020, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P7", P::kP27010_020, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P8", P::kP27256_040, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"P9", P::kP27080, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    {"PM", P::kNone, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kEprom, 0, false},
    // Page-write parts: the X28C256, and its Atmel cousin.
    {"EN", P::kProgramX28C256, E::kEraseX28C256, V::kParallel, D::kParallel, kPar, Addr::kXicor, 0,
     false},
    {"EO", P::kNone, E::kNone, V::kParallel, D::kNone, kOff, Addr::kNone, 0, false},
    {"EP", P::kNone, E::kNone, V::kParallel, D::kNone, kOff, Addr::kNone, 0, false},
    {"FA", P::kProgramAT29C256, E::kNone, V::kParallel, D::kParallel, kPar, Addr::kFlash, 0, false},
    // 5 V Flash on the AMD command set.
    {"FL", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar, Addr::kFlash, 0,
     false},
    {"FM", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar, Addr::kFlash, 0,
     false},
    {"FR", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar, Addr::kFlash, 0,
     false},
    {"FS", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar, Addr::kFlash, 0,
     false},
    {"FN", P::kNone, E::kNone, V::kParallel, D::kNone, kPar, Addr::kFlash, 0, false},
    {"FO", P::kNone, E::kNone, V::kParallel, D::kNone, kPar, Addr::kFlash, 0, false},
    {"FP", P::kNone, E::kNone, V::kParallel, D::kNone, kPar, Addr::kFlash, 0, false},
    {"FQ", P::kNone, E::kNone, V::kParallel, D::kNone, kPar, Addr::kFlash, 0, false},
    // Serial EEPROMs: one address byte with block bits, or two address bytes (24C32).
    {"SA", P::kProgram24CXX, E::kEraseSerial, V::kSerial, D::kNone, kTwo, Addr::kNone, 1, false},
    {"SB", P::kProgram24CXX, E::kEraseSerial, V::kSerial, D::kNone, kTwo, Addr::kNone, 1, false},
    {"SC", P::kProgram24C32, E::kEraseSerial, V::kSerial, D::kNone, kTwo, Addr::kNone, 2, false},
    {"SE", P::kNone, E::kEraseSerial, V::kParallel, D::kNone, kTwo, Addr::kNone, 1, false},
    {"MJ", P::kNone, E::kNone, V::kParallel, D::kNotReady, kOff, Addr::kNone, 0, true},
};

constexpr FamilyRoutines kUnknown{};

}  // namespace

std::span<const FamilyRoutines> FamilyTable() {
  return kFamilies;
}

const FamilyRoutines& RoutinesOf(std::string_view family) {
  const auto* found = std::find_if(std::begin(kFamilies), std::end(kFamilies),
                                   [&](const FamilyRoutines& f) { return f.family == family; });
  return found == std::end(kFamilies) ? kUnknown : *found;
}

}  // namespace sorvell::catalogue
