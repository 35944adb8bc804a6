#include "shell/port_backend.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

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

TEST(ShellBoardSpecTest, BadSpecsAreNamed) {
  for (const char* spec : {"sim:7@378", "sim:5@379", "sim:5", "sim:", "lpt1", "sim:5@"}) {
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

}  // namespace
}  // namespace sorvell::shell
