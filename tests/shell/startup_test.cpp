#include <gtest/gtest.h>

#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

TEST(ShellStartupTest, EndsIdleWithNoDeviceAndAnEmptyLog) {
  ShellRig rig;
  MainForm& f = *rig.form;
  bool logEmptyWhenInitSounded = false;
  rig.sounds.onPlay = [&] { logEmptyWhenInitSounded = f.frmMain["SystemLog"].Caption().empty(); };
  f.panel.AddLog("left over from before start-up");
  f.Form_Load();

  EXPECT_EQ(rig.sounds.played, std::vector<std::string>{"init.wav"});
  EXPECT_TRUE(logEmptyWhenInitSounded);
  EXPECT_EQ(f.frmMain["SystemLog"].Caption(), "");
  for (const char* lamp : {"Error_label", "Program_label", "DataFlow_label"}) {
    EXPECT_EQ(f.frmMain[lamp].ForeColor(), kButtonFace) << lamp;
  }
  EXPECT_EQ(f.frmMain["Ready_label"].ForeColor(), kRed);
  EXPECT_EQ(f.frmMain["Ready_label"].Caption(), "NotReady");
  // No board answered the search, which replaced the start-up text.
  EXPECT_EQ(f.frmMain["SorvellHardwareFound"].Caption(), "NO HARDWARE FOUND");
  EXPECT_EQ(f.frmMain["PortSelected"].Caption(), "None");
  EXPECT_EQ(f.frmMain["Device"].Caption(), "Please Select Device on this List");
  EXPECT_TRUE(f.frmMain["PleaseSelect"].Visible());
  for (const char* name :
       {"Read_button", "Blank_button", "Program_button", "Verify_button", "Display_button",
        "Erase_button", "EraseFlash_button", "Show_button", "menuReadCode", "menuBlankCheck",
        "CheckCode", "CheckData", "Voltage_button(0)", "Voltage_button(3)", "tbToolBar:SaveCode"}) {
    EXPECT_FALSE(f.frmMain[name].Enabled()) << name;
  }
  for (const char* name : {"tbToolBar:Separator", "tbToolBar:OpenData", "FileNameDataText"}) {
    EXPECT_FALSE(f.frmMain[name].Visible()) << name;
  }
  EXPECT_EQ(f.frmMain["Frame3"].Caption(), "Code Buffer Hex/Ascii Display");
  EXPECT_EQ(f.LineBreak, "\r\n");
}

TEST(ShellStartupTest, AFailedSearchLeavesNoPortChosen) {
  ShellRig rig;
  rig.form->Form_Load();
  rig.form->Form_Unload();
  // Only the three board addresses were probed; after the search nothing reaches the port.
  for (const auto& access : rig.port.Accesses()) {
    const int base = access.port & ~3;
    EXPECT_TRUE(base == 0x278 || base == 0x378 || base == 0x3BC) << access.port;
  }
  EXPECT_EQ(rig.form->board.DataPort, 0);
  EXPECT_GT(rig.form->board.RefusedPortAccesses, 0u);
  // The idle state is still kept in the shadows.
  EXPECT_EQ(rig.form->board.Reg0Shadow, 0x40);
  EXPECT_EQ(rig.form->board.Reg3Shadow, 0xC4);
  // Start-up fills the read-back tables and the control-port table.
  EXPECT_EQ(rig.form->board.Decode.Model4Decode[0], 0x22);
  EXPECT_EQ(rig.form->board.StrobeTable[10], 5);
}

TEST(ShellStartupTest, TimerDisablesItselfAtItsFirstTick) {
  ShellRig rig;
  rig.form->Form_Load();
  EXPECT_TRUE(rig.form->frmMain["Timer1"].Enabled());
  rig.form->Timer1_Timer();
  EXPECT_FALSE(rig.form->frmMain["Timer1"].Enabled());
}

TEST(ShellPlacementTest, DefaultsThenStoredValuesAndStoreOnClose) {
  ShellRig rig;
  rig.form->Form_Load();
  EXPECT_EQ(rig.form->placement.left, 100);
  EXPECT_EQ(rig.form->placement.width, 100);
  EXPECT_EQ(rig.form->placement.height, 6500);

  rig.form->placement = {1440, 720, 12000.5f, 9000, false};
  rig.form->Form_Unload();
  EXPECT_EQ(rig.settings.values["Settings/MainLeft"], "1440");
  EXPECT_EQ(rig.settings.values["Settings/MainWidth"], "12000.5");
  EXPECT_EQ(rig.settings.values["Settings/MainHeight"], "9000");
  EXPECT_EQ(rig.windows.othersClosed, 1);

  rig.settings.values["Settings/MainTop"] = "not a number";
  rig.form->Form_Load();
  EXPECT_EQ(rig.form->placement.left, 1440);
  EXPECT_EQ(rig.form->placement.width, 12000.5f);
  EXPECT_EQ(rig.form->placement.top, 100);  // unreadable value: the default
}

TEST(ShellPlacementTest, ClosingMinimisedKeepsTheStoredPosition) {
  ShellRig rig;
  rig.settings.values["Settings/MainLeft"] = "300";
  rig.form->Form_Load();
  rig.form->placement.left = 5;
  rig.form->placement.minimised = true;
  rig.form->Form_Unload();
  EXPECT_EQ(rig.settings.values["Settings/MainLeft"], "300");
  EXPECT_EQ(rig.settings.values.count("Settings/MainWidth"), 0u);
}

}  // namespace
}  // namespace sorvell::shell::testing
