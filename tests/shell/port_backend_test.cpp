#include "shell/port_backend.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "sim/sim_port.h"

namespace sorvell::shell {
namespace {

using Kind = BoardRequest::Kind;

TEST(ShellBoardSpecTest, SimulatedBoardsAccumulateAndReplaceByPort) {
  BoardRequest request;
  std::string error;
  ASSERT_TRUE(AddBoardSpec("sim:4@278", request, error));
  ASSERT_TRUE(AddBoardSpec("sim:6@3BC", request, error));
  ASSERT_TRUE(AddBoardSpec("sim:5@278", request, error));
  EXPECT_EQ(request.kind, Kind::kSimulated);
  ASSERT_EQ(request.simBoards.size(), 2u);
  EXPECT_EQ(request.simBoards[0].model, 6);
  EXPECT_EQ(request.simBoards[1].model, 5);
  EXPECT_EQ(request.simBoards[1].base, 0x278);
  ASSERT_TRUE(AddBoardSpec("sim:none", request, error));
  EXPECT_TRUE(request.simBoards.empty());
}

TEST(ShellBoardSpecTest, PpdevMappingsPutNodesAtBoardBases) {
  BoardRequest request;
  std::string error;
  ASSERT_TRUE(AddBoardSpec("ppdev:/dev/parport1@378", request, error));
  ASSERT_TRUE(AddBoardSpec("ppdev:/dev/by-path/pci@0000:05:00.0@3bc", request, error));
  ASSERT_TRUE(AddBoardSpec("ppdev:/dev/parport2@378", request, error));
  EXPECT_EQ(request.kind, Kind::kPpdev);
  ASSERT_EQ(request.ppdevMapped.size(), 2u);
  EXPECT_EQ(request.ppdevMapped[0].device, "/dev/by-path/pci@0000:05:00.0");
  EXPECT_EQ(request.ppdevMapped[0].base, 0x3BC);
  EXPECT_EQ(request.ppdevMapped[1].device, "/dev/parport2");
  EXPECT_EQ(request.ppdevMapped[1].base, 0x378);
}

TEST(ShellBoardSpecTest, BadSpecsAreNamed) {
  for (const char* spec : {"sim:7@378", "sim:5@379", "sim:5", "sim:", "lpt1", "sim:5@", "ppdev:",
                           "ppdev:@378", "ppdev:/dev/parport1", "ppdev:/dev/parport1@D010"}) {
    BoardRequest request;
    std::string error;
    EXPECT_FALSE(AddBoardSpec(spec, request, error)) << spec;
    EXPECT_NE(error.find(spec), std::string::npos) << error;
  }
  BoardRequest request;
  std::string error;
  ASSERT_TRUE(AddBoardSpec("ppdev", request, error));
  EXPECT_FALSE(AddBoardSpec("sim:5@378", request, error));
  EXPECT_NE(error.find("one kind"), std::string::npos);
}

TEST(ShellOpenBackendTest, SimulatedBoardsArePlacedAndDescribed) {
  BoardRequest request;
  std::string error;
  ASSERT_TRUE(AddBoardSpec("sim:4@3BC", request, error));
  auto backend = OpenPortBackend(request, error);
  ASSERT_TRUE(backend);
  ASSERT_NE(backend->simulator, nullptr);
  ASSERT_NE(backend->simulator->BoardAt(0x3BC), nullptr);
  EXPECT_EQ(backend->simulator->BoardAt(0x3BC)->Model(), 4);
  EXPECT_EQ(backend->simulator->BoardAt(0x378), nullptr);
  // The access cost is measured on the simulated port, whose accesses cost a fixed virtual 1 us;
  // the measuring reads are not counted as the operator's.
  EXPECT_EQ(backend->description, "simulated board: model 4 at 3BCh; 1.0 us per port access");
  EXPECT_EQ(backend->accessNs, 1000u);
  EXPECT_EQ(backend->simulator->Reads(), 0u);
}

TEST(ShellOpenBackendTest, AutoFallsBackToTheSimulatorAndSaysWhy) {
  const auto empty =
      std::filesystem::temp_directory_path() / ("sorvell-no-parport-" + std::to_string(::getpid()));
  std::filesystem::create_directories(empty);
  const BackendPaths paths{(empty / "proc").string(), (empty / "dev").string()};
  std::string error;
  auto backend = OpenPortBackend(BoardRequest{}, error, paths);
  ASSERT_TRUE(backend);
  ASSERT_NE(backend->simulator, nullptr);
  EXPECT_EQ(backend->simulator->BoardAt(0x378)->Model(), 6);
  EXPECT_NE(backend->description.find("no parallel port could be opened"), std::string::npos);

  BoardRequest ppdev;
  ppdev.kind = Kind::kPpdev;
  EXPECT_FALSE(OpenPortBackend(ppdev, error, paths));
  EXPECT_FALSE(error.empty());
  std::filesystem::remove_all(empty);
}

// A fake /proc/sys/dev/parport listing one port and a /dev without its node.
class ShellListedPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths_ = {(root_ / "proc").string(), (root_ / "dev").string()};
    std::filesystem::create_directories(root_ / "dev");
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  void ListPort(const std::string& baseAddr) {
    std::filesystem::create_directories(root_ / "proc/parport0");
    std::ofstream(root_ / "proc/parport0/base-addr") << baseAddr;
  }

  const std::filesystem::path root_ =
      std::filesystem::temp_directory_path() / ("sorvell-listed-" + std::to_string(::getpid()));
  BackendPaths paths_;
};

TEST_F(ShellListedPortTest, AListedBoardPortThatCannotOpenIsNeverSimulated) {
  ListPort("888\t0\n");
  std::string error;
  EXPECT_FALSE(OpenPortBackend(BoardRequest{}, error, paths_));
  EXPECT_NE(error.find(paths_.devRoot + "/parport0 (the port at 378h) does not exist"),
            std::string::npos)
      << error;
  EXPECT_NE(error.find("sudo modprobe ppdev"), std::string::npos) << error;
  EXPECT_NE(error.find("not used instead"), std::string::npos) << error;
  EXPECT_NE(error.find("--board sim:6@378"), std::string::npos) << error;

  BoardRequest asked;
  ASSERT_TRUE(AddBoardSpec("sim:6@378", asked, error));
  EXPECT_TRUE(OpenPortBackend(asked, error, paths_));
}

TEST_F(ShellListedPortTest, APortElsewhereFallsBackAndSuggestsTheMapping) {
  ListPort("53264\t0\n");
  std::string error;
  auto backend = OpenPortBackend(BoardRequest{}, error, paths_);
  ASSERT_TRUE(backend);
  EXPECT_NE(backend->simulator, nullptr);
  EXPECT_NE(backend->description.find("--board ppdev:/dev/parport0@378"), std::string::npos)
      << backend->description;

  BoardRequest mapped;
  ASSERT_TRUE(AddBoardSpec("ppdev:" + paths_.devRoot + "/parport0@278", mapped, error));
  EXPECT_FALSE(OpenPortBackend(mapped, error, paths_));
  EXPECT_NE(error.find("parport0 (mapped to 278h) does not exist"), std::string::npos) << error;
}

}  // namespace
}  // namespace sorvell::shell
