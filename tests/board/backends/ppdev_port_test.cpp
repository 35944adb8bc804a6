#include "board/backends/ppdev_port.h"

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "board/backends/parport_proc.h"

namespace sorvell::board {
namespace {

namespace fs = std::filesystem;

constexpr fs::perms kReadable = fs::perms::owner_all | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec;

TEST(PpdevBaseAddr, TakesTheFirstDecimalNumber) {
  EXPECT_EQ(ParseBaseAddr("888\t0\n"), 888u);
  EXPECT_EQ(ParseBaseAddr("  632\t1656\n"), 632u);
  EXPECT_EQ(ParseBaseAddr("53264"), 53264u);
  for (const char* bad : {"", "\n", "0x378", "-888", "888abc", "base"}) {
    EXPECT_EQ(ParseBaseAddr(bad), std::nullopt) << bad;
  }
}

// A fake /proc/sys/dev/parport and /dev, readable by an unprivileged user too.
class PpdevPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string root = (fs::temp_directory_path() / "sorvell-ppdev-XXXXXX").string();
    ASSERT_NE(::mkdtemp(root.data()), nullptr);
    root_ = root;
    paths_ = {(root_ / "proc").string(), (root_ / "dev").string(), {}};
    for (const fs::path& dir : {root_, fs::path(paths_.procRoot), fs::path(paths_.devRoot)}) {
      fs::create_directory(dir);
      fs::permissions(dir, kReadable);
    }
  }
  void TearDown() override { fs::remove_all(root_); }

  void ListPort(int number, const std::string& baseAddr) {
    const fs::path dir = fs::path(paths_.procRoot) / ("parport" + std::to_string(number));
    fs::create_directory(dir);
    fs::permissions(dir, kReadable);
    if (!baseAddr.empty()) std::ofstream(dir / "base-addr") << baseAddr;
  }

  // A plain file where the device node belongs: it opens, but is no ppdev device.
  std::string AddPlainFile(int number, fs::perms mode) {
    const std::string path = DevicePath(number);
    std::ofstream(path) << "";
    fs::permissions(path, mode);
    return path;
  }

  std::string DevicePath(int number) const {
    return paths_.devRoot + "/parport" + std::to_string(number);
  }

  std::string OpenError() {
    std::string error;
    EXPECT_EQ(PpdevPort::Open(error, paths_), nullptr);
    return error;
  }

