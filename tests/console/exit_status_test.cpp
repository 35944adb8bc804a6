#include "console/exit_status.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "console/script_source.h"
#include "console_rig.h"

namespace sorvell::console {
namespace {

using testing::ConsoleRig;

TEST(ConsoleExitStatusTest, BadInputWinsThenTheAlertThenWhatWasNotDone) {
  EXPECT_EQ(ExitStatus({}), kExitOk);
  EXPECT_EQ(ExitStatus({true, 0, 1, 0}), kExitNotDone);
  EXPECT_EQ(ExitStatus({true, 0, 0, 2}), kExitNotDone);
  EXPECT_EQ(ExitStatus({true, 1, 1, 1}), kExitErrorAlert);
  EXPECT_EQ(ExitStatus({false, 1, 1, 1}), kExitBadInput);
  EXPECT_EQ(kExitNotDone, 3);
}

TEST(ConsoleExitStatusTest, NoBoardRanksBetweenTheAlertAndWhatWasNotDone) {
  RunRecord record;
  record.notDone = true;
  EXPECT_EQ(ExitStatus(record), kExitNotDone);
  record.noBoard = true;
  EXPECT_EQ(ExitStatus(record), kExitNoBoard);
  record.errorAlerts = 1;
  EXPECT_EQ(ExitStatus(record), kExitErrorAlert);
  record.stopped = true;
  EXPECT_EQ(ExitStatus(record), kExitStopped);
  record.inputOk = false;
  EXPECT_EQ(ExitStatus(record), kExitBadInput);
}

TEST(ConsoleExitStatusTest, AFailedSaveIsCountedFromItsBox) {
  ConsoleRig rig;
  // The log cannot replace a folder of its name.
  std::filesystem::create_directory(rig.folder / "SORVELL.LOG");
  ASSERT_TRUE(rig.Run("dblclick SystemLog\n"));
  EXPECT_EQ(rig.dialogs.FailedSaves(), 1);
  // A question under the same title is no failure.
  rig.dialogs.Message({"Save?", "System Log", panel::MessageButtons::kYesNo,
                       panel::MessageIcon::kQuestion, panel::Answer::kYes});
  EXPECT_EQ(rig.dialogs.FailedSaves(), 1);
  std::filesystem::remove(rig.folder / "SORVELL.LOG");
  ASSERT_TRUE(rig.Run("dblclick SystemLog\n"));
  EXPECT_EQ(rig.dialogs.FailedSaves(), 1);
}

TEST(ConsoleExitStatusTest, AnOperationWithoutAPortIsCountedAsRefused) {
  ConsoleRig rig;  // no board on any port: no port chosen
  testing::Capture echoed;
  const LogEcho echo(rig.form->frmMain, echoed.file());
  // Forcing a model sets it and reminds the operator to choose a port: that is no refusal.
  ASSERT_TRUE(rig.Run("select Device 11\nclick ForceSorvell5\n"));
  EXPECT_NE(echoed.Text().find("FORCED by Operator\n"), std::string::npos);
  EXPECT_EQ(echo.Refusals(), 0);
  ASSERT_TRUE(rig.Run("click Display_button\n"));
  EXPECT_EQ(echo.Refusals(), 1);
  EXPECT_NE(echoed.Text().find(">  No LPT port is selected"), std::string::npos);
  EXPECT_EQ(echoed.Text().find("\r"), std::string::npos);  // one printed line per log line
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
