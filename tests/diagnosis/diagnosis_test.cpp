// Each diagnosis from the fault the simulated socket or part makes, through sorvell-cli: the
// whole difference is logged after the first-difference lines, and the cause is named with how
// sure it is.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>

#include "../console/command_rig.h"

namespace sorvell::console {
namespace {

using testing::CommandRig;
using testing::Holds;
using testing::Pattern;

struct FaultCase {
  const char* what;
  std::vector<std::string> sims;  // "IMAGE" stands for the image file, "CELLS" for the cells file
  std::vector<std::string> args;  // "IMAGE" as above
  const char* said;
};

std::vector<std::uint8_t> Image() {
  return Pattern(32768);
}

// What a part programmed over old contents without an erase holds: programming only clears bits.
std::vector<std::uint8_t> BurnedOverOldData() {
  std::vector<std::uint8_t> cells = Image();
  for (std::size_t a = 0; a < cells.size(); a += 3) cells[a] &= static_cast<std::uint8_t>(a >> 4);
  return cells;
}

// The image burned 16 bytes too low, as a file loaded at the wrong offset leaves it.
std::vector<std::uint8_t> ShiftedImage() {
  const std::vector<std::uint8_t> image = Image();
  std::vector<std::uint8_t> cells(image.size(), 0xFF);
  std::copy(image.begin() + 16, image.end(), cells.begin());
  return cells;
}

const FaultCase kCases[] = {
    {"an empty socket",
     {"remove"},
     {"verify", "-d", "27C256", "-i", "IMAGE"},
     "Certain: every byte reads FFh: an empty socket"},
    {"a data line open",
     {"insert 27C256 IMAGE", "fault data-line 5 open"},
     {"verify", "-d", "27C256", "-i", "IMAGE"},
     "Certain: data line D5 is stuck at 1 or open (floating high)"},
    {"an address line open",
     {"insert 27C256 IMAGE", "fault address-line 4 open"},
     {"verify", "-d", "27C256", "-i", "IMAGE"},
     "the part's content repeats every 16 bytes: address line A4 is open or held high"},
    {"two address lines shorted",
     {"insert 27C256 IMAGE", "fault address-line 9 short"},
     {"verify", "-d", "27C256", "-i", "IMAGE"},
     "Certain: address lines A9 and A10 are shorted together"},
    {"a smaller part than selected",
     {"insert 27C256 IMAGE"},
     {"verify", "-d", "27C512", "-i", "IMAGE64"},
     "or the part in the socket holds only 32768 bytes, less than the one selected"},
    {"a part programmed without an erase",
     {"insert 27C256 CELLS"},
     {"verify", "-d", "27C256", "-i", "IMAGE"},
     "Likely: the part was not erased"},
    {"an image loaded at the wrong offset",
     {"insert 27C256 SHIFTED"},
     {"verify", "-d", "27C256", "-i", "IMAGE"},
     "Likely: the image is in the part shifted by -16 bytes"},
    {"a bad contact",
     {"insert 27C256 IMAGE", "fault contact 2 1 7"},
     {"verify", "-d", "27C256", "-i", "IMAGE"},
     "Possible: only D2 is wrong, both ways"},
};

class DiagnosisTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(DiagnosisTest, TheCauseIsNamedAfterTheFirstDifference) {
  const FaultCase& c = GetParam();
  CommandRig rig;
  const std::map<std::string, std::string> files = {
      {"IMAGE", rig.Write("image.bin", Image()).string()},
      {"IMAGE64", rig.Write("image64.bin", Pattern(65536)).string()},
      {"CELLS", rig.Write("cells.bin", BurnedOverOldData()).string()},
      {"SHIFTED", rig.Write("shifted.bin", ShiftedImage()).string()}};
  const auto named = [&](std::string word) {
    for (const auto& [key, path] : files) {
      if (const auto at = word.find(key);
          at != std::string::npos && (at + key.size() == word.size())) {
        return word.replace(at, key.size(), path);
      }
    }
    return word;
  };
  std::vector<std::string> args;
  for (const std::string& sim : c.sims) args.insert(args.end(), {"--sim", named(sim)});
  for (const std::string& arg : c.args) args.push_back(named(arg));
  EXPECT_EQ(rig.Run(args), kExitErrorAlert) << c.what << "\n" << rig.Out() << rig.Err();
  const std::string out = rig.Out();
  // The first difference's lines and the alert come first, as ever; the whole difference after.
  const auto alert = out.find("DIALOG [Critical Message] Program or Compare Error");
  const auto summary = out.find("Whole part compared: ");
  ASSERT_NE(alert, std::string::npos) << out;
  EXPECT_LT(alert, summary) << out;
  EXPECT_TRUE(Holds(out.substr(summary), c.said)) << c.what << "\n" << out;
  // The alert's further text names it too.
  EXPECT_TRUE(Holds(out.substr(alert, summary - alert), c.said)) << out;
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info) {
  return testing::TestNameOf(info.param.what);
}

INSTANTIATE_TEST_SUITE_P(Faults, DiagnosisTest, ::testing::ValuesIn(kCases), CaseName);

// A line shorted at the socket is held for the board's own latch too: the board's check names it
// before any part is read, and the operation ends there, a device error without a success line.
TEST(HeldDataLineTest, TheBoardCheckNamesTheLineBeforeThePartIsRead) {
  for (const char* level : {"low", "high"}) {
    CommandRig rig;
    EXPECT_EQ(rig.Run({"--sim", "insert 27C256", "--sim", std::string("fault data-line 3 ") + level,
                       "blank", "-d", "27C256"}),
              kExitErrorAlert);
    const std::string said = std::string("data line D3 reads ") +
                             (std::string(level) == "low" ? "0" : "1") +
                             " whatever the board drives: a short at the socket";
    EXPECT_TRUE(Holds(rig.Out(), said)) << rig.Out();
    EXPECT_FALSE(Holds(rig.Out(), "Device IS BLANK")) << rig.Out();
    EXPECT_FALSE(Holds(rig.Out(), "Port access FAILED")) << "the port works";
  }
}

// Reads in several passes: a loose contact shows as bits that change from one pass to the next; a
// sound part reads the same every time, and the verify after programming repeats as well.
TEST(ReadPassesTest, BitsThatChangeBetweenPassesAreNamed) {
  CommandRig rig;
  const std::string file = rig.Write("image.bin", Image()).string();
  const std::string out = rig.Path("out.bin").string();
  EXPECT_EQ(rig.Run({"--sim", "insert 27C256 " + file, "read", "-d", "27C256", "-o", out,
                     "--passes", "2"}),
            kExitOk);
  EXPECT_TRUE(Holds(rig.Out(), "The part read the same in all 2 passes")) << rig.Out();
  EXPECT_EQ(
      rig.Run({"--sim", "fault contact 6 1 3", "read", "-d", "27C256", "-o", out, "--passes", "3"}),
      kExitErrorAlert);
  EXPECT_TRUE(Holds(rig.Out(), "Read pass 3 of 3")) << rig.Out();
  EXPECT_TRUE(Holds(rig.Out(), "The part did not read the same in 3 passes")) << rig.Out();
  EXPECT_TRUE(Holds(rig.Out(), "Lines that changed: D6 at")) << rig.Out();

  CommandRig fresh;
  const std::string image = fresh.Write("image.bin", Image()).string();
  EXPECT_EQ(fresh.Run({"--sim", "insert 27C256", "program", "-d", "27C256", "-i", image, "--yes",
                       "--passes", "2"}),
            kExitOk)
      << fresh.Out();
  EXPECT_TRUE(Holds(fresh.Out(), "Verify pass 2 of 2")) << fresh.Out();
}

// --report FILE: every difference and the diagnosis as JSON, written whatever the compare found.
TEST(CompareReportTest, EveryDifferenceAndTheDiagnosisGoToTheFile) {
  CommandRig rig;
  const std::vector<std::uint8_t> image = Image();
  const std::string file = rig.Write("image.bin", image).string();
  const std::string report = rig.Path("report.json").string();
  EXPECT_EQ(rig.Run({"--sim", "insert 27C256 " + file, "--sim", "fault data-line 5 open", "verify",
                     "-d", "27C256", "-i", file, "--report", report}),
            kExitErrorAlert);
  const auto json = nlohmann::json::parse(CommandRig::ReadBytes(report));
  std::vector<std::int32_t> wrong;  // where D5 should read 0
  for (std::size_t a = 0; a < image.size(); ++a) {
    if ((image[a] & 0x20) == 0) wrong.push_back(static_cast<std::int32_t>(a));
  }
  EXPECT_EQ(json["operation"], "verify");
  EXPECT_EQ(json["compared"], 32768);
  EXPECT_EQ(json["differences"], wrong.size());
  EXPECT_EQ(json["first"], wrong.front());
  EXPECT_EQ(json["last"], wrong.back());
  ASSERT_EQ(json["bytes"].size(), wrong.size());
  EXPECT_EQ(json["bytes"][0]["read"], image[static_cast<std::size_t>(wrong.front())] | 0x20);
  EXPECT_EQ(json["dataLines"][5]["read1where0"], wrong.size());
  EXPECT_EQ(json["diagnosis"][0]["certainty"], "certain");

  rig.Run({"--sim", "fault contacts-good", "blank", "-d", "27C256", "--report", report});
  EXPECT_EQ(nlohmann::json::parse(CommandRig::ReadBytes(report))["operation"], "blank");
  rig.Run(
      {"--sim", "erase", "--sim", "insert 27C256", "blank", "-d", "27C256", "--report", report});
  const auto clean = nlohmann::json::parse(CommandRig::ReadBytes(report));
  EXPECT_EQ(clean["matches"], true);
  EXPECT_EQ(clean["differences"], 0);
  // Nothing compared, nothing reported: and said.
  EXPECT_EQ(rig.Run({"verify", "-d", "27C256", "-i", rig.Path("none.bin").string(), "--report",
                     rig.Path("other.json").string()}),
            kExitNotDone);
  EXPECT_TRUE(Holds(rig.Err(), "no report written")) << rig.Err();
  EXPECT_FALSE(std::filesystem::exists(rig.Path("other.json")));
}

}  // namespace
}  // namespace sorvell::console
