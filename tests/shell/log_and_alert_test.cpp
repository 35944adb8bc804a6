#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <sstream>

#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double CodeSum(const std::string& text) {
  double sum = 0;
  for (char c : text) sum += static_cast<unsigned char>(c);
  return sum;
}

TEST(ShellLogTest, LinesAreTimeStampedAndOnlyAppended) {
  ShellRig rig;
  std::string appended;
  rig.form->frmMain.onAppended = [&](const Control&, std::string_view text) { appended = text; };
  rig.form->panel.AddLog("X");
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "\r\n10:58:39>  X");
  rig.clock.now.hour = 7;
  rig.form->panel.AddLog("Second");
  EXPECT_EQ(appended, "\r\n07:58:39>  Second");
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "\r\n10:58:39>  X\r\n07:58:39>  Second");
}

TEST(ShellLogTest, SavedLogHasHeaderStatCodeAndModel) {
  ShellRig rig;
  rig.form->board.BoardModel = 5;
  rig.form->panel.AddLog("X");
  rig.form->SystemLog_DblClick();
  const std::string log = "\r\n10:58:39>  X";
  const std::string expected =
      "SORVELL SYSTEM LOG FILE - Sorvell Device Programmers\r\n"
      "The following contents are the log from the Sorvell Program\r\n"
      "12-08-2026 10:58:39 StatCode: " +
      std::to_string(static_cast<long>(CodeSum(log))) + " Model: 5\r\n" + std::string(60, '-') +
      "\r\n" + log + "\r\n";
  EXPECT_EQ(ReadFile(rig.folder / "SORVELL.LOG"), expected);
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(),
            log + "\r\n10:58:39>  System Log was Saved to SORVELL.LOG file");

  // Saving again overwrites; the first save's own line is now in the file.
  rig.form->SystemLog_DblClick();
  const std::string second = ReadFile(rig.folder / "SORVELL.LOG");
  EXPECT_NE(second.find("System Log was Saved to SORVELL.LOG file\r\n"), std::string::npos);
  EXPECT_EQ(second.find("SORVELL SYSTEM LOG FILE", 1), std::string::npos);
}

TEST(ShellLogTest, EmptyLogHasStatCodeZero) {
  ShellRig rig;
  rig.form->SystemLog_DblClick();
  EXPECT_NE(ReadFile(rig.folder / "SORVELL.LOG").find(" StatCode: 0 Model: 0\r\n"),
            std::string::npos);
}

TEST(ShellLogTest, UnwritableFolderIsReportedAndChangesNothing) {
  if (geteuid() == 0) {
    // Root writes anywhere; make the target a folder so the rename fails instead.
    ShellRig rig;
    std::filesystem::create_directories(rig.folder / "SORVELL.LOG" / "inside");
    rig.form->panel.AddLog("X");
    rig.form->SystemLog_DblClick();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_NE(rig.dialogs.messages[0].text.find("SORVELL.LOG"), std::string::npos);
    EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "\r\n10:58:39>  X");
    EXPECT_TRUE(std::filesystem::is_directory(rig.folder / "SORVELL.LOG" / "inside"));
    for (const auto& entry : std::filesystem::directory_iterator(rig.folder)) {
      EXPECT_EQ(entry.path().filename(), "SORVELL.LOG");  // no temporary file left behind
    }
    return;
  }
  ShellRig rig;
  { std::ofstream(rig.folder / "SORVELL.LOG") << "old log"; }
  ::chmod(rig.folder.c_str(), 0555);
  rig.form->SystemLog_DblClick();
  ::chmod(rig.folder.c_str(), 0755);
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(ReadFile(rig.folder / "SORVELL.LOG"), "old log");
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "");
}

struct AlertRig : ShellRig {
  AlertRig() {
    form->Form_Load();
    form->board.DataPort = board::kLpt378;
    form->board.BoardModel = 5;
    form->board.SelectModelStrobes();
    form->frmMain["Program_button"].SetEnabled(true);
    form->frmMain["Verify_button"].SetEnabled(false);
    form->frmMain["Read_button"].SetEnabled(true);
    form->frmMain["Display_button"].SetEnabled(false);
    form->frmMain["ProgressBar1"].SetValue(40);
    form->panel.ProgramLabelOn();
    form->panel.DataFlowLabelOn();
  }
  bool Enabled(const char* name) { return form->frmMain[name].Enabled(); }
};

