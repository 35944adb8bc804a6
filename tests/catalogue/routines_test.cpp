// The catalogue checks itself: every part the operator can choose reaches a routine for each
// operation, sits on a bus the program drives, has a simulated part of its size that answers to
// that routine, and asks for a voltage its algorithm has a level for.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "catalogue/device_table.h"
#include "catalogue/routines.h"
#include "sim/eprom_chip.h"
#include "sim/serial_eeprom_chip.h"
#include "sim/writable_parts.h"

namespace sorvell::catalogue {
namespace {

// The simulated part a row's name names ("Eprom 27C256", "Flash AMD AM29F010", "Eeprom 24C16
// Serial (8 pins)"), by the first word of the name that is a part the simulator makes.
std::unique_ptr<sim::SocketChip> SimulatedPart(const std::string& rowName) {
  std::istringstream words(rowName);
  for (std::string word; words >> word;) {
    if (auto eprom = sim::MakeEprom(word)) return eprom;
    if (auto writable = sim::MakeWritableChip(word)) return writable;
    if (auto serial = sim::MakeSerialEeprom(word)) return serial;
  }
  return nullptr;
}

std::size_t SizeOf(const sim::SocketChip& part) {
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

bool FiveVoltOnly(ProgramRoutine routine) {
  return routine == ProgramRoutine::kProgramFlash || routine == ProgramRoutine::kProgramX28C256 ||
         routine == ProgramRoutine::kProgramAT29C256 || routine == ProgramRoutine::kProgram24CXX ||
         routine == ProgramRoutine::kProgram24C32;
}

TEST(RoutinesTest, EverySelectablePartReachesARoutineAndASimulatedPart) {
  for (const DeviceRow& row : KnownDevices()) {
    if (!row.available) continue;
    const std::string family{row.deviceClass, row.variant};
    const FamilyRoutines& routines = RoutinesOf(family);
    SCOPED_TRACE(std::string(row.name) + " (" + family + ")");
    EXPECT_EQ(routines.family, family);
    EXPECT_NE(routines.program, ProgramRoutine::kNone);
    EXPECT_NE(routines.bus, Bus::kNone);
    EXPECT_EQ(routines.verify == VerifyRoutine::kSerial, routines.bus == Bus::kTwoWire);
    EXPECT_EQ(routines.address != AddressPath::kNone, routines.bus == Bus::kParallel);
    EXPECT_EQ(routines.wordAddressBytes != 0, routines.bus == Bus::kTwoWire);
    // Erase Chip is offered for the electrically erasable classes: it must reach an erase.
    EXPECT_EQ(routines.erase != EraseRoutine::kNone, row.deviceClass != 'P');
    EXPECT_EQ(FiveVoltOnly(routines.program), row.vppCode == 0);
    const auto part = SimulatedPart(row.name);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(SizeOf(*part), static_cast<std::size_t>(row.sizeKB) * 1024);
    EXPECT_EQ(dynamic_cast<const sim::SerialEepromChip*>(part.get()) != nullptr,
              routines.bus == Bus::kTwoWire);
  }
}

TEST(RoutinesTest, TheTableHoldsEachFamilyOfTheDeviceListOnce) {
  std::set<std::string> listed;
  for (const DeviceRow& row : KnownDevices()) listed.insert({row.deviceClass, row.variant});
  std::set<std::string> named;
  for (const FamilyRoutines& f : FamilyTable()) {
    EXPECT_TRUE(named.insert(std::string(f.family)).second) << f.family;
  }
  EXPECT_EQ(named, listed);
  EXPECT_EQ(RoutinesOf("").program, ProgramRoutine::kNone);
  EXPECT_EQ(RoutinesOf("ZZ").bus, Bus::kNone);
}

}  // namespace
}  // namespace sorvell::catalogue
