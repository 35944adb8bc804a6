// What the program keeps for its next start: the recent code files of the File menu and the
// choices of the last session.
#include <gtest/gtest.h>

#include <fstream>

#include "catalogue/device_table.h"
#include "console/console_edges.h"
#include "shell/recent_files.h"
#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

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

struct RecentRig : ShellRig {
  RecentRig() { form->Form_Load(); }
  bool Open(const std::string& name) {
    WriteBytes(folder / name, name);
    dialogs.files.push_back(folder / name);
    return form->Click("mnuFileOpenCode");
  }
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  Control& Entry(int index) { return form->frmMain["mnuFileRecent" + std::to_string(index)]; }
};

TEST(RecentFilesTest, TheMenuOpensAFileAsOpenCodeDoesAndDropsOneThatIsGone) {
  RecentRig rig;
  EXPECT_FALSE(rig.form->frmMain["mnuFileRecent"].Enabled());
  rig.Open("a.bin");
  rig.Open("b.bin");
  EXPECT_TRUE(rig.form->frmMain["mnuFileRecent"].Enabled());
  EXPECT_EQ(rig.Entry(1).Caption(), "&1 " + rig.Path("b.bin"));
  EXPECT_EQ(rig.Entry(2).Caption(), "&2 " + rig.Path("a.bin"));
  EXPECT_FALSE(rig.Entry(3).Visible());

  EXPECT_TRUE(rig.form->Click("mnuFileRecent2"));
  EXPECT_EQ(rig.form->LastOutcome().kind, OutcomeKind::kDone);
  EXPECT_EQ(rig.form->buffers.CodeFileName, rig.Path("a.bin"));
  EXPECT_EQ(rig.form->frmMain["FileNameCodeSize"].Caption(), "(5)");
  EXPECT_EQ(rig.Entry(1).Caption(), "&1 " + rig.Path("a.bin"));
  EXPECT_EQ(rig.dialogs.fileRequests.size(), 2u) << "a recent file opens without the dialog";

  std::filesystem::remove(rig.folder / "b.bin");
  rig.form->Click("mnuFileRecent2");
  EXPECT_EQ(rig.form->LastOutcome().reason, NotDoneReason::kFileNotLoaded);
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_NE(rig.dialogs.messages[0].text.find(rig.Path("b.bin")), std::string::npos);
  EXPECT_EQ(rig.form->buffers.CodeFileName, rig.Path("a.bin")) << "the loaded file stays";
  EXPECT_EQ(rig.form->recentFiles.Entries(), std::vector<std::string>{rig.Path("a.bin")});
  EXPECT_FALSE(rig.Entry(2).Visible());
}

// Two runs of the program, one after the other, on the console's settings store.
class LastSessionTest : public ::testing::Test {
 protected:
  LastSessionTest()
      : folder(std::filesystem::temp_directory_path() /
               ("sorvell-last-session-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(folder);
  }
  ~LastSessionTest() override { std::filesystem::remove_all(folder); }

  std::unique_ptr<MainForm> Start() {
    auto form = std::make_unique<MainForm>(Edges{port, timing, dialogs, windows, sounds, settings,
                                                 clock, Folders{folder, folder, folder}});
    form->Form_Load();
    return form;
  }
  static void SelectDevice(MainForm& form, std::string_view name) {
    const auto& items = form.frmMain["Device"].Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (catalogue::RowNameOfEntry(items[i]) == name) {
        form.SetValue("Device", static_cast<int>(i));
        return;
      }
    }
    FAIL() << name;
  }
  static bool Logged(MainForm& form, std::string_view text) {
    return form.frmMain["SystemLog"].Caption().find(text) != std::string::npos;
  }

  std::filesystem::path folder;
  board::RecordingPort port;
  sim::VirtualClock virtualClock;
  sim::VirtualTiming timing{virtualClock};
  FakeDialogs dialogs;
  FakeWindows windows;
  RecordingSounds sounds;
  console::MemorySettings settings;
  FixedClock clock;
};

TEST_F(LastSessionTest, ThePartItsOptionsAndTheCodeFileComeBackAtTheNextStart) {
  WriteBytes(folder / "Boot.Bin", std::string(8192, '\x42'));
  {
    auto first = Start();
    SelectDevice(*first, "Eprom 2764");
    // Each differs from what choosing the part or the window's design sets.
    for (const auto& [name, value] :
         std::vector<std::pair<const char*, int>>{{"Voltage_button(2)", 1},
                                                  {"HiLow_button(2)", 1},
                                                  {"Slider1", 7},
                                                  {"CheckBlankPriorProgramming", 0},
                                                  {"VerifyAfterProgramming", 0}}) {
      ASSERT_TRUE(first->SetValue(name, value)) << name;
    }
    dialogs.files.push_back(folder / "Boot.Bin");
    first->Click("mnuFileOpenCode");
    first->Form_Unload();
  }
  auto next = Start();
  EXPECT_EQ(next->device.DeviceName, "Eprom 2764");
  EXPECT_EQ(next->device.VppVolts, 21);
  for (const auto& [name, value] :
       std::vector<std::pair<const char*, int>>{{"Voltage_button(1)", 0},
                                                {"Voltage_button(2)", 1},
                                                {"HiLow_button(0)", 0},
                                                {"HiLow_button(2)", 1},
                                                {"Slider1", 7},
                                                {"CheckBlankPriorProgramming", 0},
                                                {"VerifyAfterProgramming", 0}}) {
    EXPECT_EQ(next->frmMain[name].Value(), value) << name;
  }
  EXPECT_EQ(next->buffers.CodeFileName, (folder / "Boot.Bin").string());
  EXPECT_EQ(next->frmMain["FileNameCodeText"].Caption(), (folder / "Boot.Bin").string());
  EXPECT_EQ(next->buffers.CodeBuffer[8191], 0x42);
  EXPECT_EQ(next->recentFiles.Entries().front(), (folder / "Boot.Bin").string());
}

TEST_F(LastSessionTest, APartNoLongerListedAndAFileThatIsGoneAreSkipped) {
  settings.Set("LastSession", "Device", "Eprom 99X99");
  settings.Set("LastSession", "CodeFile", (folder / "gone.bin").string());
  settings.Set("LastSession", "Slider1", "not a number");
  auto form = Start();
  EXPECT_EQ(form->frmMain["Device"].Value(), -1);
  EXPECT_TRUE(Logged(*form, "The device Eprom 99X99 chosen last is not in the list"));
  EXPECT_TRUE(Logged(*form, "gone.bin loaded last is not there any more: not loaded"));
  EXPECT_TRUE(form->buffers.CodeFileName.empty());
  EXPECT_EQ(form->frmMain["Slider1"].Value(), 18);
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace sorvell::shell::testing
