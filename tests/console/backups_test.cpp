// A backup before every erase or burn, end to end: the simulated part's own cells before, the
// file kept, and the cells after.
#include <gtest/gtest.h>

#include "buffers/checksums.h"
#include "command_rig.h"

namespace sorvell::console {
namespace {

using testing::CommandRig;
using testing::Holds;
using testing::Pattern;

// Old contents with bits the new image clears, so that even an EPROM takes the new image over
// them.
std::vector<std::uint8_t> OldContents(std::size_t size) {
  std::vector<std::uint8_t> bytes = Pattern(size);
  for (std::uint8_t& byte : bytes) byte |= 0x81;
  return bytes;
}

std::vector<std::uint8_t> NewImage(std::size_t size) {
  std::vector<std::uint8_t> bytes = OldContents(size);
  for (std::uint8_t& byte : bytes) byte &= 0x7E;
  return bytes;
}

std::vector<std::filesystem::path> BackupsIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code code;
  if (!std::filesystem::is_directory(folder / "backups", code)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(folder / "backups")) {
    files.push_back(entry.path());
  }
  return files;
}

struct BackupCase {
  const char* what;
  const char* board;
  const char* part;  // as the simulated socket names it, and as the device list does
  std::size_t size;
  const char* command;
  std::vector<std::string> options;
  bool oldContents;  // false: the part is blank
  bool kept;
};

const BackupCase kCases[] = {
    {"an AM29F010 programmed without the blank check",
     "sim:5@378",
     "AM29F010",
     128 * 1024,
     "program",
     {"--no-blank-check"},
     true,
     true},
    {"an AM29F010 erased", "sim:5@378", "AM29F010", 128 * 1024, "erase", {}, true, true},
    {"an X28C256 programmed without the blank check",
     "sim:6@378",
     "X28C256",
     32 * 1024,
     "program",
     {"--no-blank-check"},
     true,
     true},
    {"an X28C256 erased", "sim:6@378", "X28C256", 32 * 1024, "erase", {}, true, true},
    {"a 24C16 programmed (no blank check there)",
     "sim:6@378",
     "24C16",
     2048,
     "program",
     {},
     true,
     true},
    {"a 27C256 programmed without the blank check",
     "sim:6@378",
     "27C256",
     32 * 1024,
     "program",
     {"--no-blank-check"},
     true,
     true},
    {"a 27C256 the blank check found erased",
     "sim:6@378",
     "27C256",
     32 * 1024,
     "program",
     {},
     false,
     false},
    {"an AM29F010 the blank check found erased",
     "sim:5@378",
     "AM29F010",
     128 * 1024,
     "program",
     {},
     false,
     false},
    {"an AM29F010 burned with --no-backup",
     "sim:5@378",
     "AM29F010",
     128 * 1024,
     "program",
     {"--no-blank-check", "--no-backup"},
     true,
     false},
    {"a 24C16 erased with --no-backup",
     "sim:6@378",
     "24C16",
     2048,
     "erase",
     {"--no-backup"},
     true,
     false},
};

class BackupTest : public ::testing::TestWithParam<BackupCase> {};

// Each case twice over the same old contents: the second backup finds the first.
TEST_P(BackupTest, ThePartsOldCellsAreKeptUnderTheirSha256Once) {
  const BackupCase& c = GetParam();
  CommandRig rig(c.board);
  const auto old = c.oldContents ? OldContents(c.size) : std::vector<std::uint8_t>(c.size, 0xFF);
  const auto image = NewImage(c.size);
  const auto oldFile = rig.Write("old.bin", old);
  const auto imageFile = rig.Write("image.bin", image);
  const bool program = std::string(c.command) == "program";
  for (int run = 1; run <= 2; ++run) {
    std::vector<std::string> args = {
        c.command, "-d",    c.part,
        "--yes",   "--sim", std::string("insert ") + c.part + " " + oldFile.string()};
    if (program) args.insert(args.end(), {"-i", imageFile.string()});
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(rig.Run(args), kExitOk) << rig.Out() << rig.Err();
    EXPECT_EQ(rig.Cells(), program ? image : std::vector<std::uint8_t>(c.size, 0xFF));
    const auto backups = BackupsIn(rig.folder);
    if (!c.kept) {
      EXPECT_TRUE(backups.empty());
      EXPECT_FALSE(Holds(rig.Out(), "Part contents kept"));
      continue;
    }
    const auto kept = rig.folder / "backups" / (buffers::ChecksumsOf(old).sha256 + ".bin");
    ASSERT_EQ(backups, std::vector{kept}) << "run " << run;
    EXPECT_EQ(CommandRig::ReadBytes(kept), old);
    EXPECT_TRUE(Holds(rig.Out(), "Part contents kept in " + kept.string() + " before " +
                                     (program ? "programming" : "erasing")))
        << rig.Out();
  }
}

INSTANTIATE_TEST_SUITE_P(Parts, BackupTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return testing::TestNameOf(param.param.what); });

// A backup that cannot be made stops the erase or burn before anything changes in the part.
TEST(BackupRefusedTest, NoBackupNoBurnAndThePartKeepsItsCells) {
  struct Refusal {
    const char* what;
    const char* command;
    std::vector<std::string> options;
    int status;
    const char* reason;
  };
  const Refusal refusals[] = {
      {"backups is a file",
       "program",
       {"--no-blank-check"},
       kExitNotDone,
       "programming did not start and nothing was changed in the part: the backup folder "},
      {"backups is a file",
       "erase",
       {},
       kExitNotDone,
       "erasing did not start and nothing was changed in the part: the backup folder "},
      {"a contact that reads differently",
       "program",
       {"--no-blank-check", "--passes", "2", "--sim", "fault contact 3 40 7"},
       kExitErrorAlert,
       "The part could not be read: nothing was changed in it"},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(std::string(r.what) + " before " + r.command);
    CommandRig rig("sim:5@378");
    const auto old = OldContents(128 * 1024);
    const auto oldFile = rig.Write("old.bin", old);
    const auto imageFile = rig.Write("image.bin", NewImage(128 * 1024));
    if (r.status == kExitNotDone) rig.Write("backups", {'x'});
    std::vector<std::string> args = {r.command, "-d",    "AM29F010",
                                     "--yes",   "--sim", "insert AM29F010 " + oldFile.string()};
    if (std::string(r.command) == "program") args.insert(args.end(), {"-i", imageFile.string()});
    args.insert(args.end(), r.options.begin(), r.options.end());
    EXPECT_EQ(rig.Run(args), r.status) << rig.Out();
    EXPECT_TRUE(Holds(rig.Out(), r.reason)) << rig.Out();
    if (r.status == kExitNotDone) {
      EXPECT_TRUE(Holds(rig.Out(), "is a file, not a folder"));
    }
    EXPECT_FALSE(Holds(rig.Out(), "Erase Operation Started"));
    EXPECT_FALSE(Holds(rig.Out(), "Start programming"));
    EXPECT_EQ(rig.Cells(), old);
  }
}

}  // namespace
}  // namespace sorvell::console
