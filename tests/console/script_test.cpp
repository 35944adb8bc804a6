#include "console/script.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "../shell/shell_fakes.h"

namespace sorvell::console {
namespace {

using panel::Answer;
using panel::MessageButtons;
using panel::MessageIcon;

// Captures what a FILE* receives.
class Capture {
 public:
  Capture() : file_(open_memstream(&buffer_, &size_)) {}
  ~Capture() {
    std::fclose(file_);
    std::free(buffer_);
  }
  std::FILE* file() { return file_; }
  std::string Text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

struct ConsoleRig {
  explicit ConsoleRig(bool yes = false)
      : folder(std::filesystem::temp_directory_path() /
               ("sorvell-console-test-" + std::to_string(::getpid()))),
        dialogs(out.file(), yes),
        windows(out.file()) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    shell::BoardRequest request;
    std::string error;
    shell::AddBoardSpec("sim:none", request, error);
    backend = std::move(*shell::OpenPortBackend(request, error));
    form = std::make_unique<shell::MainForm>(shell::Edges{*backend.port, *backend.timing, dialogs,
                                                          windows, sounds, settings, clock,
                                                          panel::Folders{folder, folder, folder}});
    form->Form_Load();
  }
  bool Run(const std::string& script) {
    ScriptRunner runner(*form, dialogs, windows, backend, out.file(), err.file());
    std::istringstream in(script);
    return runner.Run(in);
  }

  ~ConsoleRig() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  Capture out, err;
  ScriptedDialogs dialogs;
  ConsoleWindows windows;
  SilentSounds sounds;
  MemorySettings settings;
  shell::testing::FixedClock clock;
  shell::PortBackend backend;
  std::unique_ptr<shell::MainForm> form;
};

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
