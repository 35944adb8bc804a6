#include <gtest/gtest.h>

#include <cstdio>

#include "buffers/checksums.h"
#include "console/command_rig.h"

namespace sorvell::console::testing {
namespace {

const std::filesystem::path kRom32k =
    std::filesystem::path(SORVELL_SOURCE_DIR) / "tests/scripts/rom32k.bin";
// A real PC BIOS as Debian's seabios package ships it (scripts/setup.sh installs it).
const std::filesystem::path kBios = "/usr/share/seabios/bios.bin";

std::string Sha1Of(const std::filesystem::path& file) {
  return buffers::ChecksumsOf(CommandRig::ReadBytes(file)).sha1;
}

// What another tool prints for the file: its first word.
std::string ToolSays(const std::string& command, const std::filesystem::path& file) {
  std::string said;
  if (FILE* pipe = ::popen((command + " '" + file.string() + "'").c_str(), "r")) {
    char line[256];
    if (std::fgets(line, sizeof line, pipe) != nullptr) said = line;
    ::pclose(pipe);
  }
  return said.substr(0, said.find_first_of(" \n"));
}

// Each command on a 32 KB image, its result against the SHA-1 (from sha1sum) of the same
// arrangement made by Python's slicing.
TEST(ImageCommandsTest, EachArrangementGivesWhatAnotherToolMakes) {
  const struct {
    std::vector<std::string> args;
    const char* output;
    const char* sha1;
  } kCases[] = {
      {{"swap", kRom32k, "-o", "out.bin"}, "out.bin", "944f16d70fdce6ac0fe65b2913bcbbba5ad5c81e"},
      {{"split", kRom32k, "even.bin", "odd.bin"},
       "even.bin",
       "07e1428085e2905f10a1b758a2c13d598ad5bd28"},
      {{"split", kRom32k, "even.bin", "odd.bin"},
       "odd.bin",
       "287e38fd8089a3c31e5d5195a088ce73932c7df0"},
      {{"fill", kRom32k, "100-1FF", "EA", "-o", "out.bin"},
       "out.bin",
       "08ca49b92779ec656ec1f8489f32915fab39ce58"},
      {{"cut", kRom32k, "7000-7FFF", "-o", "out.bin"},
       "out.bin",
       "da5d426739a4787d6d4b5ea47d2ba7ff54af8dcd"},
      {{"pad", kRom32k, "-d", "27C512", "-o", "out.bin"},
       "out.bin",
       "1e96b84498c7a8ddf5145540a75002c33eb02f07"},
      {{"repeat", kRom32k, "-d", "27C512", "-o", "out.bin"},
       "out.bin",
       "4804083a596792449a34c86703815e26ec0d5c49"},
  };
  for (const auto& c : kCases) {
    CommandRig rig;
    std::vector<std::string> args = c.args;
    for (std::string& arg : args) {
      if (arg.ends_with(".bin") && arg != kRom32k.string()) arg = rig.Path(arg).string();
    }
    ASSERT_EQ(rig.Run(args), kExitOk) << c.args[0] << "\n" << rig.Err();
    EXPECT_EQ(Sha1Of(rig.Path(c.output)), c.sha1) << c.args[0];
  }
}

// Refusals change nothing and say why; a compare's status says whether the images differ.
TEST(ImageCommandsTest, RefusalsAndCompareStatus) {
  CommandRig rig;
  const auto small = rig.Write("small.bin", Pattern(3));
  const auto other = rig.Write("other.bin", Pattern(4));
  const auto differs = rig.Write("differs.bin", {0xFF, 0x07, 0x0E});
  const struct {
    std::vector<std::string> args;
    int status;
    const char* said;
  } kCases[] = {
      {{"interleave", small, other, "-o", rig.Path("x.bin")}, kExitNotDone, "the same size"},
      {{"repeat", small, "-d", "27C256", "-o", rig.Path("x.bin")},
       kExitNotDone,
       "not a whole number of copies"},
      {{"fill", small, "0-2", "100", "-o", rig.Path("x.bin")}, kExitNotDone, "and a byte"},
      {{"place", small, other, "FFFFD", "-o", rig.Path("x.bin")}, kExitNotDone, "do not fit"},
      {{"cut", small, "0-3", "-o", rig.Path("x.bin")}, kExitNotDone, "not a range inside"},
      {{"compare", small, small}, kExitOk, "the same over 3 bytes"},
      {{"compare", other, differs}, kExitErrorAlert, "1 of 3 bytes differ, the first at 000000h"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(rig.Run(c.args), c.status) << c.args[0];
    EXPECT_TRUE(Holds(rig.Out() + rig.Err(), c.said)) << rig.Out() << rig.Err();
  }
  EXPECT_FALSE(std::filesystem::exists(rig.Path("x.bin")));
}

// A real ROM: its checksums as coreutils and Python give them, and the round trips of the halves
// and the swap give it back byte for byte.
TEST(ImageCommandsTest, ARealRomKeepsItsChecksumsThroughRoundTrips) {
  if (!std::filesystem::exists(kBios)) GTEST_SKIP() << kBios << " is not installed";
  CommandRig rig;
  const buffers::Checksums sums = buffers::ChecksumsOf(CommandRig::ReadBytes(kBios));
  EXPECT_EQ(sums.md5, ToolSays("md5sum", kBios));
  EXPECT_EQ(sums.sha1, ToolSays("sha1sum", kBios));
  EXPECT_EQ(sums.sha256, ToolSays("sha256sum", kBios));
  char ours[16];
  std::snprintf(ours, sizeof ours, "%08X", sums.crc32);
  const std::string crc = ToolSays(
      "python3 -c 'import binascii,sys; print(\"%08X\" % "
      "binascii.crc32(open(sys.argv[1],\"rb\").read()))'",
      kBios);
  EXPECT_EQ(ours, crc);

  ASSERT_EQ(rig.Run({"split", kBios, rig.Path("even.bin"), rig.Path("odd.bin")}), kExitOk);
  ASSERT_EQ(rig.Run({"interleave", rig.Path("even.bin"), rig.Path("odd.bin"), "-o",
                     rig.Path("whole.bin")}),
            kExitOk);
  ASSERT_EQ(rig.Run({"swap", rig.Path("whole.bin"), "-o", rig.Path("swapped.bin")}), kExitOk);
  ASSERT_EQ(rig.Run({"swap", rig.Path("swapped.bin"), "-o", rig.Path("back.bin")}), kExitOk);
  EXPECT_NE(Sha1Of(rig.Path("swapped.bin")), ToolSays("sha1sum", kBios));
  EXPECT_EQ(CommandRig::ReadBytes(rig.Path("back.bin")), CommandRig::ReadBytes(kBios));
  EXPECT_EQ(rig.Run({"compare", kBios, rig.Path("whole.bin")}), kExitOk);
}

}  // namespace
}  // namespace sorvell::console::testing
