#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "diagnosis/diagnosis.h"

namespace sorvell::operation {

inline constexpr std::size_t kProgramBufferSize = 1'048'577;

// What reading, blank-checking, programming and verifying a device keep between and during runs,
// whatever the device class.
struct RunState {
  std::vector<std::uint8_t> ProgramBuffer = std::vector<std::uint8_t>(kProgramBufferSize);
  std::int32_t ProgramLength = 0;
  std::int32_t ProgramIndex = 0;
  std::uint8_t ProgramByte = 0;
  int ProgramStatus = 0;  // 9: no routine for the family; 1: a routine ran
  int ProgramFailed = 0;
  int ProgressStep = 0;
  int ProgressCount = 0;
  std::int32_t DeviceChecksum = 0;
  std::string DeviceChecksumText;
  std::int32_t ErrorAddress = 0;
  int LastBank = 0;
  int LastPage = 0;
  int VerifyFailed = 0;
  // The outcome of the last blank check, for the programming run that asked for it.
  bool BlankCheckFoundData = false;
  int PulseBudget = 0;
  // 0 after the serial device acknowledged, else the samples taken without an acknowledge.
  int AckCount = 0;
  // 1 makes the serial programming routines write FFh (Erase Chip); a board reset clears it.
  int SerialEraseMode = 0;
  // How many times a read or a verify reads the part (the console's --passes; the window's
  // "Read and Verify Twice" asks for 2): bits that change from one pass to the next show a bad
  // contact, a marginal part or a cable too long.
  int ReadPasses = 1;
  // The last whole compare of a part (verify or blank check), its difference and what it was
  // diagnosed as: the report file and the window's marks read them.
  std::string LastCompare;  // "verify", "blank"; empty until a part was compared
  diagnosis::Difference LastDifference;
  std::vector<diagnosis::Finding> LastFindings;
  // Where the part's contents were kept before this event erased or burned it; empty when they
  // were not (backups off, a blank EPROM, an operation that changes nothing).
  std::string LastBackupFile;
};

}  // namespace sorvell::operation
