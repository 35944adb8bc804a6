#include <gtest/gtest.h>

#include <algorithm>

#include "buffers/checksums.h"
#include "console/command_rig.h"
#include "sim/virtual_clock.h"

namespace sorvell::console::testing {
namespace {

double PredictedSeconds(const std::string& out) {
  const auto at = out.find("a real board would take about ");
  if (at == std::string::npos) return -1;
  return std::stod(out.substr(at + 30));
}

// A dry run burns a simulated copy only: the part in the socket keeps its cells, and the time
// it predicts is what the same burn then takes on the (simulated) board, start-up included.
TEST(DryRunTest, TheCopyIsBurnedAndTheTimeIsTheRealRunsTime) {
  const struct {
    const char* part;
    std::vector<std::string> command;
    const char* copy;
  } kCases[] = {
      {"27C256", {"program", "-d", "27C256", "--yes", "--dry-run"}, "27C256 (blank)"},
      {"AM29F010",
       {"erase", "-d", "AM29F010", "--yes", "--dry-run=read"},
       "AM29F010 (holding what the part holds)"},
  };
  for (const auto& c : kCases) {
    CommandRig rig;
    const auto image = rig.Write("image.bin", Pattern(32768));
    std::vector<std::string> args = c.command;
    const bool program = args[0] != "erase";
    if (args[0] == "program") args.insert(args.end(), {"-i", image.string()});
    std::ofstream(rig.Path("job.toml"))
        << "name = \"Lot 1\"\ndevice = \"27C256\"\nimage = \"image.bin\"\nsha256 = \""
        << buffers::ChecksumsOf(Pattern(32768)).sha256 << "\"\ncount = 9\n";
    for (std::string& arg : args) {
      if (arg == "job.toml") arg = rig.Path(arg).string();
    }
    // A blank part to program, a programmed one to erase.
    std::string error;
    ASSERT_TRUE(shell::RunSimCommand(
        *rig.backend.simulator->BoardAt(board::kLpt378),
        "insert " + std::string(c.part) + (program ? "" : " " + image.string()), error))
        << error;
    const std::vector<std::uint8_t> before = rig.Cells();
    ASSERT_EQ(rig.Run(args), kExitOk) << rig.Err();
    EXPECT_TRUE(
        Holds(rig.Out(), "Dry run on a simulated " + std::string(c.copy) + ": it would be done"))
        << rig.Out();
    EXPECT_EQ(rig.Cells(), before) << c.part;

    args.erase(std::ranges::find(args, c.command.back()));  // now for real
    const std::uint64_t start = rig.backend.clock->NowNs();
    const double predicted = PredictedSeconds(rig.Out());
    ASSERT_EQ(rig.Run(args), kExitOk) << rig.Err();
    const double taken = static_cast<double>(rig.backend.clock->NowNs() - start) / 1e9;
    EXPECT_NEAR(predicted, taken, 0.06 + taken * 0.01) << c.part;
  }
}

}  // namespace
}  // namespace sorvell::console::testing
