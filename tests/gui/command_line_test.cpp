#include "gui/command_line.h"

#include <gtest/gtest.h>

namespace sorvell::gui {
namespace {

using Kind = shell::BoardRequest::Kind;

TEST(CommandLineTest, ReadsBoardsAndFolders) {
  const std::string temp = std::filesystem::temp_directory_path().string();
  CommandLine line;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"--board", "sim:4@278", "--board", "sim:5@3BC", "--workdir", temp,
                                "--progdir", temp, "--screenshot", "shot.png"},
                               line, error))
      << error;
  EXPECT_EQ(line.board.kind, Kind::kSimulated);
  EXPECT_EQ(line.board.simBoards.size(), 2u);
  EXPECT_FALSE(line.help);
  EXPECT_FALSE(line.version);
  CommandLine version;
  EXPECT_TRUE(ParseCommandLine({"--version"}, version, error) && version.version);
  EXPECT_EQ(line.screenshot, std::filesystem::path("shot.png"));

  const panel::Folders folders = FoldersFor(line, "/usr/bin/sorvell");
  EXPECT_EQ(folders.workingFolder, temp);
  EXPECT_EQ(folders.programFolder, temp);
  EXPECT_EQ(folders.configFolder, temp);
}

TEST(CommandLineTest, MapsAPpdevNodeToABoardPort) {
  CommandLine line;
  std::string error;
  ASSERT_TRUE(ParseCommandLine({"--board", "ppdev:/dev/parport1@278"}, line, error)) << error;
  EXPECT_EQ(line.board.kind, Kind::kPpdev);
  ASSERT_EQ(line.board.ppdevMapped.size(), 1u);
  EXPECT_EQ(line.board.ppdevMapped[0].device, "/dev/parport1");
  EXPECT_EQ(line.board.ppdevMapped[0].base, 0x278);
}

TEST(CommandLineTest, RejectsWhatItDoesNotUnderstand) {
  const std::vector<std::vector<std::string>> bad = {{"--bored", "sim:4@278"},
                                                     {"--board"},
                                                     {"--board", "sim:9@378"},
                                                     {"--board", "ppdev:/dev/parport1@D010"},
                                                     {"--workdir", "/no/such/folder/anywhere"},
                                                     {"--progdir"},
                                                     {"extra"}};
  for (const auto& args : bad) {
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, line, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace sorvell::gui
