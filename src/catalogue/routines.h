#pragma once

#include <span>
#include <string_view>

namespace sorvell::catalogue {

// The routine each button reaches for a family, named. The device rooms sit above the catalogue,
// so the routines are named here and bound to their procedures once, in the dispatch: choosing
// one is a lookup by the selected part's family, not a chain of family comparisons.
enum class ProgramRoutine {
  kNone,  // nothing programs the part: the run ends "Device Not Supported - Status 9"
  kP2732,
  kP2764_128,
  kP27256_040,
  kP27080,
  kP27010_020,
  kProgramX28C256,
  kProgramAT29C256,
  kProgramFlash,
  kProgram24CXX,
  kProgram24C32,
};

enum class EraseRoutine {
  kNone,          // "Erase Chip is not available for ..."
  kEraseFlash,    // the chip-erase command, after its own question
  kEraseX28C256,  // every page written with FFh
  kEraseSerial,   // the part written with FFh by its programming routine
};

enum class VerifyRoutine { kParallel, kSerial };

// Where the part hangs: on the board's parallel bus (address, data, chip and output enable), on
// the two-wire adapter, or on nothing the program drives.
enum class Bus { kNone, kParallel, kTwoWire };

// How a read sets a parallel part's address: the plain path, the Flash path (A18 on register 3
// bit 3), or the page-write EEPROM's (A14 on register 1 bit 7, its write enable left inactive).
enum class AddressPath { kNone, kEprom, kFlash, kXicor };

enum class DisplayRoutine {
  kNone,      // not shown: not supported
  kParallel,  // the live view of the device, page by page
  kNotReady,  // the microcontroller's, never written
};

struct FamilyRoutines {
  std::string_view family;
  ProgramRoutine program = ProgramRoutine::kNone;
  EraseRoutine erase = EraseRoutine::kNone;
  VerifyRoutine verify = VerifyRoutine::kParallel;
  DisplayRoutine display = DisplayRoutine::kNone;
  Bus bus = Bus::kNone;
  AddressPath address = AddressPath::kNone;
  // The word address a two-wire part takes after its device address: one byte (the block bits
  // ride in the device address) or two.
  int wordAddressBytes = 0;
  // A microcontroller's data area beside its code: the data buffer, its file and its display.
  bool dataArea = false;
};

// Every family of the device table, in one table.
std::span<const FamilyRoutines> FamilyTable();
// The routines of a family; a family the table does not know reaches none.
const FamilyRoutines& RoutinesOf(std::string_view family);

}  // namespace sorvell::catalogue
