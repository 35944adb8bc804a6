// A port that fails, or a board that goes silent, under an operation: the operation ends there as
// a device error, with no success line and the board reset where the port still takes it. And
// the check that finds a silent board never disturbs the part in the socket.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>

#include "board/board_answers.h"
#include "shell_fakes.h"
#include "sim/eprom_chip.h"
#include "sim/serial_eeprom_chip.h"
#include "sim/writable_parts.h"

namespace sorvell::shell::testing {
namespace {

constexpr std::size_t kPartBytes = 32768;
constexpr std::int32_t kHalfWay = 16384;

// What an operation logs only when it succeeded.
constexpr const char* kSuccessLines[] = {"bytes Read from Device", "Device IS BLANK",
                                         "Programming Device Successfull", "MATCHES"};

std::vector<std::uint8_t> Image(std::size_t size) {
  std::mt19937 random(5);
  std::vector<std::uint8_t> image(size);
  for (auto& byte : image) byte = static_cast<std::uint8_t>(random() & 0xFE);  // every byte burns
  return image;
}

// A model 5 board at 378h with the part in its socket and selected, the image in the buffer.
struct FaultRig : SimRig {
  FaultRig(std::unique_ptr<sim::SocketChip> made, const std::string& listed) {
    boards.PlaceBoard(5, board::kLpt378);
    form.Form_Load();
    chip = made.get();
    Board().Insert(std::move(made));
    const auto& items = form.frmMain["Device"].Items();
    const auto row = std::find_if(items.begin(), items.end(), [&](const std::string& item) {
      return item.starts_with(listed);
    });
    EXPECT_NE(row, items.end()) << listed;
    form.SetValue("Device", static_cast<int>(row - items.begin()));
    image = Image(static_cast<std::size_t>(form.device.DeviceBytes));
    std::copy(image.begin(), image.end(), form.buffers.CodeBuffer.begin());
    // As a loaded image leaves them.
    for (const char* button : {"Program_button", "Verify_button"}) {
      form.frmMain[button].SetEnabled(true);
    }
    dialogs.answers = {Answer::kOk};
  }
  sim::SimBoard& Board() { return *boards.BoardAt(board::kLpt378); }
  // The log from `from` on has no success line.
  void ExpectNoSuccessAfter(std::size_t from) {
    const std::string log = Log().substr(from);
    for (const char* success : kSuccessLines) {
      EXPECT_EQ(log.find(success), std::string::npos) << success << " in\n" << log;
    }
  }
  int SocketMaxMillivolts() {
    const auto& lines = Board().Lines().millivolts;
    return *std::max_element(lines.begin(), lines.end());
  }

