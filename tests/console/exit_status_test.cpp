#include "console/exit_status.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "console/script_source.h"
#include "console_rig.h"

namespace sorvell::console {
namespace {

using testing::ConsoleRig;

// The README's order: 2 over 4, 4 over 1, 1 over 5, 5 over 3, whatever order they come in.
TEST(ConsoleExitStatusTest, OneStatusStandsByPrecedence) {
  const int ranked[] = {kExitBadInput, kExitStopped, kExitErrorAlert,
                        kExitNoBoard,  kExitNotDone, kExitOk};
  for (std::size_t i = 0; i < std::size(ranked); ++i) {
    for (std::size_t j = i; j < std::size(ranked); ++j) {
      RunRecord forward, backward;
      forward.Add(ranked[i]);
      forward.Add(ranked[j]);
      backward.Add(ranked[j]);
      backward.Add(ranked[i]);
      EXPECT_EQ(forward.Status(), ranked[i]) << ranked[i] << " then " << ranked[j];
      EXPECT_EQ(backward.Status(), ranked[i]) << ranked[j] << " then " << ranked[i];
    }
  }
  using panel::NotDoneReason;
  using panel::Outcome;
  EXPECT_EQ(ExitStatusOf(Outcome::Done()), kExitOk);
  EXPECT_EQ(ExitStatusOf(Outcome::DeviceError("x")), kExitErrorAlert);
  EXPECT_EQ(ExitStatusOf(Outcome::Stopped()), kExitStopped);
  EXPECT_EQ(ExitStatusOf(Outcome::NotDone(NotDoneReason::kNoBoard, "x")), kExitNoBoard);
  EXPECT_EQ(ExitStatusOf(Outcome::NotDone(NotDoneReason::kFileNotSaved, "x")), kExitNotDone);
}

// What the event says, not its box or its log line: a failed save, and a port not chosen (while
// forcing a model without one only reminds the operator).
TEST(ConsoleExitStatusTest, TheEventsOwnOutcomeCounts) {
  ConsoleRig rig;  // no board on any port: no port chosen
  std::filesystem::create_directory(rig.folder / "SORVELL.LOG");
  ASSERT_TRUE(rig.Run("dblclick SystemLog\n"));
  EXPECT_EQ(rig.form->LastOutcome().reason, panel::NotDoneReason::kFileNotSaved);
  std::filesystem::remove(rig.folder / "SORVELL.LOG");
  ASSERT_TRUE(rig.Run("dblclick SystemLog\n"));
  EXPECT_TRUE(rig.form->LastOutcome().IsDone());
  ASSERT_TRUE(rig.Run("select Device 11\nclick ForceSorvell5\n"));
  EXPECT_TRUE(rig.form->LastOutcome().IsDone());
  ASSERT_TRUE(rig.Run("click Display_button\n"));
  EXPECT_EQ(rig.form->LastOutcome().reason, panel::NotDoneReason::kNoPort);
}

struct ScriptRead {
  bool ok;
  std::string text;
  std::string error;
};

ScriptRead Read(const std::string& name, const std::string& standardInput = "") {
  std::istringstream in(standardInput);
  ScriptRead read{false, "untouched", ""};
  read.ok = ReadScript(name, in, read.text, read.error);
  return read;
}

TEST(ConsoleScriptSourceTest, AScriptIsARegularFileOrStandardInputOfBoundedSize) {
  ConsoleRig rig;
  const auto fifo = rig.folder / "fifo.sorvell";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Read(fifo).error, "the script " + fifo.string() + " is not a regular file");
  EXPECT_EQ(Read(rig.folder).error, "the script " + rig.folder.string() + " is not a regular file");
  EXPECT_EQ(Read("/dev/zero").text, "untouched");
  EXPECT_EQ(Read((rig.folder / "none").string()).error,
            "the script " + (rig.folder / "none").string() +
                " could not be opened: No such file or directory");
  std::ofstream(rig.folder / "big.sorvell") << std::string(kMaxScriptBytes + 1, '#');
  EXPECT_EQ(
      Read((rig.folder / "big.sorvell").string()).error,
      "the script " + (rig.folder / "big.sorvell").string() + " is larger than 1048576 bytes");
  std::ofstream(rig.folder / "empty.sorvell").flush();
  EXPECT_TRUE(Read((rig.folder / "empty.sorvell").string()).ok);

  EXPECT_EQ(Read("-", "show Slider1\n").text, "show Slider1\n");
  const ScriptRead flood = Read("-", std::string(kMaxScriptBytes + 1, '#'));
  EXPECT_FALSE(flood.ok);
  EXPECT_EQ(flood.error, "the script on standard input is larger than 1048576 bytes");
}

}  // namespace
}  // namespace sorvell::console
