// An operator script stops at the first event that fails or is not done, and exits with its
// status; a Cancel the script answers itself is what it asked for.
#include <gtest/gtest.h>

#include <fstream>

#include "console/exit_status.h"
#include "console_rig.h"
#include "shell/setup_file.h"

namespace sorvell::console {
namespace {

using testing::ConsoleRig;

// In the log or among the dialogs and shown controls.
bool Logged(ConsoleRig& rig, const std::string& text) {
  return (rig.out.Text() + rig.form->frmMain["SystemLog"].Caption()).find(text) !=
         std::string::npos;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(ScriptOutcomeTest, ARefusedFileStopsTheScriptBeforeTheBurn) {
  for (const bool keepGoing : {false, true}) {
    ConsoleRig rig(false, "sim:5@378");
    WriteFile(rig.folder / "bad.hex", ":0100000000FE\n:00000001FF\n");
    WriteFile(rig.folder / "old.bin", std::string(32768, '\x11'));
    // The buffer still holds the image loaded before the refused one.
    const std::string script = "sim insert 27C256\nselect Device Eprom 27C256\nanswer " +
                               (rig.folder / "old.bin").string() + "\nclick mnuFileOpenCode\n" +
                               "answer " + (rig.folder / "bad.hex").string() +
                               "\nclick mnuFileOpenCode\nanswer OK\nclick Program_button\n";
    ASSERT_TRUE(rig.Run(script, keepGoing));
    EXPECT_EQ(rig.status, kExitNotDone);
    EXPECT_TRUE(Logged(rig, "File Not Loaded"));
    // Only with --keep-going does the Program that follows run.
    EXPECT_EQ(Logged(rig, "Programming Button Pressed"), keepGoing) << rig.out.Text();
    EXPECT_EQ(rig.err.Text().find("--keep-going") != std::string::npos, !keepGoing);
  }
}

TEST(ScriptOutcomeTest, TheScriptsOwnCancelGoesOnTheDefaultOneStops) {
  ConsoleRig rig(false, "sim:5@378");
  WriteFile(rig.folder / "image.bin", std::string(32768, '\x11'));
  ASSERT_TRUE(rig.Run("select Device Eprom 27C256\nanswer " + (rig.folder / "image.bin").string() +
                      "\nclick mnuFileOpenCode\nanswer Cancel\nclick Program_button\n"));
  EXPECT_EQ(rig.status, kExitOk);
  ASSERT_TRUE(rig.Run("click Program_button\nshow Read_button\n"));  // Cancel by default
  EXPECT_EQ(rig.status, kExitNotDone);
  EXPECT_EQ(rig.out.Text().find("Read_button enabled"), std::string::npos);
}

// A setup naming 21 V for a 12.5 V part is refused: the board would give 12.5 V while the log
// said 21 V. Nothing changes, and the script stops there.
TEST(ScriptOutcomeTest, ASetupWithAnOptionThePartLacksIsNotRestored) {
  ConsoleRig rig(false, "sim:5@378");
  ASSERT_TRUE(rig.Run("select Device Eprom 27C64\n"));
  std::string setup = shell::FormatSetup(rig.form->frmMain, "hot", "");
  const auto swap = [&setup](const std::string& from, const std::string& to) {
    setup.replace(setup.find(from), from.size(), to);
  };
  swap("Voltage_button(1).value = True", "Voltage_button(1).value = False");
  swap("Voltage_button(2).value = False", "Voltage_button(2).value = True");
  WriteFile(rig.folder / "SVSetup1.INI", setup);
  ASSERT_TRUE(rig.Run("click Setup\nclick LoadSetup1\nclick Read_button\n"));
  EXPECT_EQ(rig.status, kExitNotDone);
  EXPECT_TRUE(Logged(rig, "SETUP NOT RESTORED FROM SVSetup1.INI: line 6 sets Voltage_button(2)"))
      << rig.out.Text();
  EXPECT_FALSE(Logged(rig, "BE CAREFULL"));
  EXPECT_EQ(rig.form->device.VppVolts, 12);
  EXPECT_EQ(rig.form->frmMain["Voltage_button(1)"].Value(), 1);
  EXPECT_FALSE(Logged(rig, "Start Device Reading"));
}

// Every erase asks first; Cancel leaves the part as it was and says so.
TEST(ScriptOutcomeTest, EveryEraseAsksAndACancelKeepsThePart) {
  for (const auto& [part, entry, size] : {std::tuple{"X28C256", "Eeprom XICOR X28C256", 32768},
                                          std::tuple{"24C16", "Eeprom 24C16 Serial (8 pins)", 2048},
                                          std::tuple{"AM29F010", "Flash AMD AM29F010", 131072}}) {
    ConsoleRig rig(false, "sim:5@378");
    const std::string image(static_cast<std::size_t>(size), '\x42');
    WriteFile(rig.folder / "image.bin", image);
    const std::string cells = (rig.folder / "cells.bin").string();
    ASSERT_TRUE(rig.Run(std::string("sim insert ") + part + " " +
                        (rig.folder / "image.bin").string() + "\nselect Device " + entry +
                        "\nanswer Cancel\nclick EraseFlash_button\nsim save " + cells + "\n"))
        << rig.err.Text();
    EXPECT_EQ(rig.status, kExitOk) << part;  // the script's own Cancel
    EXPECT_TRUE(Logged(rig,
                       "DIALOG [Safety Question] Are you SURE about Erase the Device? => "
                       "Cancel"))
        << part;
    EXPECT_TRUE(Logged(rig, "Erasing Operation was Canceled by Operator")) << part;
    EXPECT_EQ(rig.form->LastOutcome().reason, panel::NotDoneReason::kCancelled);
    std::ifstream saved(cells, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), image) << part;
  }
}

// After a read the buffer is the part's image: Save Code asks for a name instead of writing the
// part over the file that was loaded.
TEST(ScriptOutcomeTest, SaveCodeAfterAReadAsksAndKeepsTheSourceImage) {
  ConsoleRig rig(false, "sim:5@378");
  const std::string source(32768, '\x5A');
  WriteFile(rig.folder / "source.bin", source);
  ASSERT_TRUE(rig.Run("sim insert 27C256\nselect Device Eprom 27C256\nanswer " +
                      (rig.folder / "source.bin").string() +
                      "\nclick mnuFileOpenCode\nclick Read_button\nshow FileNameCodeText\nanswer " +
                      (rig.folder / "part.bin").string() + "\nclick mnuFileSaveCode\n"));
  EXPECT_EQ(rig.status, kExitOk) << rig.err.Text();
  EXPECT_TRUE(Logged(rig, "caption=\"Read from Eprom 27C256 - not saved to a file\""))
      << rig.out.Text();
  EXPECT_TRUE(Logged(rig, "DIALOG [Save CODE BUFFER ...] Save file"));
  std::ifstream kept(rig.folder / "source.bin", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), source);
  EXPECT_EQ(std::filesystem::file_size(rig.folder / "part.bin"), 32768u);
}

}  // namespace
}  // namespace sorvell::console