  sim::SocketChip* chip = nullptr;
  std::vector<std::uint8_t> image;
};

struct PortFaultCase {
  const char* name;
  const char* button;
  bool partHoldsImage;  // so that only the fault can fail the verify
  // Accesses that fail from the first: 1 is a glitch the reset gets through, else the port is
  // gone for good (an adapter unplugged).
  std::uint64_t failures;
};

void PrintTo(const PortFaultCase& c, std::ostream* os) {
  *os << c.name;
}

class PortFaultTest : public ::testing::TestWithParam<PortFaultCase> {};

// The test port layer fails half way through the part; what was read or written from there on
// never reaches the log as a success.
TEST_P(PortFaultTest, EndsTheOperationAsADeviceErrorWithTheBoardReset) {
  const PortFaultCase& c = GetParam();
  FaultRig rig(
      c.partHoldsImage ? sim::MakeEprom("27C256", Image(kPartBytes)) : sim::MakeEprom("27C256"),
      "Eprom 27C256");
  rig.form.SetValue("CheckBlankPriorProgramming", 0);  // the fault comes while VPP is on
  bool faulted = false;
  std::uint64_t failuresLeft = 0, attemptsAfterFault = 0;
  int millivoltsAtFault = 0;
  rig.tap.beforeAccess = [&] {
    if (faulted) {
      ++attemptsAfterFault;
    } else if (rig.form.OperationRunning() && rig.form.board.CurrentAddress >= kHalfWay) {
      faulted = true;
      failuresLeft = c.failures;
      millivoltsAtFault = rig.SocketMaxMillivolts();
    }
    if (failuresLeft == 0) return;
    --failuresLeft;
    throw board::PortFault("test adapter at 378h: writing the data port: Input/output error");
  };
  const std::size_t before = rig.Log().size();
  EXPECT_TRUE(rig.form.Click(c.button));

  const std::string log = rig.Log().substr(before);
  EXPECT_NE(log.find("Port access FAILED: test adapter at 378h: writing the data port: "
                     "Input/output error - operation ended"),
            std::string::npos)
      << log;
  rig.ExpectNoSuccessAfter(before);
  EXPECT_EQ(rig.form.LastOutcome().kind, panel::OutcomeKind::kDeviceError);
  EXPECT_EQ(rig.form.PortFaults(), 1);
  EXPECT_GT(attemptsAfterFault, 0u) << "no reset was attempted";
  if (std::string(c.button) == "Program_button") {
    EXPECT_GT(millivoltsAtFault, 5000) << "VPP was not on at the fault";
  }
  if (c.failures == 1) {
    // The reset got through: programming voltage off, output enable off, the socket idle.
    EXPECT_EQ(rig.Board().Latch(0), 0x40);
    EXPECT_LE(rig.SocketMaxMillivolts(), 5000);
    EXPECT_EQ(log.find("could not be reset"), std::string::npos);
  } else {
    EXPECT_NE(log.find("The board could not be reset: check it before touching the socket"),
              std::string::npos);
  }
}

constexpr auto kForGood = std::numeric_limits<std::uint64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Operations, PortFaultTest,
    ::testing::Values(PortFaultCase{"read", "Read_button", false, 1},
                      PortFaultCase{"blank check", "Blank_button", false, kForGood},
                      PortFaultCase{"program with VPP on", "Program_button", false, 1},
                      PortFaultCase{"verify", "Verify_button", true, kForGood}));

// Outside an operator event no operation ends on the fault: start-up goes on without a port,
// saying why and sending nothing more, and shutdown says the board could not be reset.
TEST(PortFaultOutsideEventsTest, StartUpGoesOnWithoutAPortAndShutdownSaysSo) {
  SimRig rig;
  rig.boards.PlaceBoard(5, board::kLpt378);
  bool failing = true;
  int attempts = 0;
  rig.tap.beforeAccess = [&] {
    ++attempts;
    if (failing) throw board::PortFault("test adapter at 378h: reading the status port: gone");
  };
  EXPECT_NO_THROW(rig.form.Form_Load());
  EXPECT_EQ(rig.form.board.DataPort, 0);
  EXPECT_EQ(rig.Found(), "NO HARDWARE FOUND !!!");
  EXPECT_TRUE(rig.Log().ends_with(
      "Port access FAILED: test adapter at 378h: reading the status port: gone - start-up goes "
      "on without a port: check the board before touching the socket, and choose the port again "
      "when it works"))
      << rig.Log();
  EXPECT_EQ(attempts, 1);
  EXPECT_EQ(rig.form.PortFaults(), 1);

  // With the port chosen again it works; then it fails as the window closes.
  failing = false;
  EXPECT_TRUE(rig.form.Click("LPTSelection(0)"));
  ASSERT_EQ(rig.form.board.DataPort, board::kLpt378);
  failing = true;
  EXPECT_NO_THROW(rig.form.Form_Unload());
  EXPECT_TRUE(rig.Log().ends_with(
      "Port access FAILED: test adapter at 378h: reading the status port: gone - the board "
      "could not be reset: check it before touching the socket"))
      << rig.Log();
  EXPECT_EQ(rig.form.PortFaults(), 2);
}

struct SilentBoardCase {
  const char* name;
  const char* button;
  bool lostBeforeTheClick;
};

void PrintTo(const SilentBoardCase& c, std::ostream* os) {
  *os << c.name;
}

class SilentBoardTest : public ::testing::TestWithParam<SilentBoardCase> {};

// The board loses its power half way (or before the operation starts): its status lines read
// FFh, which an erased part would give too. The check at the next safe point, or before the
// operation, ends it.
TEST_P(SilentBoardTest, EndsTheOperationAsADeviceErrorSoonAfter) {
  const SilentBoardCase& c = GetParam();
  FaultRig rig(sim::MakeEprom("27C256"), "Eprom 27C256");
  std::uint64_t lostNs = 0;
  if (c.lostBeforeTheClick) {
    rig.Board().LoseConnectionAfter(0);
  } else {
    rig.tap.beforeAccess = [&] {
      if (lostNs == 0 && rig.form.board.CurrentAddress >= kHalfWay) {
        lostNs = rig.virtualClock.NowNs();
        rig.Board().LoseConnectionAfter(0);
      }
    };
  }
  const std::size_t before = rig.Log().size();
  EXPECT_TRUE(rig.form.Click(c.button));

  const std::string log = rig.Log().substr(before);
  EXPECT_NE(log.find(std::string(">  ") + board::kBoardStoppedAnswering), std::string::npos) << log;
  rig.ExpectNoSuccessAfter(before);
  EXPECT_EQ(rig.form.LastOutcome().kind, panel::OutcomeKind::kDeviceError);
  EXPECT_EQ(rig.form.PortFaults(), 1);
  if (c.lostBeforeTheClick) {
    EXPECT_TRUE(rig.dialogs.messages.empty()) << "the operation went on to ask";
  } else {
    // Caught by a safe point's check, within one period of the board's clock.
    EXPECT_LT(rig.form.board.CurrentAddress, static_cast<std::int32_t>(kPartBytes) - 1);
    EXPECT_LE(rig.virtualClock.NowNs() - lostNs, board::kAnswerCheckPeriodNs + 10'000'000);
  }
  // The seam before every success line says the same; with the board back it says nothing.
  EXPECT_THROW(rig.form.operation.ConfirmBoardAnswers(), board::BoardStoppedAnswering);
  rig.Board().Reconnect();
  rig.form.board.Reset();
  EXPECT_NO_THROW(rig.form.operation.ConfirmBoardAnswers());
}

INSTANTIATE_TEST_SUITE_P(Operations, SilentBoardTest,
                         ::testing::Values(SilentBoardCase{"read", "Read_button", false},
                                           SilentBoardCase{"blank check", "Blank_button", false},
                                           SilentBoardCase{"program, board off before it",
                                                           "Program_button", true}));

// What the part and the board hold and what the part acted on: a check must leave all of it as
// it was.
struct Snapshot {
  sim::PartActivity activity;
  std::uint64_t violations;
  std::uint64_t clashes;
  sim::SocketLines lines;
  sim::Latches latches;
  std::array<int, 5> shadows;
  std::uint8_t readByte;

