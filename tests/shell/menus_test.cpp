#include <gtest/gtest.h>

#include <fstream>

#include "common/trim.h"
#include "shell/simulator_commands.h"
#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

struct MenuCase {
  const char* entry;
  const char* device;  // as the list names it
  const char* part;    // put in the simulated socket
  const char* shows;   // a log line or message box text the entry leads to
};

void PrintTo(const MenuCase& c, std::ostream* os) {
  *os << c.entry;
}

// What each entry of the Command and File menus runs, seen by what that operation says. The
// destructive ones are refused at their safety question (the default answer).
const MenuCase kCases[] = {
    {"menuBlankCheck", "Eprom 27C256", "27C256", "Device IS BLANK (ERASED)"},
    {"menuProgramCode", "Eprom 27C256", "27C256", "Programming was Canceled by Operator"},
    {"menuReadCode", "Eprom 27C256", "27C256", "Data is available at above Window"},
    {"menuVerifyCode", "Eprom 27C256", "27C256", "Device Contents MATCHES with Buffer Contents"},
    {"menuDisplayCode", "Eprom 27C256", "27C256", "Fetching Device Binary Contents to Screen"},
    {"menuEraseCode", "Eprom 27C256", "27C256", "Buffer has been Erased"},
    {"menuTestHardware", "Eprom 27C256", "", "Port 3BC Not Responding"},
    {"menuFlashShowCodeID", "Flash AMD AM29F010", "AM29F010", "Reading Flash Code ID"},
    {"menuEraseFlash", "Flash AMD AM29F010", "AM29F010",
     "Erasing Operation was Canceled by Operator"},
    // Only the microcontroller entry enables the data entries; the test enables them itself.
    {"menuProgramData", "Eprom 27C256", "27C256", "Please Write A90S2313 Program Data Routine"},
    {"menuReadData", "Eprom 27C256", "27C256", "Please Write AT90S2313 Eeprom Read Routine"},
    {"menuVerifyData", "Eprom 27C256", "27C256", "Please Write AT90S2313 VerifyData Routine"},
    {"menuEraseData", "Eprom 27C256", "27C256", "Buffer has been Erased"},
};

class MenuEntryTest : public ::testing::TestWithParam<MenuCase> {
 protected:
  // A model 5 board, the device chosen, its part in the socket and a blank image loaded, so
  // every entry of that device is enabled.
  void Prepare(const MenuCase& c) {
    rig.boards.PlaceBoard(5, 0x378);
    rig.form.Form_Load();
    const auto& items = rig.form.frmMain["Device"].Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (common::TrimBlanks(items[i]) == c.device)
        rig.form.SetValue("Device", static_cast<int>(i));
    }
    std::string error;
    if (*c.part) {
      ASSERT_TRUE(RunSimCommand(*rig.boards.BoardAt(0x378), std::string("insert ") + c.part, error))
          << error;
    }
    std::ofstream(rig.folder / "blank.bin", std::ios::binary)
        << std::string(static_cast<std::size_t>(rig.form.device.DeviceSize), '\xFF');
    rig.dialogs.files = {rig.folder / "blank.bin"};
    rig.form.Click("mnuFileOpenCode");
  }

  SimRig rig;
};

TEST_P(MenuEntryTest, RunsItsOperation) {
  const MenuCase& c = GetParam();
  Prepare(c);
  Control& entry = rig.form.frmMain[c.entry];
  if (std::string_view(c.entry).find("Data") != std::string_view::npos) entry.SetEnabled(true);
  const std::size_t logBefore = rig.Log().size();
  rig.dialogs.messages.clear();
  ASSERT_TRUE(rig.form.Click(c.entry));
  std::string shown = rig.Log().substr(logBefore);
  for (const MessageRequest& box : rig.dialogs.messages) shown += "\n" + box.text;
  EXPECT_NE(shown.find(c.shows), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(CommandAndFileMenus, MenuEntryTest, ::testing::ValuesIn(kCases));

TEST(MenuTest, SaveDataAsAsksForANameAndDisplayDataDoesNothing) {
  SimRig rig;
  rig.boards.PlaceBoard(5, 0x378);
  rig.form.Form_Load();
  Form& f = rig.form.frmMain;
  f["mnuFileSaveDataAs"].SetEnabled(true);
  rig.form.buffers.DataFileSize = 4;
  rig.dialogs.files = {rig.folder / "data.bin"};
  ASSERT_TRUE(rig.form.Click("mnuFileSaveDataAs"));
  ASSERT_EQ(rig.dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(rig.dialogs.fileRequests[0].title, "Save DATA Buffer As...");
  EXPECT_EQ(std::filesystem::file_size(rig.folder / "data.bin"), 4u);

  f["menuDisplayData"].SetEnabled(true);
  const std::string log = rig.Log();
  EXPECT_TRUE(rig.form.Click("menuDisplayData"));
  EXPECT_EQ(rig.Log(), log);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

// Every entry of the menu bar answers a click, unless it is a menu or a separator.
TEST(MenuTest, EveryEntryIsWired) {
  ShellRig rig;
  for (const Control& control : rig.form->frmMain.Controls()) {
    if (control.Kind() != ControlKind::kMenuItem) continue;
    SCOPED_TRACE(control.Name());
    Control& entry = rig.form->frmMain[control.Name()];
    entry.SetEnabled(true);
    entry.SetVisible(true);
    if (control.Name() == "mnuFileExit") continue;  // would close the window
    EXPECT_TRUE(rig.form->Click(control.Name()));
  }
}

}  // namespace
}  // namespace sorvell::shell::testing
