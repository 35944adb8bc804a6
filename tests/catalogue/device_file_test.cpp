// The operator's device file: a file with any fault adds nothing and names its line and reason;
// the shipped examples are taken and pass the catalogue's own self-check.
#include "catalogue/device_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "routines_self_check.h"

namespace sorvell::catalogue {
namespace {

std::string Device(const std::string& body) {
  return "[[device]]\n" + body;
}

struct BadFile {
  const char* what;
  std::string text;
  int line;
  const char* reason;
};

const BadFile kBadFiles[] = {
    {"not TOML", "[[device]\nname = 1\n", 1, ""},
    {"not plain text", Device("name = \"A\"\n# 100 \xC2\xB5s\n"), 3, "not plain ASCII"},
    {"something else than devices", "[settings]\ntitle = \"mine\"\n", 1, "only [[device]] tables"},
    {"a misspelt key", Device("name = \"A\"\nlike = \"27C256\"\nsise = 1\n"), 4,
     "unknown key \"sise\""},
    {"no name", Device("like = \"27C256\"\n"), 1, "needs a name"},
    {"a name too long", Device("name = \"" + std::string(31, 'x') + "\"\nlike = \"27C256\"\n"), 2,
     "1 to 30 characters"},
    {"a name the list has", Device("name = \"eprom 27c256\"\nlike = \"27C256\"\n"), 2,
     "in the list already"},
    {"a name twice",
     Device("name = \"A\"\nlike = \"27C256\"\n") + Device("name = \"a\"\nlike = \"27C64\"\n"), 5,
     "in the list already"},
    {"neither like nor algorithm", Device("name = \"A\"\nsize = 4096\n"), 1, "either like"},
    {"both like and algorithm", Device("name = \"A\"\nlike = \"27C64\"\nalgorithm = \"P27080\"\n"),
     1, "either like"},
    {"a part no row names", Device("name = \"A\"\nlike = \"27C999\"\n"), 3,
     "no built-in part that can be chosen"},
    {"a part several rows name", Device("name = \"A\"\nlike = \"Eprom\"\n"), 3, "several"},
    {"an unknown algorithm", Device("name = \"A\"\nalgorithm = \"Burn\"\nsize = 8\n"), 3,
     "unknown algorithm \"Burn\""},
    {"an algorithm no part reaches", Device("name = \"A\"\nalgorithm = \"P2732\"\nsize = 8192\n"),
     4, "no part on P2732 reaches 8192 bytes"},
    {"a size past the address lines", Device("name = \"A\"\nlike = \"27C256\"\nsize = 65536\n"), 4,
     "not within 1 to 32768 bytes"},
    {"a page-write part of another size",
     Device("name = \"A\"\nalgorithm = \"ProgramX28C256\"\nsize = 8192\n"), 4, "must be 32768"},
    {"a size of nothing", Device("name = \"A\"\nlike = \"27C256\"\nsize = 0\n"), 4,
     "not within 1 to"},
    {"a voltage the board has no level for", Device("name = \"A\"\nlike = \"27C256\"\nvpp = 13\n"),
     4, "12.5, 21 or 25"},
    {"a programming voltage for a 5 V part",
     Device("name = \"A\"\nlike = \"AM29F010\"\nvpp = 12.5\n"), 4, "must be 5"},
    {"codes for an EPROM", Device("name = \"A\"\nlike = \"27C256\"\nid = [1, 2]\n"), 4,
     "Flash parts"},
    {"a code past a byte", Device("name = \"A\"\nlike = \"AM29F040\"\nid = [0x1BF, 2]\n"), 4,
     "two bytes"},
    {"a page on a parallel part", Device("name = \"A\"\nlike = \"27C256\"\npage = 64\n"), 4,
     "serial EEPROMs only"},
    {"a page that is no power of two", Device("name = \"A\"\nlike = \"24C64\"\npage = 48\n"), 4,
     "power of two"},
    {"a size that is not whole pages", Device("name = \"A\"\nlike = \"24C64\"\nsize = 1000\n"), 1,
     "not whole pages"},
};

TEST(DeviceFileTest, AnyFaultRefusesTheWholeFileWithItsLineAndReason) {
  for (const BadFile& bad : kBadFiles) {
    SCOPED_TRACE(bad.what);
    // A good part first: it must not be added either.
    const std::string text = Device("name = \"Good\"\nlike = \"27C64\"\n") + bad.text;
    const DeviceFile file = ParseDeviceFile(text, "devices.toml");
    EXPECT_TRUE(file.rows.empty());
    const std::string where = "devices.toml line " + std::to_string(bad.line + 3) + ": ";
    EXPECT_TRUE(file.error.starts_with(where)) << file.error;
    EXPECT_NE(file.error.find(bad.reason), std::string::npos) << file.error;
  }
}

TEST(DeviceFileTest, RowsFollowTheirModelWithWhatDiffers) {
  const DeviceFile file = ParseDeviceFile(
      Device("name = \"Eprom Small\"\nlike = \"27C256\"\nsize = 16384\nvpp = 21\n") +
          Device("name = \"Flash Mine\"\nalgorithm = \"ProgramFlash\"\nsize = 200000\n"
                 "id = [0x52, 0xA4]\n") +
          Device("name = \"Eeprom Mine\"\nlike = \"24C512\"\npage = 64\n"),
      "devices.toml");
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.rows.size(), 3u);
  const DeviceRow& eprom = file.rows[0];
  EXPECT_EQ(eprom.Family(), "P4");
  EXPECT_EQ(eprom.sizeBytes, 16384);
  EXPECT_EQ(eprom.vppCode, 2);
  EXPECT_EQ(eprom.reg1FixedBits, 128);  // the 27C256's wiring
  EXPECT_EQ(eprom.origin, RowOrigin::kOperator);
  // The smallest Flash on the routine that holds 200000 bytes is the AM29F020.
  EXPECT_EQ(file.rows[1].Family(), "FR");
  EXPECT_EQ(file.rows[1].id, (PartCode{0x52, 0xA4}));
  EXPECT_EQ(file.rows[2].pageBytes, 64);
  EXPECT_EQ(file.rows[2].sizeBytes, 65536);
}

TEST(DeviceFileTest, TheShippedExamplesAreTakenAndPassTheSelfCheck) {
  const std::filesystem::path examples =
      std::filesystem::path(SORVELL_SOURCE_DIR) / "docs/examples/devices.toml";
  const DeviceFile file = ReadDeviceFile(examples);
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.rows.size(), 2u);
  for (const DeviceRow& row : file.rows) testing::CheckSelectableRow(row);
}

TEST(DeviceFileTest, OnlyARegularFileIsRead) {
  EXPECT_EQ(ReadDeviceFile("/nonexistent/devices.toml").error, "");  // none: no own parts
  const DeviceFile folder = ReadDeviceFile(std::filesystem::temp_directory_path());
  EXPECT_NE(folder.error.find("not a regular file"), std::string::npos) << folder.error;
}

}  // namespace
}  // namespace sorvell::catalogue
