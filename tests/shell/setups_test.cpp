#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "common/trim.h"
#include "shell/setup_file.h"
#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

// A model 5 board at 378h, started up: the port found, the device list filled.
class SetupsTest : public ::testing::Test {
 protected:
  SetupsTest() {
    rig.boards.PlaceBoard(5, 0x378);
    rig.form.Form_Load();
  }

  Form& f() { return rig.form.frmMain; }

  void SelectDevice(const std::string& name) {
    const auto& items = f()["Device"].Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (common::TrimBlanks(items[i]) == name) {
        ASSERT_TRUE(rig.form.SetValue("Device", static_cast<int>(i)));
        return;
      }
    }
    FAIL() << "no device " << name;
  }

  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(rig.folder / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(rig.folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // What the operator sees of every control but the log.
  std::vector<std::tuple<std::string, int, std::string, bool, bool>> Snapshot() {
    std::vector<std::tuple<std::string, int, std::string, bool, bool>> controls;
    for (const Control& c : f().Controls()) {
      if (c.Name() == "SystemLog" || c.Name() == "sbOutcome") continue;
      controls.emplace_back(c.Name(), c.Value(), c.Caption(), c.Enabled(), c.Visible());
    }
    return controls;
  }

  // The log from the line that starts with `text` on.
  std::string LogFrom(const std::string& text) {
    const std::string log = rig.Log();
    const auto at = log.rfind(">  " + text);
    return at == std::string::npos ? "" : log.substr(at);
  }

  SimRig rig;
};

// A setup that is not the window's state now: a 21 V part, the high bytes, a slow slider, no
// blank check, and a code file.
TEST_F(SetupsTest, SavedAndRestoredRunningEachHandlerInFileOrder) {
  Write("image.bin", std::string(8192, '\x5A'));
  SelectDevice("Eprom 2764");
  rig.form.Click("Voltage_button(2)");
  rig.form.Click("HiLow_button(1)");
  rig.form.SetValue("Slider1", 7);
  rig.form.SetValue("CheckBlankPriorProgramming", 0);
  rig.dialogs.files = {rig.folder / "image.bin"};
  rig.form.Click("mnuFileOpenCode");
  rig.dialogs.inputs = {"Bench 2764"};
  rig.form.Click("SaveSetup2");
  EXPECT_EQ(rig.dialogs.inputBoxes,
            std::vector<std::string>{"Saving Name Input: Please input a NAME for this Setup"});

  SelectDevice("Eprom 27C512");
  rig.form.SetValue("Slider1", 18);
  rig.form.SetValue("CheckBlankPriorProgramming", 1);
  rig.form.Click("Erase_button");
  rig.form.Click("Setup");
  ASSERT_TRUE(rig.form.Click("LoadSetup2"));

  EXPECT_EQ(common::TrimBlanks(f()["Device"].Caption()), "Eprom 2764");
  EXPECT_EQ(f()["Voltage_button(2)"].Value(), 1);
  EXPECT_EQ(f()["Voltage_button(1)"].Value(), 0);
  EXPECT_EQ(rig.form.device.VppVolts, 21);
  EXPECT_EQ(f()["HiLow_button(1)"].Value(), 1);
  EXPECT_EQ(f()["Slider1"].Value(), 7);
  EXPECT_EQ(f()["CheckBlankPriorProgramming"].Value(), 0);
  EXPECT_EQ(rig.form.buffers.CodeBuffer[8191], 0x5A);  // the code file was loaded again
  EXPECT_EQ(rig.form.device.DeviceSize, 8192);
  const std::string restore = LogFrom("RESTORING SETUP FROM");
  std::vector<std::string> order = {"RESTORING SETUP FROM SVSetup2.INI",
                                    "Device Eprom 2764 was Selected",
                                    "You just Selected Programming Voltage as 21 Volts",
                                    "Program Speed Slider set to: 7",
                                    "was read into Buffer",
                                    "SETUP RESTORED FROM SVSetup2.INI"};
  std::size_t at = 0;
  for (const std::string& line : order) {
    at = restore.find(line, at);
    EXPECT_NE(at, std::string::npos) << line << "\n" << restore;
  }
}

TEST_F(SetupsTest, TheFileIsNineteenExactLinesAndACancelledNameGivesTheDefault) {
  rig.form.Click("SaveSetup3");
  EXPECT_EQ(Read("SVSetup3.INI"),
            "SetupName = No Name Setup 3\r\n"
            "sFILE = \r\n"
            "Device.Index = -1\r\n"
            "Voltage_button(0).value = False\r\n"
            "Voltage_button(1).value = False\r\n"
            "Voltage_button(2).value = False\r\n"
            "Voltage_button(3).value = False\r\n"
            "CheckBlankPriorProgramming.Value = 1\r\n"
            "VerifyAfterProgramming.Value = 1\r\n"
            "LPTSelection(0).Value = True\r\n"
            "LPTSelection(1).Value = False\r\n"
            "LPTSelection(2).Value = False\r\n"
            "PortSelected.Text = 378h\r\n"
            "HiLow_button(0).Value = True\r\n"
            "HiLow_button(1).Value = False\r\n"
            "HiLow_button(2).Value = False\r\n"
            "Slider1.Value = 18\r\n"
            "CheckCode.Value = 1\r\n"
            "CheckData.Value = 0\r\n");
  EXPECT_NE(LogFrom("Setup Saved").find("Setup Saved as SVSetup3.INI, named:No Name Setup 3"),
            std::string::npos);
  rig.dialogs.inputs = {std::string()};  // an empty answer is no name either
  rig.form.Click("SaveSetup3");
  rig.form.Click("Setup");
  EXPECT_TRUE(f()["LoadSetup3"].Enabled());
  EXPECT_EQ(f()["LoadSetup3"].Caption(), "No Name Setup 3");
  // Restoring it loads no file.
  rig.form.Click("LoadSetup3");
  EXPECT_EQ(LogFrom("Read File CRC"), "");
  EXPECT_EQ(f()["FileNameCodeText"].Caption(), "Click To Select a File");
}

TEST_F(SetupsTest, LoadEntriesAreNamedFromTheFirstLineWhenTheMenuOpens) {
  Write("svsetup1.ini", "SetupName = Lower case file\r\n");
  Write("SVSetup2.INI", "Short\r\nSetupName = not this\r\n");
  std::filesystem::create_directory(rig.folder / "SVSetup4.INI");  // not a file: no setup
  rig.form.Click("Setup");
  EXPECT_EQ(f()["LoadSetup1"].Caption(), "Lower case file");
  EXPECT_TRUE(f()["LoadSetup2"].Enabled());
  EXPECT_EQ(f()["LoadSetup2"].Caption(), "");
  EXPECT_FALSE(f()["LoadSetup3"].Enabled());
  EXPECT_EQ(f()["LoadSetup3"].Caption(), "Load Setup #&3");
  EXPECT_FALSE(f()["LoadSetup4"].Enabled());
  EXPECT_TRUE(f()["SaveSetup4"].Enabled());
  // A file gone since: the entry is disabled again and keeps the name it had.
  std::filesystem::remove(rig.folder / "svsetup1.ini");
  rig.form.Click("Setup");
  EXPECT_FALSE(f()["LoadSetup1"].Enabled());
  EXPECT_EQ(f()["LoadSetup1"].Caption(), "Lower case file");
}

TEST_F(SetupsTest, MinusOneLeavesTheDeviceListWithoutASelection) {
  SelectDevice("Eprom 27C256");
  Write("SVSetup1.INI", "SetupName = none\r\nDevice.Index = -1\r\n");
  rig.form.Click("Setup");
  rig.form.Click("LoadSetup1");
  EXPECT_EQ(f()["Device"].Value(), -1);
  EXPECT_EQ(f()["Device"].Caption(), "Please Select Device on this List");
  EXPECT_NE(LogFrom("SETUP RESTORED"), "");
}

// Whatever is wrong, the restore is reported and no control changes.
TEST_F(SetupsTest, ASetupThatCannotBeRestoredChangesNothing) {
  SelectDevice("Eprom 27C256");
  const std::string good = "sFILE = \r\nDevice.Index = 3\r\nSlider1.Value = 5\r\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {good + "sFILE = gone.bin\r\n", "gone.bin could not be opened"},
      {good + "Voltage_button(1).value = Yes\r\n", "line 4 holds \"Yes\""},
      {good + "LPTSelection(2).Value = true\r\n", "line 4"},
      {good + "Slider1.Value = 21\r\n", "Slider1 to 21"},
      {good + "CheckCode.Value = 2\r\n", "CheckCode to 2"},
      {good + "Device.Index = 400\r\n", "Device to 400"},
  };
  for (const auto& [contents, reason] : cases) {
    SCOPED_TRACE(contents);
    Write("SVSetup1.INI", contents);
    rig.form.Click("Setup");
    rig.dialogs.messages.clear();
    const auto before = Snapshot();
    rig.form.Click("LoadSetup1");
    EXPECT_EQ(Snapshot(), before);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].title, "Setup Not Restored");
    EXPECT_NE(rig.dialogs.messages[0].text.find(reason), std::string::npos)
        << rig.dialogs.messages[0].text;
    EXPECT_NE(LogFrom("SETUP NOT RESTORED FROM SVSetup1.INI").find(reason), std::string::npos);
  }
  // The file gone between opening the menu and the click.
  std::filesystem::remove(rig.folder / "SVSetup1.INI");
  const auto before = Snapshot();
  rig.form.Click("LoadSetup1");
  EXPECT_EQ(Snapshot(), before);
  EXPECT_NE(rig.dialogs.messages.back().text.find("SVSetup1.INI could not be opened"),
            std::string::npos);
}

TEST_F(SetupsTest, ASetupThatCannotBeWrittenIsReportedAsAFileNotSaved) {
  std::filesystem::create_directory(rig.folder / "SVSetup1.INI");
  rig.form.Click("SaveSetup1");
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0].title, "File Not Saved");
  EXPECT_EQ(LogFrom("Setup Saved"), "");
}

TEST(SetupFileTest, KeysMatchLetterForLetterAndNumbersAreReadLikeTheirLeadingDigits) {
  std::vector<SetupEntry> entries;
  std::string error;
  ASSERT_TRUE(
      ParseSetup("Slider1.Value = 7 steps\r\n"
                 "slider1.Value = 3\r\n"             // another letter case: skipped
                 "Voltage_button(2).Value = True\n"  // "Value": not the voltage key
                 "CheckCode.Value = \r\n"
                 "Device.Index = -1",
                 entries, error));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].number, 7);
  EXPECT_EQ(entries[1].number, 0);
  EXPECT_EQ(entries[2].number, -1);
  EXPECT_EQ(entries[2].line, 5);
  EXPECT_EQ(LeadingNumber("99999999999999999999999"), LeadingNumber("99999999999999999999"));
}

}  // namespace
}  // namespace sorvell::shell::testing
