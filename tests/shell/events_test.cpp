#include <gtest/gtest.h>

#include "panel/window_layouts.h"
#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

TEST(ShellEventTest, OptionsInAnArrayAreExclusive) {
  ShellRig rig;
  Form& f = rig.form->frmMain;
  EXPECT_TRUE(rig.form->Click("HiLow_button(2)"));
  EXPECT_EQ(f["HiLow_button(0)"].Value(), 0);
  EXPECT_EQ(f["HiLow_button(2)"].Value(), 1);
  EXPECT_TRUE(rig.form->SetValue("LPTSelection(1)", 1));
  EXPECT_TRUE(rig.form->SetValue("LPTSelection(2)", 1));
  EXPECT_EQ(f["LPTSelection(1)"].Value(), 0);
  EXPECT_EQ(f["LPTSelection(2)"].ValueText(), "True");
}

TEST(ShellEventTest, DisabledOrUnknownControlsTakeNoClick) {
  ShellRig rig;
  rig.form->Form_Load();
  EXPECT_FALSE(rig.form->Click("Read_button"));
  EXPECT_FALSE(rig.form->Click("NoSuchControl"));
  EXPECT_FALSE(rig.form->Click("LoopFlashTest"));  // hidden and disabled
  EXPECT_FALSE(rig.form->SetValue("Slider1", 21));
  EXPECT_TRUE(rig.form->SetValue("Slider1", 20));
  EXPECT_EQ(rig.form->frmMain["Slider1"].Value(), 20);
}

TEST(ShellEventTest, CheckBoxClickToggles) {
  ShellRig rig;
  Control& box = rig.form->frmMain["VerifyAfterProgramming"];
  box.SetVisible(true);
  const int before = box.Value();
  rig.form->Click("VerifyAfterProgramming");
  EXPECT_EQ(box.Value(), 1 - before);
  EXPECT_FALSE(rig.form->SetValue("VerifyAfterProgramming", 2));
}

TEST(ShellEventTest, MenuPlaceholdersAndExit) {
  ShellRig rig;
  rig.form->Click("mnuToolsOptions");
  rig.form->Click("mnuFileClose");
  ASSERT_EQ(rig.dialogs.messages.size(), 2u);
  EXPECT_EQ(rig.dialogs.messages[0].text, "This menu option is not available.");
  EXPECT_EQ(rig.dialogs.messages[1].text, "Add 'mnuFileClose_Click' code.");
  EXPECT_EQ(rig.windows.mainClosed, 0);
  rig.form->Click("mnuFileExit");
  EXPECT_EQ(rig.windows.mainClosed, 1);
}

// Programming with no device chosen programs nothing, so no verify may follow it and "match".
TEST(ShellEventTest, NothingProgrammedOrComparedIsNeverAMatch) {
  SimRig rig;
  rig.boards.PlaceBoard(5, board::kLpt378);
  rig.form.Form_Load();
  rig.dialogs.answers = {Answer::kOk};
  rig.form.frmMain["Program_button"].SetEnabled(true);
  rig.form.Click("Program_button");
  EXPECT_NE(rig.Log().find("Device Not Supported - Status 9 - Please Report"), std::string::npos)
      << rig.Log();
  EXPECT_EQ(rig.Log().find("MATCHES"), std::string::npos) << rig.Log();
  rig.form.frmMain["Verify_button"].SetEnabled(true);
  rig.form.Click("Verify_button");
  EXPECT_EQ(rig.Log().find("MATCHES"), std::string::npos) << rig.Log();
}

TEST(ShellFormTest, MenusAndToolbarAsDesigned) {
  ShellRig rig;
  Form& f = rig.form->frmMain;
  EXPECT_EQ(f["mnuHelpAbout"].Caption(), "&About ");
  EXPECT_EQ(f["menuEraseCode"].Caption(), "Erase CODE Buffer (\"FF\")");
  EXPECT_EQ(f["xxx10"].Kind(), ControlKind::kMenuSeparator);
  EXPECT_EQ(f["LoadSetup3"].Container(), "LoadSetup");
  EXPECT_FALSE(f["LoadSetup1"].Enabled());
  EXPECT_FALSE(f["mnuFileSaveDataAs"].Enabled());
  EXPECT_EQ(ToolbarButton(f, 4).ToolTip(), "Open File into Data Buffer");
  EXPECT_EQ(f["Slider1"].Value(), 18);
  EXPECT_EQ(f["Slider1"].Maximum(), 20);
  EXPECT_EQ(f["PleaseSelect"].Caption(), "Please  Select Device");
  EXPECT_EQ(f["Voltage_button(2)"].ToolTip(),
            "Carefull. Few Eproms Use This Programming Voltage.  Can damage wrong eproms.");
  // Change listeners hear setters, and only real changes.
  int changes = 0;
  f.onChanged = [&](const Control&) { ++changes; };
  f["Error_label"].SetForeColor(kRed);
  f["Error_label"].SetForeColor(kRed);
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace sorvell::shell::testing
