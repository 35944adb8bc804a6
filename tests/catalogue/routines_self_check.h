// The catalogue's self-check of one row the operator can choose: it reaches a routine for each
// operation, sits on a bus the program drives, has a simulated part of its size that answers to
// that routine, and asks for a voltage its algorithm has a level for.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "catalogue/device_table.h"
#include "catalogue/routines.h"
#include "sim/eprom_chip.h"
#include "sim/page_write_chip.h"
#include "sim/serial_eeprom_chip.h"
#include "sim/writable_parts.h"

namespace sorvell::catalogue::testing {

// The simulated part a row's name names ("Eprom 27C256", "Flash AMD AM29F010", "Eeprom 24C16
// Serial (8 pins)"), by the first word of the name that is a part the simulator makes.
inline std::unique_ptr<sim::SocketChip> SimulatedPart(const std::string& rowName) {
  std::istringstream words(rowName);
  for (std::string word; words >> word;) {
    if (auto eprom = sim::MakeEprom(word)) return eprom;
    if (auto writable = sim::MakeWritableChip(word)) return writable;
    if (auto serial = sim::MakeSerialEeprom(word)) return serial;
  }
  return nullptr;
}

inline std::size_t SizeOf(const sim::SocketChip& part) {
  if (const auto* eprom = dynamic_cast<const sim::EpromChip*>(&part)) {
    return eprom->Contents().size();
  }
  if (const auto* writable = dynamic_cast<const sim::WritableChip*>(&part)) {
    return writable->Contents().size();
  }
  if (const auto* serial = dynamic_cast<const sim::SerialEepromChip*>(&part)) {
    return serial->Contents().size();
  }
  return 0;
}

inline bool FiveVoltOnly(ProgramRoutine routine) {
  return routine == ProgramRoutine::kProgramFlash || routine == ProgramRoutine::kProgramX28C256 ||
         routine == ProgramRoutine::kProgramAT29C256 || routine == ProgramRoutine::kProgram24CXX ||
         routine == ProgramRoutine::kProgram24C32;
}

inline std::size_t PageOf(const sim::SocketChip& part) {
  if (const auto* serial = dynamic_cast<const sim::SerialEepromChip*>(&part)) {
    return serial->PageBytes();
  }
  if (dynamic_cast<const sim::PageWriteChip*>(&part) != nullptr) {
    return sim::PageWriteChip::kPageBytes;
  }
  return 0;
}

// What the catalogue promises of a row the operator can choose, checked against the routines and
// a simulated part of the same name.
inline void CheckSelectableRow(const DeviceRow& row) {
  const std::string family = row.Family();
  const FamilyRoutines& routines = row.Routines();
  SCOPED_TRACE(row.name + " (" + family + ")");
  EXPECT_EQ(routines.family, family);
  EXPECT_NE(routines.program, ProgramRoutine::kNone);
  EXPECT_NE(routines.bus, Bus::kNone);
  EXPECT_EQ(routines.verify == VerifyRoutine::kSerial, routines.bus == Bus::kTwoWire);
  EXPECT_EQ(routines.address != AddressPath::kNone, routines.bus == Bus::kParallel);
  EXPECT_EQ(routines.wordAddressBytes != 0, routines.bus == Bus::kTwoWire);
  // Erase Chip is offered for the electrically erasable classes: it must reach an erase.
  EXPECT_EQ(routines.erase != EraseRoutine::kNone, row.deviceClass != 'P');
  // 5 V only for the parts written at 5 V; an EPROM's levels are those its pulse routine knows.
  if (!row.readOnly) {
    EXPECT_EQ(FiveVoltOnly(routines.program), row.vppCode == 0);
  }
  EXPECT_TRUE(row.vppCode >= 0 && row.vppCode <= 3);
  // Within the address lines: the board's 20, or the word address the two-wire part takes
  // (one byte and three block bits, or two bytes).
  const std::int32_t reach = routines.bus == Bus::kTwoWire
                                 ? (routines.wordAddressBytes == 1 ? 2048 : 65536)
                                 : std::int32_t{1} << 20;
  EXPECT_GT(row.sizeBytes, 0);
  EXPECT_LE(row.sizeBytes, reach);
  const auto part = SimulatedPart(row.like.empty() ? row.name : row.like);
  ASSERT_NE(part, nullptr);
  // An operator's part may be smaller than its model, or have another page or other codes.
  const bool own = row.origin == RowOrigin::kOperator;
  if (own) {
    EXPECT_LE(static_cast<std::size_t>(row.sizeBytes), SizeOf(*part));
    return;
  }
  EXPECT_EQ(SizeOf(*part), static_cast<std::size_t>(row.sizeBytes));
  EXPECT_EQ(PageOf(*part), static_cast<std::size_t>(row.pageBytes));
  EXPECT_EQ(dynamic_cast<const sim::SerialEepromChip*>(part.get()) != nullptr,
            routines.bus == Bus::kTwoWire);
  if (row.id) {
    const auto* flash = dynamic_cast<const sim::WritableChip*>(part.get());
    ASSERT_NE(flash, nullptr);
    ASSERT_TRUE(flash->Id().has_value());
    EXPECT_EQ(flash->Id()->maker, row.id->maker);
    EXPECT_EQ(flash->Id()->device, row.id->device);
  }
}

}  // namespace sorvell::catalogue::testing
