// An operation stopped by the operator ends at a safe point: the part holds what was programmed
// before the stop and nothing after, the board is idle with no programming voltage on the socket,
// and nothing the operator did during the run acts then or afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <random>

#include "console/console_run_control.h"
#include "console/exit_status.h"
#include "shell/stop_signals.h"
#include "shell_fakes.h"
#include "sim/eprom_chip.h"
#include "sim/writable_parts.h"

namespace sorvell::shell::testing {
namespace {

// Stops when `when` says so; `onBreathe` plays the operator clicking while the window breathes.
struct ScriptedRun final : RunControl {
  void Breathe() override {
    if (++breaths == 1 && onFirstBreathe) onFirstBreathe();
    if (onBreathe) onBreathe();
  }
  bool StopRequested() override { return when && when(); }
  std::function<bool()> when;
  std::function<void()> onBreathe;
  std::function<void()> onFirstBreathe;
  int breaths = 0;
};

struct StopRig : SimRig {
  template <typename Chip>
  StopRig(std::unique_ptr<Chip> made, const std::string& listed, std::size_t bytes) : size(bytes) {
    boards.PlaceBoard(5, board::kLpt378);
    form.Form_Load();
    boards.BoardAt(board::kLpt378)->Insert(std::move(made));
    const auto& items = form.frmMain["Device"].Items();
    const auto row = std::find_if(items.begin(), items.end(), [&](const std::string& item) {
      return item.starts_with(listed);
    });
    EXPECT_NE(row, items.end()) << listed;
    form.SetValue("Device", static_cast<int>(row - items.begin()));
    form.SetValue("CheckBlankPriorProgramming", 0);
    std::mt19937 random(9);
    image.resize(size);
    for (auto& byte : image)
      byte = static_cast<std::uint8_t>(random() & 0xFE);  // never FFh: every byte is burned
    std::copy(image.begin(), image.end(), form.buffers.CodeBuffer.begin());
    form.frmMain["Program_button"].SetEnabled(true);  // as a loaded image leaves it
    form.panel.SetRunControl(&run);
    dialogs.answers = {Answer::kOk};
  }
  // Keeps the part's cells as they are when the run first breathes: after the preparations (a
  // page-write part's protection commands), before anything past the first unit was written.
  void Watch(const std::vector<std::uint8_t>& cells) {
    run.onFirstBreathe = [this, &cells] { before = cells; };
  }
  // The cells: the image up to `programmed`, untouched after it.
  void ExpectProgrammedUpTo(const std::vector<std::uint8_t>& cells, std::size_t programmed) {
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + programmed, cells.begin()));
    ASSERT_EQ(before.size(), cells.size());
    EXPECT_TRUE(std::equal(cells.begin() + programmed, cells.end(), before.begin() + programmed))
        << "a byte after the stop was programmed";
    EXPECT_TRUE(std::all_of(before.begin() + programmed, before.begin() + programmed + 64,
                            [](std::uint8_t b) { return b == 0xFF; }));
  }
  std::vector<std::uint8_t> before;
  void ExpectStoppedAndIdle() {
    const std::string log = Log();
    EXPECT_TRUE(
        log.ends_with("Operation STOPPED by the operator - board reset, programming voltage off"))
        << log.substr(log.size() > 400 ? log.size() - 400 : 0);
    EXPECT_EQ(log.find("Successfull"), std::string::npos);
    EXPECT_EQ(log.find("MATCHES"), std::string::npos);
    EXPECT_EQ(form.OperationsStopped(), 1);
    EXPECT_EQ(form.panel.ErrorAlertsRaised(), 0);
    EXPECT_FALSE(form.frmMain["Stop_button"].Enabled());
    EXPECT_FALSE(form.OperationRunning());
    const auto& lines = boards.BoardAt(board::kLpt378)->Lines().millivolts;
    EXPECT_LE(*std::max_element(std::begin(lines), std::end(lines)), 5000)
        << "programming voltage left on the socket";
  }

  std::size_t size;
  std::vector<std::uint8_t> image;
  ScriptedRun run;
};

TEST(StopTest, AnEpromStopsAfterTheByteInHand) {
  auto made = sim::MakeEprom("27C256");
  const sim::EpromChip& part = *made;
  StopRig rig(std::move(made), "Eprom 27C256", 32768);
  rig.Watch(part.Contents());
  rig.run.when = [&] { return rig.form.run.ProgramIndex >= 1000; };
  EXPECT_TRUE(rig.form.Click("Program_button"));
  rig.ExpectProgrammedUpTo(part.Contents(), 1001);
  rig.ExpectStoppedAndIdle();
  EXPECT_EQ(part.Violations().Count(), 0u) << part.Violations().Last();
}

