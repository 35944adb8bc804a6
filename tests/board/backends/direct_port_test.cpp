#include "board/backends/direct_port.h"

#include <gtest/gtest.h>

namespace sorvell::board {
namespace {

// Whether the kernel grants port access depends on the machine (privilege, container, kernel
// build), so these tests accept either outcome and check what each one promises. A privileged
// process is not tried: opening probes the extended control register and gives up the process's
// capabilities, which the later tests need. The fake port layer tests cover that path.

bool WouldDriveRealPorts() {
  const auto machine = MachinePorts();
  return machine && machine->Privileged();
}

TEST(DirectPort, EitherGrantsTheBasesOrExplainsTheAlternative) {
  if (WouldDriveRealPorts()) GTEST_SKIP() << "privileged: would drive the machine's ports";
  std::string error;
  const std::unique_ptr<DirectPort> port = DirectPort::Open(error);
  if (port) {
    EXPECT_FALSE(port->Bases().empty());
    EXPECT_TRUE(error.empty()) << error;
    return;
  }
  EXPECT_NE(error.find("Direct port"), std::string::npos) << error;
  EXPECT_NE(error.find("ppdev"), std::string::npos) << error;
  if (error.find("refused") != std::string::npos) {
    EXPECT_NE(error.find("CAP_SYS_RAWIO"), std::string::npos) << error;
    EXPECT_NE(error.find("setcap cap_sys_rawio+ep /"), std::string::npos) << error;
  }
}

TEST(DirectPort, ReadsFFFromPortsOutsideTheGrant) {
  if (WouldDriveRealPorts()) GTEST_SKIP() << "privileged: would drive the machine's ports";
  std::string error;
  const std::unique_ptr<DirectPort> port = DirectPort::Open(error);
  if (!port) GTEST_SKIP() << error;
  // Ungranted ports would fault if they reached the bus; refused in software they read FFh.
  EXPECT_EQ(port->PortIn(0x0080), 0xFF);
  EXPECT_EQ(port->PortIn(0x037B), 0xFF);
  EXPECT_EQ(port->PortIn(0x0277), 0xFF);
}

}  // namespace
}  // namespace sorvell::board