TEST(ShellAlertTest, RaisingLocksTheFourButtonsAndLightsOnlyTheErrorLamp) {
  AlertRig rig;
  rig.form->panel.ErrorLockButtons();
  EXPECT_EQ(rig.form->frmMain["Error_label"].ForeColor(), kRed);
  EXPECT_EQ(rig.form->frmMain["Program_label"].ForeColor(), kButtonFace);
  EXPECT_EQ(rig.form->frmMain["DataFlow_label"].ForeColor(), kButtonFace);
  for (const char* name : {"Program_button", "Verify_button", "Read_button", "Display_button"}) {
    EXPECT_FALSE(rig.Enabled(name)) << name;
  }
  EXPECT_EQ(rig.form->panel.ErrorAlertsRaised(), 1);
}

TEST(ShellAlertTest, CriticalBoxTurnsTheAlertOffAndRestoresTheSavedStates) {
  AlertRig rig;
  rig.form->panel.ErrorLockButtons();
  rig.form->board.Reg0Shadow = 0xC8;
  rig.port.Clear();
  rig.form->panel.CriticalErrorBox();
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0].text, "Program or Compare Error");
  EXPECT_EQ(rig.dialogs.messages[0].title, "Critical Message");
  EXPECT_EQ(rig.dialogs.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(rig.form->frmMain["Error_label"].ForeColor(), kButtonFace);
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "\r\n10:58:39>  Error Alert was Turned Off");
  EXPECT_EQ(rig.form->frmMain["ProgressBar1"].Value(), 0);
  EXPECT_TRUE(rig.Enabled("Program_button"));
  EXPECT_FALSE(rig.Enabled("Verify_button"));
  EXPECT_TRUE(rig.Enabled("Read_button"));
  EXPECT_FALSE(rig.Enabled("Display_button"));
  EXPECT_EQ(rig.form->board.Reg0Shadow, 0x40);  // the board was reset
  EXPECT_EQ(rig.port.Accesses().size(), 16u);
}

TEST(ShellAlertTest, ClickingTheLampWhenOffDoesNothing) {
  AlertRig rig;
  rig.port.Clear();
  EXPECT_TRUE(rig.form->Click("Error_label"));
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "");
  EXPECT_TRUE(rig.port.Accesses().empty());
  rig.form->panel.ErrorLockButtons();
  rig.form->Click("Error_label");
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "\r\n10:58:39>  Error Alert was Turned Off");
}

TEST(ShellLampTest, ToggleTwiceRestoresLampAndBoardLed) {
  AlertRig rig;
  rig.form->panel.ProgramLabelOff();
  rig.form->board.Reg0Shadow = 0x40;
  rig.port.Clear();
  rig.form->operation.ToggleProgramLed();
  EXPECT_EQ(rig.form->frmMain["Program_label"].ForeColor(), kGreen);
  EXPECT_EQ(rig.form->board.Reg0Shadow, 0x48);
  EXPECT_EQ(rig.port.Accesses()[0].value, 0x48);  // register 0 written with the LED bit
  rig.form->operation.ToggleProgramLed();
  EXPECT_EQ(rig.form->frmMain["Program_label"].ForeColor(), kButtonFace);
  EXPECT_EQ(rig.form->board.Reg0Shadow, 0x40);
}

TEST(ShellSoundTest, KeysChooseFilesAndUnknownKeysSoundTheError) {
  ShellRig rig;
  for (const char* key : {"INIT", "ERROR", "DONE", "SLIDE", "OK", "slide", "BEEP"}) {
    rig.form->panel.PlayEventSound(key);
  }
  EXPECT_EQ(rig.sounds.played,
            (std::vector<std::string>{"init.wav", "error.wav", "done.wav", "slide.wav", "ok.wav",
                                      "error.wav", "error.wav"}));
}

}  // namespace
}  // namespace sorvell::shell::testing