  fs::path root_;
  PpdevPaths paths_;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(PpdevPortTest, NoPortListedAsksForTheKernelModules) {
  for (const std::string& procRoot : {paths_.procRoot, (root_ / "absent").string()}) {
    paths_.procRoot = procRoot;
    const std::string error = OpenError();
    EXPECT_TRUE(Contains(error, "No parallel port is listed in " + procRoot)) << error;
    EXPECT_TRUE(Contains(error, "sudo modprobe parport_pc ppdev")) << error;
  }
}

TEST_F(PpdevPortTest, PortsOnlyAtOtherAddressesAreNamedInOrder) {
  ListPort(10, "53264\t0\n");
  ListPort(2, "66424\t0\n");  // 10378h: must not be taken for 378h
  ListPort(1, "");
  fs::create_directory(fs::path(paths_.procRoot) / "default");  // kernel settings, not a port
  const std::string error = OpenError();
  EXPECT_TRUE(Contains(error, "No parallel port is at a board address")) << error;
  EXPECT_TRUE(Contains(error,
                       "lists parport1 at an unreadable address, parport2 at 10378h, "
                       "parport10 at D010h."))
      << error;
  EXPECT_TRUE(Contains(error, "--board ppdev:/dev/parport1@378")) << error;
}

// A mapped node is opened for its slot whatever the kernel lists at the board bases, and any
// failure of a node the operator named fails the whole open.
TEST_F(PpdevPortTest, MappedNodesServeTheirSlotsAndOnlyThem) {
  ListPort(0, "888\t0\n");    // at 378h, but not asked for: left alone
  ListPort(1, "53264\t0\n");  // the card at D010h
  const std::string card = AddPlainFile(1, kReadable);
  paths_.mapped = {{card, kLpt278}};
  EXPECT_EQ(OpenError(), card + " (mapped to 278h) is not a ppdev parallel port device " +
                             "(Inappropriate ioctl for device).");

  paths_.mapped = {{card, kLpt3BC}, {DevicePath(7), kLpt378}};
  const std::string error = OpenError();
  EXPECT_TRUE(Contains(error, card + " (mapped to 3BCh)")) << error;
  EXPECT_TRUE(Contains(error, DevicePath(7) + " (mapped to 378h) does not exist: check the name"))
      << error;
  EXPECT_FALSE(Contains(error, DevicePath(0))) << error;

  paths_.mapped = {{card, 0x3BD}};
  EXPECT_EQ(OpenError(),
            card + ": 3BDh is not a free board address (378h, 278h or 3BCh, each once).");
}

// Every port at a board base is tried, one failure line each; ports elsewhere are left alone.
TEST_F(PpdevPortTest, EachBoardBaseIsTriedAtItsOwnDeviceNode) {
  ListPort(0, "888\t0\n");
  ListPort(1, "632\t0\n");
  ListPort(4, "53264\t0\n");
  ListPort(5, "956\t0\n");
  const std::string plain = AddPlainFile(1, kReadable);
  AddPlainFile(4, kReadable);
  const std::string error = OpenError();
  EXPECT_EQ(error, DevicePath(0) + " (the port at 378h) does not exist: the ppdev kernel module " +
                       "is not loaded. Load it with: sudo modprobe ppdev\n" + plain +
                       " (the port at 278h) is not a ppdev parallel port device (Inappropriate " +
                       "ioctl for device).\n" + DevicePath(5) + " (the port at 3BCh) does not " +
                       "exist: the ppdev kernel module is not loaded. Load it with: sudo " +
                       "modprobe ppdev");
}

// A port that goes away under a run (a USB adapter unplugged) fails every register call. Each
// access then throws, naming the node, its board base, the access and the system's words, and
// never reads as FFh. A plain file stands in for the node: it opens, and every ppdev call on it
// fails.
TEST_F(PpdevPortTest, AFailedRegisterCallThrowsNamingTheNodeAndTheError) {
  ListPort(0, "888\t0\n");
  const std::string node = AddPlainFile(0, kReadable);
  paths_.claim = [](const std::string& device, const std::string&) {
    return PpdevClaim{::open(device.c_str(), O_RDWR | O_CLOEXEC), {}};
  };
  std::string error;
  const auto port = PpdevPort::Open(error, paths_);
  ASSERT_NE(port, nullptr) << error;
  struct Access {
    std::uint16_t port;
    bool write;
    const char* said;
  };
  for (const Access& access : {Access{0x378, true, "writing the data port"},
                               Access{0x37A, true, "writing the control port"},
                               Access{0x379, false, "reading the status port"},
                               Access{0x378, false, "reading the data port"},
                               Access{0x37A, false, "reading the control port"}}) {
    try {
      if (access.write) {
        port->PortOut(access.port, 0x55);
      } else {
        port->PortIn(access.port);
      }
      ADD_FAILURE() << access.said << ": no fault";
    } catch (const PortFault& fault) {
      EXPECT_EQ(std::string(fault.what()),
                node + " (the port at 378h): " + access.said + ": Inappropriate ioctl for device");
    }
  }
  // The status register has no outputs, and a base not open is an empty address: no call.
  EXPECT_NO_THROW(port->PortOut(0x379, 0));
  EXPECT_EQ(port->PortIn(0x279), 0xFF);
}

struct ChildResult {
  int exitCode = -1;
  std::string error;
};

constexpr int kCannotDropRoot = 2;
constexpr uid_t kNobody = 65534;

// Root ignores file modes, so the open runs in a child that gives up root first.
ChildResult OpenAsUnprivilegedUser(const PpdevPaths& paths) {
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(kCannotDropRoot);
    }
    std::string error;
    const bool opened = PpdevPort::Open(error, paths) != nullptr;
    const ssize_t written = ::write(pipe[1], error.data(), error.size());
    ::_exit(opened || written < 0 ? 1 : 0);
  }
  ::close(pipe[1]);
  ChildResult result;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;) result.error.append(buffer, n);
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST_F(PpdevPortTest, PermissionDeniedPointsToTheLpGroup) {
  ListPort(0, "888\t0\n");
  const std::string node = AddPlainFile(0, fs::perms::none);
  const ChildResult child = OpenAsUnprivilegedUser(paths_);
  if (child.exitCode == kCannotDropRoot) GTEST_SKIP() << "cannot switch to an unprivileged user";
  ASSERT_EQ(child.exitCode, 0) << child.error;
  EXPECT_TRUE(Contains(child.error, "Permission denied opening " + node + " (the port at 378h)"))
      << child.error;
  EXPECT_TRUE(Contains(child.error,
                       "add your user to the lp group (sudo usermod -aG lp $USER) "
                       "and log in again."))
      << child.error;
}

}  // namespace
}  // namespace sorvell::board