TEST(StopTest, AFlashStopsBetweenBytes) {
  auto made = sim::MakeWritableChip("AM29F010");
  const sim::WritableChip& part = *made;
  StopRig rig(std::move(made), "Flash AMD AM29F010", 131072);
  rig.Watch(part.Contents());
  rig.run.when = [&] { return rig.form.board.CurrentAddress >= 512; };
  EXPECT_TRUE(rig.form.Click("Program_button"));
  rig.ExpectProgrammedUpTo(part.Contents(), 512);
  rig.ExpectStoppedAndIdle();
}

// A page-write part stops only between pages, never inside a page load.
TEST(StopTest, APageWriteEepromStopsBetweenPages) {
  auto made = sim::MakeWritableChip("X28C256");
  const sim::WritableChip& part = *made;
  StopRig rig(std::move(made), "Eeprom XICOR X28C256", 32768);
  rig.Watch(part.Contents());
  int safePoints = 0;
  rig.run.when = [&] { return ++safePoints == 3; };
  EXPECT_TRUE(rig.form.Click("Program_button"));
  rig.ExpectProgrammedUpTo(part.Contents(), 3 * 64);
  rig.ExpectStoppedAndIdle();
  EXPECT_EQ(part.Violations().Count(), 0u) << part.Violations().Last();
  // What the page loads held of the system (priority, locked memory) is given back on a stop.
  EXPECT_EQ(rig.tally.runsBegun, 1);
  EXPECT_EQ(rig.tally.runsEnded, 1);
  EXPECT_FALSE(rig.tally.InTimedWork());
}

// What the operator does while the window breathes is refused at once and never replayed.
TEST(StopTest, EventsDuringARunAreRefusedNotKeptForLater) {
  auto made = sim::MakeEprom("27C256");
  StopRig rig(std::move(made), "Eprom 27C256", 32768);
  std::vector<bool> accepted;
  bool stopOffered = false;
  rig.run.onBreathe = [&] {
    stopOffered = rig.form.frmMain["Stop_button"].Enabled();
    accepted.push_back(rig.form.Click("Read_button"));
    accepted.push_back(rig.form.SetValue("Slider1", 3));
    accepted.push_back(rig.form.DblClick("SystemLog"));
  };
  rig.form.SetValue("VerifyAfterProgramming", 0);
  EXPECT_TRUE(rig.form.Click("Program_button"));
  EXPECT_TRUE(stopOffered);
  ASSERT_FALSE(accepted.empty());
  EXPECT_TRUE(std::none_of(accepted.begin(), accepted.end(), [](bool a) { return a; }));
  EXPECT_EQ(rig.form.frmMain["Slider1"].Value(), 18);
  EXPECT_EQ(rig.Log().find("Read from Device"), std::string::npos);
  EXPECT_TRUE(rig.Log().find("Successfull") != std::string::npos);
  EXPECT_FALSE(rig.form.frmMain["Stop_button"].Enabled());
  EXPECT_FALSE(rig.form.Click("Stop_button")) << "no run to stop";
}

// Ctrl-C in the console: the real signal handler and the console's run control end the run at
// the next safe point, and the console's exit status says it was stopped.
struct SignalAfter final : RunControl {
  explicit SignalAfter(RunControl& inner) : inner_(inner) {}
  void Breathe() override {
    if (++breaths_ == 200) std::raise(SIGINT);
    inner_.Breathe();
  }
  bool StopRequested() override { return inner_.StopRequested(); }

 private:
  RunControl& inner_;
  int breaths_ = 0;
};

TEST(StopTest, SigintStopsAConsoleRunWithTheBoardIdle) {
  auto made = sim::MakeEprom("27C256");
  const sim::EpromChip& part = *made;
  StopRig rig(std::move(made), "Eprom 27C256", 32768);
  shell::InstallStopSignals();
  rig.before = part.Contents();
  console::ConsoleRunControl console(rig.form.frmMain, nullptr);
  SignalAfter signal(console);
  rig.form.panel.SetRunControl(&signal);
  EXPECT_TRUE(rig.form.Click("Program_button"));
  EXPECT_EQ(shell::StopSignalReceived(), SIGINT);
  rig.ExpectProgrammedUpTo(part.Contents(), 200);
  rig.ExpectStoppedAndIdle();
  EXPECT_EQ(console::ExitStatusOf(rig.form.LastOutcome()), console::kExitStopped);
  shell::ClearStopSignal();
}

}  // namespace
}  // namespace sorvell::shell::testing
