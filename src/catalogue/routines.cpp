#include "catalogue/routines.h"

#include <algorithm>
#include <iterator>

namespace sorvell::catalogue {

namespace {

using P = ProgramRoutine;
using E = EraseRoutine;
using V = VerifyRoutine;
using D = DisplayRoutine;
constexpr Bus kPar = Bus::kParallel;
constexpr Bus kTwo = Bus::kTwoWire;
constexpr Bus kOff = Bus::kNone;

// UV-EPROMs by pinout and pulse: 24-pin (1), the PGM-pin 28-pin parts (2, 3), the chip-enable
// pulsed 28- and 32-pin parts (4, 8), OE/VPP parts (5, 9), the PGM-pin 32-pin parts (6, 7).
constexpr FamilyRoutines kFamilies[] = {
    {"P1", P::kP2732, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P2", P::kP2764_128, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P3", P::kP2764_128, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P4", P::kP27256_040, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P5", P::kP27080, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P6", P::kP27010_020, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P7", P::kP27010_020, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P8", P::kP27256_040, E::kNone, V::kParallel, D::kParallel, kPar},
    {"P9", P::kP27080, E::kNone, V::kParallel, D::kParallel, kPar},
    {"PM", P::kNone, E::kNone, V::kParallel, D::kParallel, kPar},
    // Page-write parts: the X28C256, and its Atmel cousin.
    {"EN", P::kProgramX28C256, E::kEraseX28C256, V::kParallel, D::kParallel, kPar},
    {"EO", P::kNone, E::kNone, V::kParallel, D::kNone, kOff},
    {"EP", P::kNone, E::kNone, V::kParallel, D::kNone, kOff},
    {"FA", P::kProgramAT29C256, E::kNone, V::kParallel, D::kParallel, kPar},
    // 5 V Flash on the AMD command set.
    {"FL", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar},
    {"FM", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar},
    {"FR", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar},
    {"FS", P::kProgramFlash, E::kEraseFlash, V::kParallel, D::kParallel, kPar},
    {"FN", P::kNone, E::kNone, V::kParallel, D::kNone, kPar},
    {"FO", P::kNone, E::kNone, V::kParallel, D::kNone, kPar},
    {"FP", P::kNone, E::kNone, V::kParallel, D::kNone, kPar},
    {"FQ", P::kNone, E::kNone, V::kParallel, D::kNone, kPar},
    // Serial EEPROMs: one address byte with block bits, or two address bytes (24C32).
    {"SA", P::kProgram24CXX, E::kEraseSerial, V::kSerial, D::kNone, kTwo},
    {"SB", P::kProgram24CXX, E::kEraseSerial, V::kSerial, D::kNone, kTwo},
    {"SC", P::kProgram24C32, E::kEraseSerial, V::kSerial, D::kNone, kTwo},
    {"SE", P::kNone, E::kEraseSerial, V::kParallel, D::kNone, kTwo},
    {"MJ", P::kNone, E::kNone, V::kParallel, D::kNotReady, kOff},
};

constexpr FamilyRoutines kUnknown{};

}  // namespace

const FamilyRoutines* FamilyTable(std::size_t& count) {
  count = std::size(kFamilies);
  return kFamilies;
}

const FamilyRoutines& RoutinesOf(std::string_view family) {
  const auto* found = std::find_if(std::begin(kFamilies), std::end(kFamilies),
                                   [&](const FamilyRoutines& f) { return f.family == family; });
  return found == std::end(kFamilies) ? kUnknown : *found;
}

}  // namespace sorvell::catalogue