  bool operator==(const Snapshot&) const = default;
};

void PrintTo(const Snapshot& s, std::ostream* os) {
  *os << "writes " << s.activity.writes << " pulses " << s.activity.pulses << " starts "
      << s.activity.starts << " stops " << s.activity.stops << " clocks " << s.activity.clocks
      << ", violations " << s.violations << ", clashes " << s.clashes << ", latches";
  for (const int latch : s.latches) *os << ' ' << std::hex << latch;
  *os << ", shadows";
  for (const int shadow : s.shadows) *os << ' ' << std::hex << shadow;
  *os << ", read byte " << std::hex << int{s.readByte} << std::dec;
}

struct HarmlessCase {
  const char* part;
  const char* listed;
  bool serial;
};

void PrintTo(const HarmlessCase& c, std::ostream* os) {
  *os << c.part;
}

std::unique_ptr<sim::SocketChip> MakePart(const HarmlessCase& c) {
  if (auto eprom = sim::MakeEprom(c.part)) return eprom;
  if (c.serial) return sim::MakeSerialEeprom(c.part);
  return sim::MakeWritableChip(c.part);
}

class HarmlessCheckTest : public ::testing::TestWithParam<HarmlessCase> {};

// At every safe point of a program (blank check, program, verify) and a read, the board check
// runs as the shell runs it, with nothing else between; it must change nothing the part sees or
// acts on: no write, pulse, START, STOP or clock, no bus clash, no violation, every line as it
// was. Where the socket's state allows no check (a write or pulse may be open) it sends nothing.
TEST_P(HarmlessCheckTest, LeavesThePartAloneAndItProgramsAsBefore) {
  const HarmlessCase& c = GetParam();
  FaultRig rig(MakePart(c), c.listed);
  sim::SimBoard& simBoard = rig.Board();
  board::Board& board = rig.form.board;
  const auto take = [&] {
    return Snapshot{
        rig.chip->Activity(),
        rig.chip->Violations().Count(),
        simBoard.BusClashes(),
        simBoard.Lines(),
        {simBoard.Latch(0), simBoard.Latch(1), simBoard.Latch(2), simBoard.Latch(3),
         simBoard.Latch(4)},
        {board.Reg0Shadow, board.Reg1Shadow, board.Reg2Shadow, board.Reg3Shadow, board.Reg4Shadow},
        board.ReadByte};
  };
  int made = 0, madeWithVpp = 0, notNow = 0;
  const auto checkHarmlessly = [&] {
    Snapshot before = take();
    // A latch byte the program never wrote cannot be given back: off the bus, nothing sees it.
    const bool latch4Known = board.Latched(4).has_value();
    const std::uint64_t checks = board.AnswerChecks;
    rig.form.operation.ConfirmBoardAnswers();
    Snapshot after = take();
    if (!latch4Known) after.latches[4] = before.latches[4];
    EXPECT_EQ(after, before) << "at address " << board.CurrentAddress;
    const bool checked = board.AnswerChecks > checks;
    made += checked;
    notNow += !checked;
    madeWithVpp += checked && rig.SocketMaxMillivolts() > 5000;
  };
  const auto shellsCheck = rig.form.panel.OnSafePoint;
  rig.form.panel.OnSafePoint = [&] {
    checkHarmlessly();
    shellsCheck();
  };
  // Also as the shell checks before an operation: the board as a reset leaves it (SCL high on
  // the adapter, where SDA must not move), and as the last operation left it.
  board.Reset();
  const sim::PartActivity untouched = rig.chip->Activity();
  for (const char* button : {"Program_button", "Read_button"}) {
    checkHarmlessly();
    EXPECT_TRUE(rig.form.Click(button));
  }

  EXPECT_NE(rig.chip->Activity(), untouched) << "what the part acts on goes uncounted";
  const std::string log = rig.Log();
  EXPECT_NE(log.find("MATCHES"), std::string::npos) << log.substr(log.size() - 400);
  EXPECT_NE(log.find("bytes Read from Device"), std::string::npos);
  EXPECT_TRUE(std::equal(rig.image.begin(), rig.image.end(), rig.form.buffers.CodeBuffer.begin()));
  EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
  EXPECT_GT(made, 0) << notNow << " safe points allowed no check";
  if (std::string(c.part) == "27C256") {
    EXPECT_GT(madeWithVpp, 0) << "no check with VPP on";
  }
}

INSTANTIATE_TEST_SUITE_P(DeviceClasses, HarmlessCheckTest,
                         ::testing::Values(HarmlessCase{"27C256", "Eprom 27C256", false},
                                           HarmlessCase{"AM29F010", "Flash AMD AM29F010", false},
                                           HarmlessCase{"X28C256", "Eeprom XICOR X28C256", false},
                                           HarmlessCase{"24C16", "Eeprom 24C16", true}));

}  // namespace
}  // namespace sorvell::shell::testing
