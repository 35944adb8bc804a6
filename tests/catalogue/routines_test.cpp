// The catalogue checks itself: every part the operator can choose reaches a routine for each
// operation, sits on a bus the program drives, has a simulated part of its size that answers to
// that routine, and asks for a voltage its algorithm has a level for.
#include <gtest/gtest.h>

#include <set>

#include "catalogue/device_table.h"
#include "catalogue/routines.h"
#include "routines_self_check.h"

namespace sorvell::catalogue {
namespace {

TEST(RoutinesTest, EverySelectablePartReachesARoutineAndASimulatedPart) {
  int selectable = 0;
  for (const DeviceRow& row : KnownDevices()) {
    if (!row.available) continue;
    testing::CheckSelectableRow(row);
    ++selectable;
  }
  EXPECT_EQ(selectable, 40);
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
