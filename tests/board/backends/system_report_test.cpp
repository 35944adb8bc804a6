#include "board/backends/system_report.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace sorvell::board {
namespace {

namespace fs = std::filesystem;

// Names the whole report when a line is missing.
#define EXPECT_HAS(report, text) EXPECT_NE((report).find(text), std::string::npos) << (report)
#define EXPECT_LACKS(report, text) EXPECT_EQ((report).find(text), std::string::npos) << (report)

// A fake machine: /proc, /sys, /dev and /etc/group under a scratch folder. The device nodes are
// plain files owned by whoever runs the test; the user the report judges is someone else (uid
// never 0), whose groups decide whether the node's group bits let them in. The files' group is
// named lp in the fake etc/group.
class SystemReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string root = (fs::temp_directory_path() / "sorvell-sysinfo-XXXXXX").string();
    ASSERT_NE(::mkdtemp(root.data()), nullptr);
    root_ = root;
    lpGid_ = static_cast<unsigned>(::getgid());
    user_ = {::getuid() + 1000, {lpGid_ + 1000}, "alice"};
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& relative, const std::string& text) {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative) << text;
  }

  // A machine that lists one port at `base`, with the modules and the node as given.
  void Machine(const std::string& base, const std::string& modules, bool node,
               fs::perms mode = fs::perms::owner_read | fs::perms::owner_write |
                                fs::perms::group_read | fs::perms::group_write) {
    Write("proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
    Write("proc/sys/kernel/ostype", "Linux\n");
    Write("proc/modules", modules);
    Write("proc/sys/dev/parport/parport0/base-addr", base + "\t0\n");
    Write("etc/group", "wheel:x:" + std::to_string(lpGid_ + 500) +
                           ":\nlp:x:" + std::to_string(lpGid_) + ":bob\n");
    fs::create_directories(root_ / "dev");
    if (node) {
      Write("dev/parport0", "");
      fs::permissions(root_ / "dev/parport0", mode);
      fs::create_directories(root_ / "sys/class/ppdev/parport0");
    }
  }

  std::string Report() {
    const auto report = SystemReport({"1.0.66", "6.4.2", "ppdev: 378h"}, root_, user_);
    EXPECT_TRUE(report.has_value());
    return report.value_or("");
  }

  fs::path root_;
  unsigned lpGid_ = 0;
  UserIdentity user_;
};

constexpr const char* kAllLoaded =
    "ppdev 24576 0 - Live 0x0\nparport_pc 32768 0 - Live 0x0\nparport 73728 2 ppdev,parport_pc, "
    "Live 0x0\n";

TEST_F(SystemReportTest, AUsablePortIsListedWithItsNodeAndNoProblem) {
  Machine("888", kAllLoaded, true);
  user_.groups.push_back(lpGid_);
  const std::string report = Report();
  EXPECT_HAS(report, "Program: sorvell 1.0.66\n");
  EXPECT_HAS(report, "Qt: 6.4.2\n");
  EXPECT_HAS(report, "Kernel: Linux 6.1.0-18-amd64\n");
  EXPECT_HAS(report, "Port backend in use: ppdev: 378h\n");
  EXPECT_HAS(report, "User: alice (uid " + std::to_string(user_.uid) + "), in group lp");
  EXPECT_HAS(report, "  parport_pc: loaded\n  ppdev: loaded\n  lp: not loaded\n");
  EXPECT_HAS(report, "  parport0 at 378h (a board address)\n");
  EXPECT_HAS(report, "/dev/parport0: mode 660, group lp, this user may open it");
  EXPECT_HAS(report, "ppdev devices (/sys/class/ppdev): parport0");
  EXPECT_HAS(report, "No problem found.");
}

