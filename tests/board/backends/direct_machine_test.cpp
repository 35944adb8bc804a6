#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "board/backends/direct_port.h"
#include "board/backends/extended_control.h"

namespace sorvell::board {
namespace {

namespace fs = std::filesystem;

// Registers that hold what is written; an ECR that behaves as an ECP port's does (FIFO bits read
// only, empty), or one that aliases the control port as on a card that decodes ten address bits.
class FakePorts final : public RawPorts {
 public:
  enum class Ecr { kNone, kPresent, kAliasOfControl };
  explicit FakePorts(Ecr ecr) : ecr_(ecr) {}

  int Grant(std::uint16_t first, std::uint16_t count, bool on) override {
    if (refusal != 0 && on) return refusal;
    for (std::uint16_t port = first; port < first + count; ++port) {
      if (on)
        granted.insert(port);
      else
        granted.erase(port);
    }
    return 0;
  }
  std::uint8_t In(std::uint16_t port) override {
    EXPECT_TRUE(granted.contains(port)) << std::hex << port;
    if (IsEcr(port)) {
      if (ecr_ == Ecr::kNone) return 0xFF;
      if (ecr_ == Ecr::kAliasOfControl) return values[port - kEcrOffset + kControlOffset];
      return static_cast<std::uint8_t>((values[port] & 0xFC) | 0x01);
    }
    return values[port];
  }
  void Out(std::uint16_t port, std::uint8_t value) override {
    EXPECT_TRUE(granted.contains(port)) << std::hex << port;
    writes.emplace_back(port, value);
    if (IsEcr(port) && ecr_ == Ecr::kAliasOfControl) port = port - kEcrOffset + kControlOffset;
    if (!IsEcr(port) || ecr_ == Ecr::kPresent) values[port] = value;
  }
  bool Privileged() override { return privileged; }
  void DropCapabilities() override { dropped = granted.size(); }

  static bool IsEcr(std::uint16_t port) { return port >= 0x600; }

  std::map<std::uint16_t, std::uint8_t> values;
  std::vector<std::pair<std::uint16_t, std::uint8_t>> writes;
  std::set<std::uint16_t> granted;
  int refusal = 0;
  bool privileged = false;
  std::size_t dropped = 0;  // ports granted when the capabilities went; 0 = never dropped

 private:
  Ecr ecr_;
};

constexpr std::uint16_t kEcr378 = 0x378 + kEcrOffset;
// Mode 011, as read with an empty FIFO: data writes would be strobed out by the hardware.
constexpr std::uint8_t kEcpFifoMode = 0x75;

class DirectMachineTest : public ::testing::Test {
 protected:
  void TearDown() override { fs::remove_all(root_); }

  std::shared_ptr<FakePorts> Ports(FakePorts::Ecr ecr) {
    ports_ = std::make_shared<FakePorts>(ecr);
    return ports_;
  }
  std::unique_ptr<DirectPort> Open(std::string& error) {
    return DirectPort::Open(error, {root_, ports_});
  }
  void Write(const std::string& file, const std::string& text) {
    fs::create_directories((root_ / file).parent_path());
    std::ofstream(root_ / file) << text;
  }

  const fs::path root_ =
      fs::temp_directory_path() / ("sorvell-direct-" + std::to_string(::getpid()));
  std::shared_ptr<FakePorts> ports_;
};

TEST_F(DirectMachineTest, AnEcpPortIsDrivenInByteModeAndLeftAsFound) {
  Ports(FakePorts::Ecr::kPresent)->values[kEcr378] = kEcpFifoMode;
  ports_->values[0x37A] = 0x0C;
  std::string error;
  auto port = Open(error);
  ASSERT_TRUE(port) << error;
  EXPECT_EQ(ports_->values[kEcr378] & 0xE0, 0x20) << "not in PS/2 mode";
  EXPECT_EQ(ports_->values[0x37A], 0x0C) << "the alias check left the control port changed";
  EXPECT_TRUE(ports_->granted.contains(kEcr378));
  EXPECT_EQ(ports_->dropped, ports_->granted.size()) << "capabilities kept after the grants";

  port->PortOut(0x378, 0x5A);
  EXPECT_EQ(ports_->values[0x378], 0x5A);
  port.reset();
  EXPECT_EQ(ports_->values[kEcr378], kEcpFifoMode);
  EXPECT_TRUE(ports_->granted.empty());
}

// Without an ECR (nothing answers, or base + 402h reads the control port) nothing is written
// there, and the control port ends as it was.
TEST_F(DirectMachineTest, NoEcrIsWrittenWhereThereIsNone) {
  for (const auto kind : {FakePorts::Ecr::kNone, FakePorts::Ecr::kAliasOfControl}) {
    Ports(kind)->values[0x37A] = 0x01;  // low bits that look like an empty FIFO
    std::string error;
    auto port = Open(error);
    ASSERT_TRUE(port) << error;
    port.reset();
    for (const auto& [at, value] : ports_->writes) EXPECT_LT(at, 0x600) << std::hex << at;
    EXPECT_EQ(ports_->values[0x37A], 0x01);
  }
}

TEST_F(DirectMachineTest, AKernelDriverOwningABaseIsRefused) {
  Ports(FakePorts::Ecr::kPresent);
  Write("proc/ioports", "0000-0cf7 : PCI Bus 0000:00\n  0278-027a : parport0\n");
  std::string error;
  EXPECT_FALSE(Open(error));
  EXPECT_NE(error.find("278h belongs to the kernel's parallel-port driver (parport0)"),
            std::string::npos)
      << error;
  EXPECT_NE(error.find("--board ppdev"), std::string::npos) << error;
  EXPECT_TRUE(ports_->granted.empty());
  EXPECT_TRUE(ports_->writes.empty());

  fs::remove(root_ / "proc/ioports");
  Write("proc/sys/dev/parport/parport1/base-addr", "956\t0\n");
  EXPECT_FALSE(Open(error));
  EXPECT_NE(error.find("3BCh belongs to the kernel's parallel-port driver (parport1)"),
            std::string::npos)
      << error;
}

TEST_F(DirectMachineTest, ARefusalNamesLockdownOrTheMissingPrivilege) {
  Ports(FakePorts::Ecr::kNone)->refusal = EPERM;
  std::string error;
  EXPECT_FALSE(Open(error));
  EXPECT_NE(error.find("CAP_SYS_RAWIO"), std::string::npos) << error;

  ports_->privileged = true;
  Write("sys/kernel/security/lockdown", "none [integrity] confidentiality\n");
  EXPECT_FALSE(Open(error));
  EXPECT_NE(error.find("locked down [integrity], as under Secure Boot"), std::string::npos)
      << error;
  EXPECT_EQ(error.find("CAP_SYS_RAWIO"), std::string::npos) << error;

  Write("sys/kernel/security/lockdown", "[none] integrity confidentiality\n");
  EXPECT_FALSE(Open(error));
  EXPECT_EQ(error.find("locked down"), std::string::npos) << error;
  EXPECT_EQ(ports_->dropped, 0u);
}

}  // namespace
}  // namespace sorvell::board
