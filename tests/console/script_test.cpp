#include "console/script.h"

#include <gtest/gtest.h>

#include "console_rig.h"

namespace sorvell::console {
namespace {

using testing::Capture;
using testing::ConsoleRig;

using panel::Answer;
using panel::MessageButtons;
using panel::MessageIcon;

TEST(ConsoleDialogTest, QueuedAnswersDefaultsAndYes) {
  Capture out;
  ScriptedDialogs dialogs(out.file(), false);
  const panel::MessageRequest safety{"Program the Device?", "Safety Question",
                                     MessageButtons::kOkCancel, MessageIcon::kQuestion,
                                     Answer::kCancel};
  EXPECT_EQ(dialogs.Message(safety), Answer::kCancel);
  dialogs.Queue("OK");
  EXPECT_EQ(dialogs.Message(safety), Answer::kOk);
  dialogs.Queue("Yes");  // not a button of this box: the default stands
  EXPECT_EQ(dialogs.Message(safety), Answer::kCancel);
  dialogs.Queue("/tmp/image.bin");
  EXPECT_EQ(dialogs.File({false, "Open Code File", "", ""}),
            std::filesystem::path("/tmp/image.bin"));
  EXPECT_EQ(dialogs.File({true, "Save Code File", "", ""}), std::nullopt);
  EXPECT_EQ(out.Text(),
            "DIALOG [Safety Question] Program the Device? => Cancel\n"
            "DIALOG [Safety Question] Program the Device? => OK\n"
            "DIALOG [Safety Question] Program the Device? => Cancel\n"
            "DIALOG [Open Code File] Open file => /tmp/image.bin\n"
            "DIALOG [Save Code File] Save file => Cancel\n");

  ScriptedDialogs yes(out.file(), true);
  EXPECT_EQ(yes.Message(safety), Answer::kOk);
  EXPECT_EQ(yes.Input("Setup name?", "Save Setup", "Mine"), "Mine");
}

TEST(ConsoleScriptTest, ShowSelectAndSet) {
  ConsoleRig rig;
  ASSERT_TRUE(
      rig.Run("# a comment\n\n  show PortSelected\nset PortSelected 378h\n"
              "select Device Eprom 27C080\nselect Device 11\nshow Device\n"));
  EXPECT_EQ(rig.out.Text(),
            "PortSelected enabled=True visible=True caption=\"None\" value=0 colour=80000012\n"
            "Device enabled=True visible=True caption=\"Eprom 27C256                  \" "
            "value=11 colour=80000012\n");
  EXPECT_EQ(rig.form->frmMain["PortSelected"].Caption(), "378h");
  EXPECT_EQ(rig.form->device.DeviceFamily, "P4");
}

TEST(ConsoleScriptTest, BadLinesAreNamedWithTheirNumber) {
  for (const char* script : {"click NoSuchButton\n", "select Device 99\n", "set Slider1 99\n",
                             "set HiLow_button(1) yes\n", "dblclick Read_button\n", "answer\n",
                             "sim insert 27C256\n", "click\n"}) {
    ConsoleRig rig;
    EXPECT_FALSE(rig.Run(std::string("show Slider1\n") + script)) << script;
    EXPECT_NE(rig.err.Text().find("line 2:"), std::string::npos) << rig.err.Text();
  }
}

TEST(ConsoleScriptTest, DisabledClicksAreNotedAndTheScriptGoesOn) {
  ConsoleRig rig;
  ASSERT_TRUE(rig.Run("click Read_button\nshow Slider1\n"));
  EXPECT_NE(rig.err.Text().find("line 1: Read_button is disabled"), std::string::npos);
  EXPECT_NE(rig.out.Text().find("Slider1 "), std::string::npos);
}

TEST(ConsoleScriptTest, SetOnADisabledControlIsNotedAndChangesNothing) {
  ConsoleRig rig;  // no device selected: every programming voltage is disabled
  ASSERT_FALSE(rig.form->frmMain["Voltage_button(3)"].Enabled());
  ASSERT_TRUE(rig.Run("set Voltage_button(3) True\nshow Slider1\n"));
  EXPECT_EQ(rig.form->frmMain["Voltage_button(3)"].Value(), 0);
  EXPECT_NE(rig.err.Text().find("line 1: Voltage_button(3) is disabled; the change does nothing"),
            std::string::npos)
      << rig.err.Text();
  EXPECT_NE(rig.out.Text().find("Slider1 "), std::string::npos);
}

TEST(ConsoleScriptTest, ControlCharactersAreRefusedWithTheLineNumber) {
  const std::pair<std::string, std::string> damaged[] = {
      {std::string("show Slider1\0\n", 14), "00h"},
      {"show \x1bSlider1\n", "1Bh"},
      {"show Slider1\x7f\n", "7Fh"},
      {"show\rSlider1\n", "0Dh"},
      {"set Slider1 1\r\r\n", "0Dh"}};
  for (const auto& [line, code] : damaged) {
    ConsoleRig rig;
    EXPECT_FALSE(rig.Run("show Slider1\n" + line + "show Slider1\n")) << code;
    EXPECT_NE(rig.err.Text().find("line 2: control character " + code), std::string::npos)
        << rig.err.Text();
    EXPECT_EQ(rig.out.Text().find("Slider1", 10), std::string::npos) << "line 3 ran";
  }
  ConsoleRig rig;  // tabs separate words; a CR before the line end is dropped
  ASSERT_TRUE(rig.Run("set\tSlider1\t20\r\nshow Slider1\r\n")) << rig.err.Text();
  EXPECT_EQ(rig.form->frmMain["Slider1"].Value(), 20);
}

TEST(ConsoleScriptTest, ShowKeepsTheLogOnOneLine) {
  ConsoleRig rig;
  rig.form->panel.AddLog("A \"quoted\" word");
  ASSERT_TRUE(rig.Run("show SystemLog\n"));
  EXPECT_EQ(rig.out.Text(),
            "SystemLog enabled=True visible=True caption=\"\\r\\n10:58:39>  A \\\"quoted\\\" "
            "word\" value=0 colour=80000012\n");
}

}  // namespace
}  // namespace sorvell::console
