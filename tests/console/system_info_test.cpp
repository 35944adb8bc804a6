#include "console/system_info.h"

#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include "console/exit_status.h"
#include "console/options.h"
#include "console_rig.h"

namespace sorvell::console::testing {
namespace {

TEST(SystemInfoOption, IsUnderstoodAndDescribedInTheUsage) {
  const char* argv[] = {"sorvell-cli", "--board", "sim:none", "--system-info"};
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions(4, const_cast<char**>(argv), options, error)) << error;
  EXPECT_TRUE(options.systemInfo);
  EXPECT_NE(std::string(kUsage).find("--system-info"), std::string::npos);
  EXPECT_NE(std::string(kUsage).find("--help"), std::string::npos);
}

TEST(SystemInfoOption, PrintsTheReportOrThatItIsUnavailable) {
  const auto root = std::filesystem::temp_directory_path() /
                    ("sorvell-sysinfo-cli-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  shell::SystemCheck check;
  check.backend = "simulated board: none on any port (asked for with --board)";
  check.root = root;
  check.user = board::UserIdentity{1234, {}, "carol"};

  Capture nothing;
  EXPECT_EQ(PrintSystemInfo(check, nothing.file()), kExitOk);
  EXPECT_EQ(nothing.Text(), "System Information Is Unavailable At This Time\n");

  std::filesystem::create_directories(root / "proc/sys/kernel");
  std::ofstream(root / "proc/sys/kernel/osrelease") << "6.1.0-18-amd64\n";
  Capture report;
  EXPECT_EQ(PrintSystemInfo(check, report.file()), kExitOk);
  const std::string text = report.Text();
  EXPECT_EQ(text.find("Program: sorvell "), 0u) << text;
  EXPECT_NE(text.find("Qt: not used\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Kernel: Linux 6.1.0-18-amd64\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Port backend in use: simulated board: none on any port"), std::string::npos);
  EXPECT_NE(text.find("sudo modprobe ppdev"), std::string::npos) << text;

  // Where the sounds and the manual were looked for, so an installation that lost them shows.
  check.programFolder = root / "share";
  std::filesystem::create_directories(check.programFolder / "manual");
  for (const char* sound : {"init.wav", "ok.wav"}) std::ofstream(check.programFolder / sound);
  const std::string folder = check.programFolder.string();
  for (const auto& [add, line] : std::vector<std::pair<std::vector<const char*>, std::string>>{
           {{}, " (sounds: missing error.wav, done.wav, slide.wav; manual: not installed)\n"},
           {{"error.wav", "done.wav", "slide.wav", "manual/index.html"},
            " (sounds: all 5; manual: manual/index.html)\n"}}) {
    for (const char* file : add) std::ofstream(check.programFolder / file);
    Capture files;
    PrintSystemInfo(check, files.file());
    EXPECT_NE(files.Text().find("\nProgram files: " + folder + line), std::string::npos)
        << files.Text();
  }
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace sorvell::console::testing