TEST_F(SystemReportTest, ANodeThisUserMayNotOpenNamesTheGroupFix) {
  Machine("632", kAllLoaded, true);
  const std::string report = Report();
  EXPECT_HAS(report, "not in group lp");
  EXPECT_HAS(report, "parport0 at 278h (a board address)");
  EXPECT_HAS(report, "this user may not open it");
  EXPECT_HAS(report, "sudo usermod -aG lp alice");
  EXPECT_LACKS(report, "No problem found.");

  // Listed in etc/group but not in the process's groups: added since logging in.
  user_.name = "bob";
  EXPECT_HAS(Report(), "log out and in again");
  EXPECT_LACKS(Report(), "usermod");
}

TEST_F(SystemReportTest, ANodeOfAnotherGroupOrWithoutGroupWriteGetsItsOwnFix) {
  Machine("956", kAllLoaded, true, fs::perms::owner_read | fs::perms::owner_write);
  user_.groups.push_back(lpGid_);
  std::string report = Report();
  EXPECT_HAS(report, "parport0 at 3BCh");
  EXPECT_HAS(report, "mode 600");
  EXPECT_HAS(report, "sudo chmod 660 /dev/parport0");

  Write("etc/group", "lp:x:" + std::to_string(lpGid_ + 7) + ":\n");
  user_.groups = {lpGid_ + 7};
  report = Report();
  EXPECT_HAS(report, "group " + std::to_string(lpGid_) + ",");
  EXPECT_HAS(report, "sudo chgrp lp /dev/parport0");
}

TEST_F(SystemReportTest, MissingModulesAndNodesAreNamedWithTheirFix) {
  Machine("888", "lp 20480 0 - Live 0x0\n", false);
  fs::remove_all(root_ / "proc/sys/dev/parport");
  std::string report = Report();
  EXPECT_HAS(report, "  parport_pc: not loaded\n  ppdev: not loaded\n  lp: loaded\n");
  EXPECT_HAS(report, "sudo modprobe parport_pc");
  EXPECT_HAS(report, "sudo modprobe ppdev");
  EXPECT_HAS(report, "sudo modprobe -r lp");
  EXPECT_HAS(report, "(/proc/sys/dev/parport):\n  none\n");
  EXPECT_HAS(report, "ppdev devices (/sys/class/ppdev): none");

  // A module built into the kernel shows under /sys/module only.
  fs::create_directories(root_ / "sys/module/parport_pc");
  Write("proc/sys/dev/parport/parport0/base-addr", "888\t0\n");
  report = Report();
  EXPECT_HAS(report, "  parport_pc: loaded\n");
  EXPECT_HAS(report, "/dev/parport0: missing");
  EXPECT_HAS(report, "/dev/parport0 is missing");
}

TEST_F(SystemReportTest, APortAwayFromTheBoardAddressesIsReported) {
  Machine("53264", kAllLoaded, true);
  user_.groups.push_back(lpGid_);
  const std::string report = Report();
  EXPECT_HAS(report, "parport0 at D010h (not a board address)");
  EXPECT_HAS(report, "map it to one, e.g. --board ppdev:/dev/parport0@378");
  EXPECT_HAS(report, "set it to 378h, 278h or 3BCh in the BIOS setup");
}

TEST_F(SystemReportTest, KernelLockdownIsReportedWithWhatItBlocks) {
  Machine("888", kAllLoaded, true);
  EXPECT_HAS(Report(), "Kernel lockdown: not reported\n");
  Write("sys/kernel/security/lockdown", "[none] integrity confidentiality\n");
  EXPECT_HAS(Report(), "Kernel lockdown: none\n");
  Write("sys/kernel/security/lockdown", "none [integrity] confidentiality\n");
  EXPECT_HAS(Report(),
             "Kernel lockdown: integrity (direct port access is blocked for every "
             "process, root included; ppdev is not)\n");
}

TEST_F(SystemReportTest, AMachineWhereNothingCanBeReadHasNoReport) {
  EXPECT_EQ(SystemReport({"1.0.66", "not used", "sim"}, root_ / "nowhere", user_), std::nullopt);
  // The kernel release alone is enough to report on.
  Write("proc/sys/kernel/osrelease", "6.1.0\n");
  EXPECT_HAS(Report(), "Kernel: Linux 6.1.0\n");
}

}  // namespace
}  // namespace sorvell::board
