#include <fstream>

#include <gtest/gtest.h>

#include "common/program_version.h"
#include "shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

class FakeHelp final : public HelpViewer {
 public:
  std::optional<std::string> ShowManual(const std::filesystem::path& index,
                                        HelpTopic topic) override {
    shown.push_back({index, topic});
    return failure;
  }
  void ShowReport(const std::string& title, const std::string& text) override {
    reports.push_back(title + "\n" + text);
  }
  std::vector<std::pair<std::filesystem::path, HelpTopic>> shown;
  std::vector<std::string> reports;
  std::optional<std::string> failure;
};

constexpr const char* kNoHelp =
    "Unable to display Help Contents. There is no Help associated with this project.";

// A main window with a help viewer, its program folder in a scratch folder.
struct HelpRig : ShellRig {
  HelpRig() {
    SystemCheck check;
    check.backend = "simulated board: model 6 at 378h";
    check.root = folder / "machine";
    check.user = board::UserIdentity{4321, {}, "alice"};
    form =
        std::make_unique<MainForm>(Edges{port, timing, dialogs, windows, sounds, settings, clock,
                                         Folders{folder / "prog", folder, folder}, &help, check});
  }
  void InstallManual() {
    std::filesystem::create_directories(folder / "prog/manual");
    std::ofstream(folder / "prog/manual/index.html") << "<html></html>";
  }
  FakeHelp help;
};

TEST(HelpEntries, OpenTheInstalledManualAtItsContentsOrItsSearch) {
  HelpRig rig;
  rig.InstallManual();
  EXPECT_TRUE(rig.form->Click("mnuHelpContents"));
  EXPECT_TRUE(rig.form->Click("mnuHelpSearchForHelpOn"));
  ASSERT_EQ(rig.help.shown.size(), 2u);
  EXPECT_EQ(rig.help.shown[0].first, rig.folder / "prog/manual/index.html");
  EXPECT_EQ(rig.help.shown[0].second, HelpTopic::kContents);
  EXPECT_EQ(rig.help.shown[1].second, HelpTopic::kSearch);
  EXPECT_TRUE(rig.dialogs.messages.empty());

  // A viewer that fails says why, over the main window.
  rig.help.failure = "the help file is damaged";
  rig.form->mnuHelpContents_Click();
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0].text, "the help file is damaged");
}

TEST(HelpEntries, WithoutTheManualBothSpeakOfHelpContents) {
  for (const bool viewer : {true, false}) {
    ShellRig plain;      // no viewer at all
    HelpRig withViewer;  // a viewer, but no manual installed
    ShellRig& rig = viewer ? withViewer : plain;
    rig.form->mnuHelpContents_Click();
    rig.form->mnuHelpSearchForHelpOn_Click();
    ASSERT_EQ(rig.dialogs.messages.size(), 2u);
    for (const MessageRequest& box : rig.dialogs.messages) {
      EXPECT_EQ(box.text, kNoHelp);
      EXPECT_EQ(box.title, rig.form->frmMain.Caption());
      EXPECT_EQ(box.icon, MessageIcon::kInformation);
      EXPECT_EQ(box.buttons, MessageButtons::kOk);
    }
    EXPECT_TRUE(withViewer.help.shown.empty());
  }
}

TEST(AboutBox, ShowsTheTitleAndTheBuildsVersionModally) {
  ShellRig rig;
  EXPECT_EQ(rig.form->frmAbout["lblVersion"].Caption(), "");
  EXPECT_TRUE(rig.form->Click("mnuHelpAbout"));
  EXPECT_EQ(rig.windows.shown, std::vector<std::string>{"frmAbout"});
  EXPECT_EQ(rig.form->frmAbout["lblTitle"].Caption(), "Sorvell");
  const std::string version = std::to_string(common::kVersionMajor) + "." +
                              std::to_string(common::kVersionMinor) + "." +
                              std::to_string(common::kVersionRevision);
  EXPECT_EQ(rig.form->frmAbout["lblVersion"].Caption(), "Version " + version);
  EXPECT_EQ(version, common::kProgramVersion);
  // The caption has carried the same version since the first release.
  EXPECT_NE(rig.form->frmMain.Caption().find("(Version " + version + ")"), std::string::npos);
  EXPECT_EQ(rig.form->frmAbout["cmdSysInfo"].Caption(), "&System Info...");
  EXPECT_TRUE(rig.form->ClickAbout("cmdOK"));
  EXPECT_FALSE(rig.form->ClickAbout("lblTitle"));
}

TEST(AboutBox, SystemInfoReportsTheMachineOrSaysItIsUnavailable) {
  HelpRig rig;
  EXPECT_TRUE(rig.form->ClickAbout("cmdSysInfo"));  // the fake machine has nothing to read
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0].text, "System Information Is Unavailable At This Time");
  EXPECT_EQ(rig.dialogs.messages[0].buttons, MessageButtons::kOk);
  EXPECT_TRUE(rig.help.reports.empty());

  std::filesystem::create_directories(rig.folder / "machine/proc/sys/kernel");
  std::ofstream(rig.folder / "machine/proc/sys/kernel/osrelease") << "6.1.0\n";
  rig.form->cmdSysInfo_Click();
  ASSERT_EQ(rig.help.reports.size(), 1u);
  const std::string& report = rig.help.reports[0];
  EXPECT_EQ(report.find("System Information\nProgram: sorvell "), 0u) << report;
  EXPECT_NE(report.find("Qt: not used\n"), std::string::npos) << report;
  EXPECT_NE(report.find("Port backend in use: simulated board: model 6 at 378h"),
            std::string::npos);
  EXPECT_NE(report.find("User: alice (uid 4321)"), std::string::npos) << report;
  EXPECT_EQ(rig.dialogs.messages.size(), 1u);
}

}  // namespace
}  // namespace sorvell::shell::testing
