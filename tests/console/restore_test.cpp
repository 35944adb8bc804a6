#include <gtest/gtest.h>

#include "console/command_rig.h"

namespace sorvell::console::testing {
namespace {

// The old contents of a Flash and of a serial EEPROM, kept by the erase or burn that replaced
// them, come back into the part's own cells through restore; the record names the backup.
TEST(RestoreTest, ABackupBurnedBackGivesThePartItsOldCells) {
  const struct {
    const char* part;
    std::size_t bytes;
    std::vector<std::string> burn;  // what replaces the old contents
  } kCases[] = {
      {"AM29F010", 131072, {"erase", "-d", "AM29F010", "--yes"}},
      {"24C16", 2048, {"program", "-d", "24C16", "-i", "new.bin", "--yes"}},
  };
  for (const auto& c : kCases) {
    CommandRig rig;
    std::vector<std::uint8_t> old = Pattern(c.bytes);
    const auto oldFile = rig.Write("old.bin", old);
    rig.Write("new.bin", std::vector<std::uint8_t>(c.bytes, 0x3C));
    std::string error;
    ASSERT_TRUE(shell::RunSimCommand(*rig.backend.simulator->BoardAt(board::kLpt378),
                                     "insert " + std::string(c.part) + " " + oldFile.string(),
                                     error));
    std::vector<std::string> burn = c.burn;
    for (std::string& arg : burn) {
      if (arg == "new.bin") arg = rig.Path(arg).string();
    }
    ASSERT_EQ(rig.Run(burn), kExitOk) << rig.Err();
    ASSERT_NE(rig.Cells(), old);
    ASSERT_EQ(rig.Run({"history", "--json"}), kExitOk);
    EXPECT_TRUE(Holds(rig.Out(), "backups/")) << rig.Out();

    ASSERT_EQ(rig.Run({"restore", "1", "--yes"}), kExitOk) << rig.Out() << rig.Err();
    EXPECT_EQ(rig.Cells(), old) << c.part;
  }
}

}  // namespace
}  // namespace sorvell::console::testing
