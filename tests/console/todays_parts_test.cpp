// The parts added after the first edition, end to end through sorvell-cli on each board model:
// programmed, verified, read back and erased, judged by the simulated part's own cells.
#include <gtest/gtest.h>

#include <filesystem>

#include "command_rig.h"

namespace sorvell::console {
namespace {

using testing::CommandRig;
using testing::Holds;
using testing::Pattern;

struct TodaysPart {
  const char* name;
  std::size_t bytes;
  const char* idLine;  // what Show Flash Code ID# logs, for the Flash parts
};

const TodaysPart kParts[] = {
    {"SST39SF010A", 128 * 1024, "Device ID# BFB5 - SST SST39SF010A Flash Memory"},
    {"SST39SF020A", 256 * 1024, "Device ID# BFB6 - SST SST39SF020A Flash Memory"},
    {"SST39SF040", 512 * 1024, "Device ID# BFB7 - SST SST39SF040 Flash Memory"},
    {"MX29F040", 512 * 1024, "Device ID# C2A4 - Macronix MX29F040 Flash Memory"},
    {"AT28C256", 32 * 1024, nullptr},
    {"24C01", 128, nullptr},
    {"24C02", 256, nullptr},
    {"24C04", 512, nullptr},
    {"24C64", 8 * 1024, nullptr},
    {"24C128", 16 * 1024, nullptr},
    {"24C256", 32 * 1024, nullptr},
    {"24C512", 64 * 1024, nullptr},
};

struct OnModel {
  TodaysPart part;
  int model;
};

std::vector<OnModel> EveryPartOnEveryModel() {
  std::vector<OnModel> cases;
  for (const TodaysPart& part : kParts) {
    for (int model = 4; model <= 6; ++model) cases.push_back({part, model});
  }
  return cases;
}

class TodaysPartTest : public ::testing::TestWithParam<OnModel> {};

TEST_P(TodaysPartTest, ProgramsVerifiesReadsAndErases) {
  const auto& [part, model] = GetParam();
  CommandRig rig("sim:" + std::to_string(model) + "@378");
  const std::vector<std::uint8_t> image = Pattern(part.bytes);
  const std::string file = rig.Write("image.bin", image).string();
  const std::string out = rig.Path("out.bin").string();
  ASSERT_EQ(rig.Run({"--sim", std::string("insert ") + part.name, "program", "-d", part.name, "-i",
                     file, "--yes"}),
            kExitOk)
      << rig.Out() << rig.Err();
  EXPECT_EQ(rig.Cells(), image);
  EXPECT_EQ(rig.Run({"verify", "-d", part.name, "-i", file}), kExitOk) << rig.Out();
  EXPECT_EQ(rig.Run({"read", "-d", part.name, "-o", out}), kExitOk) << rig.Out();
  EXPECT_EQ(CommandRig::ReadBytes(out), image);
  if (part.idLine != nullptr) {
    EXPECT_EQ(rig.Run({"id", "-d", part.name}), kExitOk) << rig.Out();
    EXPECT_TRUE(Holds(rig.Out(), part.idLine)) << rig.Out();
  }
  ASSERT_EQ(rig.Run({"erase", "-d", part.name, "--yes"}), kExitOk) << rig.Out() << rig.Err();
  EXPECT_EQ(rig.Cells(), std::vector<std::uint8_t>(part.bytes, 0xFF));
}

INSTANTIATE_TEST_SUITE_P(Parts, TodaysPartTest, ::testing::ValuesIn(EveryPartOnEveryModel()),
                         [](const ::testing::TestParamInfo<OnModel>& param) {
                           return std::string(param.param.part.name) + "_Model" +
                                  std::to_string(param.param.model);
                         });

// The 2716 reads with its VPP pin (socket A11) held at VCC; the board cannot program it, so
// Program is never offered and nothing reaches the part.
TEST(ReadOnly2716Test, ReadsAndVerifiesButIsNeverProgrammed) {
  for (int model = 4; model <= 6; ++model) {
    SCOPED_TRACE(model);
    CommandRig rig("sim:" + std::to_string(model) + "@378");
    const std::vector<std::uint8_t> image = Pattern(2048);
    const std::string file = rig.Write("image.bin", image).string();
    const std::string out = rig.Path("out.bin").string();
    ASSERT_EQ(rig.Run({"--sim", "insert 2716 " + file, "read", "-d", "2716", "-o", out}), kExitOk)
        << rig.Out() << rig.Err();
    EXPECT_EQ(CommandRig::ReadBytes(out), image);
    EXPECT_EQ(rig.Run({"verify", "-d", "2716", "-i", file}), kExitOk) << rig.Out();
    EXPECT_NE(rig.Run({"program", "-d", "2716", "-i", file, "--yes"}), kExitOk);
    EXPECT_FALSE(Holds(rig.Out(), "Programming Button Pressed")) << rig.Out();
    EXPECT_EQ(rig.Cells(), image);
  }
}

// The operator's own parts come from devices.toml in the configuration folder: another maker's
// Flash is programmed on the AMD command set, and a file with a fault adds nothing at all.
TEST(OwnPartsTest, AnOwnFlashIsProgrammedAndARefusedFileAddsNothing) {
  CommandRig rig;
  std::filesystem::copy_file(
      std::filesystem::path(SORVELL_SOURCE_DIR) / "docs/examples/devices.toml",
      rig.Path("devices.toml"));
  const std::vector<std::uint8_t> image = Pattern(512 * 1024);
  const std::string file = rig.Write("image.bin", image).string();
  EXPECT_EQ(rig.Run({"--sim", "insert AM29F040", "--sim", "fault id 52 A4", "program", "-d",
                     "AS29F040", "-i", file, "--yes"}),
            kExitOk)
      << rig.Out() << rig.Err();
  EXPECT_TRUE(Holds(rig.Out(), "2 own device(s) added to the list from")) << rig.Out();
  EXPECT_TRUE(Holds(rig.Out(), "Device ID# 52A4 - Alliance AS29F040 Flash Memory")) << rig.Out();
  EXPECT_EQ(rig.Cells(), image);

  rig.Write("devices.toml", std::vector<std::uint8_t>{'[', '[', 'd', ']', '\n'});
  EXPECT_EQ(rig.Run({"verify", "-d", "AS29F040", "-i", file}), kExitBadInput);
  EXPECT_TRUE(
      Holds(rig.Out() + rig.Err(), "Device file NOT USED, the built-in device list stands: "))
      << rig.Out() << rig.Err();
  EXPECT_EQ(rig.Run({"verify", "-d", "AM29F040", "-i", file}), kExitOk) << rig.Out();
}

}  // namespace
}  // namespace sorvell::console
