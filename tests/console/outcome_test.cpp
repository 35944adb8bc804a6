// How each operation of each device class ends, through sorvell-cli: its exit status, the line
// that says why, and never a success line after a failure.
#include <gtest/gtest.h>

#include "command_rig.h"

namespace sorvell::console {
namespace {

using testing::CommandRig;
using testing::Holds;
using testing::Pattern;

struct OutcomeCase {
  const char* what;
  std::vector<std::string> sims;  // run before the command, in order
  std::vector<std::string> args;  // "IMAGE" stands for a 32 KB or 128 KB image file
  int status;
  const char* said;     // in the log (or on standard error)
  const char* success;  // a success line that must not be there when the run failed
};

const OutcomeCase kCases[] = {
    {"an EPROM read",
     {"insert 27C256"},
     {"read", "-d", "27C256", "-o", "OUT"},
     kExitOk,
     "32768 bytes Read from Device",
     ""},
    {"an EPROM that is not blank",
     {"insert 27C256 IMAGE"},
     {"blank", "-d", "27C256"},
     kExitErrorAlert,
     "Device IS NOT BLANK (ERASED)",
     "Device IS BLANK (ERASED)"},
    {"an EPROM bit that never clears",
     {"insert 27C256", "fault stuck 10 FF FF"},
     {"program", "-d", "27C256", "-i", "IMAGE", "--yes"},
     kExitErrorAlert,
     "*** Programming Failure ***",
     "Programming Device Successfull"},
    {"a Flash whose maker is not known: program",
     {"insert AM29F010", "fault id 89 A4"},
     {"program", "-d", "AM29F010", "-i", "IMAGE", "--yes", "--no-blank-check"},
     kExitNotDone,
     "Device ID# 89A4 - Not Supported",
     "Programming Device Successfull"},
    {"a Flash whose maker is not known: erase",
     {"insert AM29F010", "fault id 89 A4"},
     {"erase", "-d", "AM29F010", "--yes"},
     kExitNotDone,
     "Device ID# 89A4 - Not Supported",
     "Flash Erasing Operation COMPLETED"},
    {"a Flash erase that never completes",
     {"insert AM29F010", "fault erase-hangs"},
     {"erase", "-d", "AM29F010", "--yes"},
     kExitErrorAlert,
     "Erasing Operation NOT COMPLETED!",
     "Flash Erasing Operation COMPLETED"},
    {"an empty socket asked for its Flash code",
     {"remove"},
     {"id", "-d", "AM29F010"},
     kExitNotDone,
     "Not Valid",
     ""},
    {"the X28C256 erased",
     {"insert X28C256 IMAGE"},
     {"erase", "-d", "X28C256", "--yes"},
     kExitOk,
     "XICOR 28C256 Programmed Sucessfully",
     ""},
    {"a serial part that never answers",
     {"insert 24C16", "fault no-ack"},
     {"erase", "-d", "24C16", "--yes"},
     kExitErrorAlert,
     "DOES NOT RESPOND",
     "Programming Device Successfull"},
    {"a file that is not there",
     {"insert 27C256"},
     {"program", "-d", "27C256", "-i", "missing.bin", "--yes"},
     kExitNotDone,
     "was not loaded",
     "Programming Button Pressed"},
    {"a HEX record with a bad checksum",
     {"insert 27C256"},
     {"program", "-d", "27C256", "-i", "BADHEX", "--yes"},
     kExitNotDone,
     "checksum",
     "Programming Button Pressed"},
};

class OutcomeTest : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(OutcomeTest, TheExitStatusIsTheOperationsOwnOutcome) {
  const OutcomeCase& c = GetParam();
  CommandRig rig;
  const bool flash = std::find(c.args.begin(), c.args.end(), "AM29F010") != c.args.end();
  const auto image = rig.Write("image.bin", Pattern(flash ? 128 * 1024 : 32768));
  const std::string badHex = ":0100000000FE\n:00000001FF\n";  // the first sum is off by one
  rig.Write("bad.hex", std::vector<std::uint8_t>(badHex.begin(), badHex.end()));
  std::vector<std::string> args;
  for (const std::string& line : c.sims) {
    std::string sim = line;
    if (const auto at = sim.find("IMAGE"); at != std::string::npos) {
      sim.replace(at, 5, image.string());
    }
    args.insert(args.end(), {"--sim", sim});
  }
  for (const std::string& arg : c.args) {
    if (arg == "IMAGE")
      args.push_back(image.string());
    else if (arg == "BADHEX")
      args.push_back(rig.Path("bad.hex").string());
    else if (arg == "OUT")
      args.push_back(rig.Path("out.bin").string());
    else if (arg == "missing.bin")
      args.push_back(rig.Path("missing.bin").string());
    else
      args.push_back(arg);
  }
  EXPECT_EQ(rig.Run(args), c.status) << c.what << "\n" << rig.Out() << rig.Err();
  EXPECT_TRUE(Holds(rig.Out() + rig.Err(), c.said)) << c.what << "\n" << rig.Out();
  if (*c.success != '\0') {
    EXPECT_FALSE(Holds(rig.Out(), c.success)) << c.what << "\n" << rig.Out();
  }
}

std::string CaseName(const ::testing::TestParamInfo<OutcomeCase>& info) {
  return testing::TestNameOf(info.param.what);
}

INSTANTIATE_TEST_SUITE_P(Classes, OutcomeTest, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
}  // namespace sorvell::console
