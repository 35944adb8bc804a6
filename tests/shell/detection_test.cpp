#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "common/atomic_file.h"
#include "shell_fakes.h"
#include "sim/rom_chip.h"

namespace sorvell::shell::testing {
namespace {

using DetectionRig = SimRig;

struct Placement {
  int model;
  std::uint16_t base;
};

void PrintTo(const Placement& p, std::ostream* os) {
  *os << "model " << p.model << " at " << std::hex << p.base;
}

class DetectionEachModelAndPortTest : public ::testing::TestWithParam<Placement> {};

TEST_P(DetectionEachModelAndPortTest, FoundAtFirstStartAndRemembered) {
  const auto [model, base] = GetParam();
  DetectionRig rig;
  rig.boards.PlaceBoard(model, base).PowerOn(base + model);
  rig.form.Form_Load();
  char expected[40];
  std::snprintf(expected, sizeof expected, "MODEL %d - PC port %Xh", model, base);
  EXPECT_EQ(rig.Found(), expected);
  EXPECT_EQ(rig.form.board.BoardModel, model);
  EXPECT_EQ(rig.form.board.DataPort, base);
  EXPECT_EQ(rig.form.frmMain["Ready_label"].ForeColor(), kGreen);
  EXPECT_EQ(rig.form.frmMain["SystemLog"].Caption(), "");  // start-up clears the search's lines
  // The board LED blinks for 200 ms on models 5 and 6 only.
  EXPECT_EQ(rig.timing.SleptMs(), model == 4 ? 0u : 200u);
  // After start-up the board is idle: chip enable and output enable off, VPP off.
  EXPECT_EQ(rig.boards.BoardAt(base)->Latch(0), 0x40);
  EXPECT_EQ(rig.boards.BoardAt(base)->Latch(3) & 0xC4, 0xC4);

  // The next start trusts the configuration file and probes nothing.
  DetectionRig next;
  std::filesystem::copy_file(rig.folder / "sorvell6.ini", next.folder / "sorvell6.ini");
  next.boards.PlaceBoard(model, base);
  next.form.Form_Load();
  EXPECT_FALSE(next.Probed());
  EXPECT_EQ(next.Found(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, DetectionEachModelAndPortTest,
    ::testing::Values(Placement{4, 0x378}, Placement{4, 0x278}, Placement{4, 0x3BC},
                      Placement{5, 0x378}, Placement{5, 0x278}, Placement{5, 0x3BC},
                      Placement{6, 0x378}, Placement{6, 0x278}, Placement{6, 0x3BC}),
    [](const ::testing::TestParamInfo<Placement>& param) {
      char name[32];
      std::snprintf(name, sizeof name, "Model%dAt%X", param.param.model, param.param.base);
      return std::string(name);
    });

TEST(DetectionTest, NoBoardRestoresThePortInUse) {
  DetectionRig rig;
  rig.form.Form_Load();
  rig.form.Click("LPTSelection(1)");
  rig.form.Click("TestHardware_button");
  EXPECT_EQ(rig.form.board.DataPort, 0x278);
  EXPECT_EQ(rig.form.board.ControlPort, 0x27A);
  EXPECT_EQ(rig.Found(), "NO HARDWARE FOUND");
  EXPECT_EQ(rig.form.frmMain["PortSelected"].Caption(), "None");
  EXPECT_EQ(
      rig.Log(),
      "\r\n10:58:39>  Port Selection changed to 278h"
      "\r\n10:58:39>  Port 278 Not Responding\r\n10:58:39>  Port 378 Not Responding"
      "\r\n10:58:39>  Port 3BC Not Responding"
      "\r\n10:58:39>  Can't Locate Sorvell Board at Any LPT port."
      "\r\n10:58:39>  Sorvell should be connected to a LPT port, with power and socket empty.");
  EXPECT_FALSE(std::filesystem::exists(rig.folder / "sorvell6.ini"));
}

TEST(DetectionTest, LastBoardInProbeOrderWins) {
  DetectionRig rig;
  rig.boards.PlaceBoard(5, 0x278);
  rig.boards.PlaceBoard(4, 0x378);
  rig.form.Form_Load();
  EXPECT_EQ(rig.Found(), "MODEL 4 - PC port 378h");
  EXPECT_EQ(rig.form.board.Reg3StrobeA, 0);  // model 4 control values in use
}

TEST(DetectionTest, AChipInTheSocketHidesTheModel6Line) {
  // The identification read enables the chip; its data covers the line, as on the real board.
  DetectionRig rig;
  sim::SimBoard& board = rig.boards.PlaceBoard(6, 0x378);
  board.Insert(std::make_unique<sim::RomChip>(std::vector<std::uint8_t>(32768, 0x5A)));
  rig.form.Form_Load();
  EXPECT_EQ(rig.Found(), "MODEL 5 - PC port 378h");
}

TEST(DetectionTest, ForcingAModelKeepsThePortAndWritesNoFile) {
  DetectionRig rig;
  rig.boards.PlaceBoard(5, 0x378);
  rig.form.Form_Load();
  std::filesystem::remove(rig.folder / "sorvell6.ini");
  rig.form.Click("ForceSorvell4");
  EXPECT_EQ(rig.form.board.BoardModel, 4);
  EXPECT_EQ(rig.form.board.DataPort, 0x378);
  EXPECT_EQ(rig.Found(), "Operator Forced Model 4");
  EXPECT_EQ(rig.form.frmMain["SorvellHardwareFound"].ForeColor(), kRed);
  EXPECT_EQ(rig.form.board.Reg2StrobeB, 9);
  EXPECT_EQ(rig.Log(), "\r\n10:58:39>  SORVELL-4 Device was FORCED by Operator");
  EXPECT_FALSE(std::filesystem::exists(rig.folder / "sorvell6.ini"));
}

TEST(DetectionTest, ConfigurationFileCases) {
  struct Case {
    const char* text;
    std::uint16_t dataPort;
    bool reported;
  };
  for (const Case& c : {Case{"IO_PORT = 278\r\nMODEL = 4\r\n", 0x278, true},
                        Case{"MODEL = 4\r\nIO_PORT = 278\r\n", 0x278, true},
                        Case{"IO_PORT = 278\r\nIO_PORT = 278\r\nMODEL = 4\r\n", 0x278, false},
                        Case{"junk\r\nIO_PORT =  2 7 8 \r\n", 0x278, false}}) {
    DetectionRig rig;
    rig.boards.PlaceBoard(4, 0x278);
    { std::ofstream(rig.folder / "sorvell6.ini", std::ios::binary) << c.text; }
    rig.form.Form_Load();
    EXPECT_FALSE(rig.Probed()) << c.text;  // a file naming a port means no search
    EXPECT_EQ(rig.form.board.DataPort, c.dataPort) << c.text;
    EXPECT_EQ(rig.Found() == "MODEL 4 - PC port 278h", c.reported) << c.text;
  }
}

TEST(DetectionTest, AFileWithoutAPortLeadsToASearch) {
  DetectionRig rig;
  rig.boards.PlaceBoard(6, 0x3BC);
  { std::ofstream(rig.folder / "sorvell6.ini", std::ios::binary) << "MODEL = 4\r\n"; }
  rig.form.Form_Load();
  EXPECT_TRUE(rig.Probed());
  EXPECT_EQ(rig.Found(), "MODEL 6 - PC port 3BCh");
}

TEST(DetectionTest, AnUnwritableConfigurationIsReportedAndDetectionCompletes) {
  DetectionRig rig;
  rig.boards.PlaceBoard(5, 0x378);
  std::filesystem::create_directories(rig.folder / "sorvell6.ini" / "in-the-way");
  rig.form.Form_Load();
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_NE(rig.dialogs.messages[0].text.find("sorvell6.ini"), std::string::npos);
  EXPECT_EQ(rig.Found(), "MODEL 5 - PC port 378h");
  EXPECT_EQ(rig.form.frmMain["Ready_label"].Caption(), "Ready");
}

// Start-up clears the window's log after detection: this keeps every line added.
const std::string& RecordLog(DetectionRig& rig) {
  static std::string log;
  log.clear();
  rig.form.frmMain.onAppended = [](const Control&, std::string_view text) { log += text; };
  return log;
}

// A port other than the three LPT addresses is never trusted: direct I/O would write to it.
TEST(DetectionTest, AFileNamingAnotherPortLeadsToASearch) {
  DetectionRig rig;
  rig.boards.PlaceBoard(6, 0x378);
  {
    std::ofstream(rig.folder / "sorvell6.ini", std::ios::binary)
        << "IO_PORT = 1234\r\nMODEL = 6\r\n";
  }
  const std::string& log = RecordLog(rig);
  rig.form.Form_Load();
  EXPECT_TRUE(rig.Probed());
  EXPECT_EQ(log.find("FOUND at Port: 1234"), std::string::npos);
  EXPECT_NE(log.find("sorvell6.ini names port 1234h, not 378h, 278h or 3BCh: searching the "
                     "ports instead"),
            std::string::npos)
      << log;
  EXPECT_EQ(rig.Found(), "MODEL 6 - PC port 378h");
}

// A FIFO or a device in the file's place neither blocks the start nor is read without end.
TEST(DetectionTest, AConfigurationThatIsNoRegularFileIsRefusedAndSearched) {
  for (const char* kind : {"fifo", "dev-zero"}) {
    DetectionRig rig;
    rig.boards.PlaceBoard(5, 0x278);
    const auto path = rig.folder / "sorvell6.ini";
    if (std::string(kind) == "fifo") {
      ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    } else {
      std::filesystem::create_symlink("/dev/zero", path);
    }
    const std::string& log = RecordLog(rig);
    rig.form.Form_Load();
    EXPECT_TRUE(rig.Probed()) << kind;
    EXPECT_NE(log.find("sorvell6.ini was not used: not a regular file"), std::string::npos)
        << kind << log;
    EXPECT_EQ(rig.Found(), "MODEL 5 - PC port 278h") << kind;
  }
}

// A file that already names the board is not rewritten: a folder that cannot be written costs
// no message at each start, and the file keeps the date it was written on.
TEST(DetectionTest, AnUnchangedConfigurationIsNotRewritten) {
  DetectionRig rig;
  rig.boards.PlaceBoard(6, 0x3BC);
  rig.form.Form_Load();
  const auto path = rig.folder / "sorvell6.ini";
  ASSERT_TRUE(std::filesystem::exists(path));
  std::ifstream in(path, std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(in)), {});

  rig.clock.now.day = 9;
  rig.form.Form_Load();
  rig.form.Click("TestHardware_button");
  std::ifstream again(path, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), before);
  EXPECT_TRUE(rig.dialogs.messages.empty());
}

// A save killed half way leaves its temporary; the next start removes it and nothing else.
TEST(DetectionTest, StartUpRemovesTemporariesOfAnInterruptedSave) {
  DetectionRig rig;
  const auto stale = rig.folder / (common::TemporaryPrefix(rig.folder / "SORVELL.LOG") + "abc123");
  { std::ofstream(stale) << "half"; }
  { std::ofstream(rig.folder / "keep.bin") << "mine"; }
  rig.form.Form_Load();
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(rig.folder / "keep.bin"));
}

}  // namespace
}  // namespace sorvell::shell::testing
