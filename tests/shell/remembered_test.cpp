// What the program keeps for its next start: the recent code files of the File menu and the
// choices of the last session.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "catalogue/device_table.h"
#include "shell/recent_files.h"
#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

struct RememberRig : ShellRig {
  RememberRig() { form->Form_Load(); }
  std::string Open(const std::string& name) {
    std::ofstream(folder / name, std::ios::binary) << std::string(8192, '\x42');
    dialogs.files.push_back(folder / name);
    form->Click("mnuFileOpenCode");
    return (folder / name).string();
  }
  // The program closed and started again on the same settings store.
  void Restart() {
    form->Form_Unload();
    form = std::make_unique<MainForm>(Edges{port, timing, dialogs, windows, sounds, settings, clock,
                                            Folders{folder, folder, folder}});
    form->Form_Load();
  }
  Control& C(const std::string& name) { return form->frmMain[name]; }
};

TEST(RecentFilesTest, MostRecentFirstEachOnceAtMostEightAndKeptInTheStore) {
  FakeSettings settings;
  RecentFiles recent(settings);
  for (int i = 1; i <= 10; ++i) recent.Add("/parts/f" + std::to_string(i) + ".bin");
  recent.Add("/parts/f5.bin");
  recent.Add("/parts/F5.bin");  // another file on this system
  recent.Remove("/parts/f9.bin");
  const std::vector<std::string> expected = {"/parts/F5.bin", "/parts/f5.bin", "/parts/f10.bin",
                                             "/parts/f8.bin", "/parts/f7.bin", "/parts/f6.bin",
                                             "/parts/f4.bin"};
  EXPECT_EQ(recent.Entries(), expected);
  RecentFiles nextStart(settings);
  nextStart.Load();
  EXPECT_EQ(nextStart.Entries(), expected);
}

TEST(RecentFilesTest, TheMenuOpensAFileAsOpenCodeDoesAndDropsOneThatIsGone) {
  RememberRig rig;
  const std::string a = rig.Open("a.bin"), b = rig.Open("b.bin");
  EXPECT_EQ(rig.C("mnuFileRecent1").Caption(), "&1 " + b);
  EXPECT_EQ(rig.C("mnuFileRecent2").Caption(), "&2 " + a);
  rig.form->buffers.CodeBuffer[0] = 0;
  EXPECT_TRUE(rig.form->Click("mnuFileRecent2"));
  EXPECT_EQ(rig.form->buffers.CodeBuffer[0], 0x42);
  EXPECT_EQ(rig.C("mnuFileRecent1").Caption(), "&1 " + a);
  EXPECT_EQ(rig.dialogs.fileRequests.size(), 2u) << "a recent file opens without the dialog";

  std::filesystem::remove(b);
  rig.form->Click("mnuFileRecent2");
  EXPECT_EQ(rig.form->LastOutcome().reason, NotDoneReason::kFileNotLoaded);
  EXPECT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.form->buffers.CodeFileName, a) << "the loaded file stays";
  EXPECT_EQ(rig.form->recentFiles.Entries(), std::vector<std::string>{a});
}

TEST(LastSessionTest, ThePartItsOptionsAndTheCodeFileComeBackAtTheNextStart) {
  RememberRig rig;
  const auto& items = rig.C("Device").Items();
  const auto part = std::ranges::find_if(items, [](const std::string& item) {
    return catalogue::RowNameOfEntry(item) == "Eprom 2764";
  });
  rig.form->SetValue("Device", static_cast<int>(part - items.begin()));
  // Each differs from what choosing the part or the window's design sets.
  const std::vector<std::pair<std::string, int>> choices = {{"Voltage_button(2)", 1},
                                                            {"HiLow_button(2)", 1},
                                                            {"Slider1", 7},
                                                            {"CheckBlankPriorProgramming", 0},
                                                            {"VerifyAfterProgramming", 0}};
  for (const auto& [name, value] : choices) ASSERT_TRUE(rig.form->SetValue(name, value)) << name;
  const std::string file = rig.Open("Boot.Bin");
  rig.Restart();
  EXPECT_EQ(rig.form->device.DeviceName, "Eprom 2764");
  EXPECT_EQ(rig.form->device.VppVolts, 21);
  for (const auto& [name, value] : choices) EXPECT_EQ(rig.C(name).Value(), value) << name;
  EXPECT_EQ(rig.C("Voltage_button(1)").Value() + rig.C("HiLow_button(0)").Value(), 0);
  EXPECT_EQ(rig.C("FileNameCodeText").Caption(), file);
  EXPECT_EQ(rig.form->buffers.CodeBuffer[8191], 0x42);
}

TEST(LastSessionTest, APartNoLongerListedAndAFileThatIsGoneAreSkipped) {
  RememberRig rig;
  rig.settings.values = {{"LastSession/Device", "Eprom 99X99"},
                         {"LastSession/CodeFile", (rig.folder / "gone.bin").string()},
                         {"LastSession/Slider1", "not a number"}};
  rig.form->Form_Load();
  const std::string log = rig.C("SystemLog").Caption();
  EXPECT_NE(log.find("The device Eprom 99X99 chosen last is not in the list"), std::string::npos);
  EXPECT_NE(log.find("gone.bin loaded last is not there any more"), std::string::npos);
  EXPECT_EQ(rig.C("Device").Value(), -1);
  EXPECT_EQ(rig.C("Slider1").Value(), 18);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

}  // namespace
}  // namespace sorvell::shell::testing
