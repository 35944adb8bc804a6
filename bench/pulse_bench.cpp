// Measures, on the real timing layer, how long the programming pulses of a 27C256 last at the
// socket at the default speed (100,000 of them, or as many as the first argument says): once with
// the window idle and once with the window resized and repainted every few milliseconds during the
// run. The pulse is chip enable held active on register 3: its width is the time between the
// register writes that start and end it, each taken when its clock write has reached the latch.
// The chips are simulated, and each port access is made to cost 1 us on the real clock, as on a
// legacy port, so what is measured is the program's own timing, the port's cost, and whatever the
// window and the rest of the machine take from it. Run it with both cores loaded, or as a user
// the system refuses real-time priority, for the other figures.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

#include "board/access_cost.h"
#include "board/real_timing.h"
#include "console/console_edges.h"
#include "gui/form_view.h"
#include "gui/main_window.h"
#include "gui/qt_window_host.h"
#include "shell/main_form.h"
#include "shell/system_edges.h"
#include "sim/eprom_chip.h"
#include "sim/sim_port.h"

namespace {

using namespace sorvell;
using Clock = std::chrono::steady_clock;
constexpr std::size_t kDefaultPulses = 100'000;
constexpr auto kAccessCost = std::chrono::nanoseconds(1000);
// The datasheets' longest quick pulse.
constexpr double kDatasheetMaxUs = 105.0;

// A legacy port: every access takes kAccessCost, and the simulated board and part live on the real
// clock (their virtual clock is brought up to it before each access), so the part takes a byte
// from a real pulse as it would from one on the board. Forwards every access; on each latching of
// register 3 notes whether chip enable went active (bit 7 low) or inactive, and keeps the width of
// each active stretch. Once `wanted` pulses are kept it asks the run to stop.
class PulseTimer final : public board::PortIo {
 public:
  PulseTimer(board::PortIo& inner, sim::VirtualClock& simulated)
      : inner_(inner), simulated_(simulated), origin_(Clock::now()) {}
  // The model's board, which knows the port and the strobe values once it exists.
  void Watch(const board::Board& board) { board_ = &board; }
  void PortOut(std::uint16_t port, std::uint8_t value) override {
    Access();
    if (board_ != nullptr) Note(port, value);
    inner_.PortOut(port, value);
  }
  std::uint8_t PortIn(std::uint16_t port) override {
    Access();
    return inner_.PortIn(port);
  }
  std::vector<double> widthsUs;
  std::size_t wanted = 0;
  std::function<void()> onEnough;

 private:
  void Access() {
    const auto end = Clock::now() + kAccessCost;
    while (Clock::now() < end) {
    }
    const auto realNs = static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(end - origin_).count());
    if (realNs > simulated_.NowNs()) simulated_.AdvanceNs(realNs - simulated_.NowNs());
  }
  void Note(std::uint16_t port, std::uint8_t value) {
    if (port == board_->DataPort) data_ = value;
    if (port == board_->ControlPort && value == board_->Reg3StrobeB && board_->Reg3StrobeB != 0) {
      Latched(Clock::now(), (data_ & 0x80) == 0);
    }
  }
  void Latched(Clock::time_point now, bool active) {
    if (active && !active_) start_ = now;
    if (!active && active_) {
      widthsUs.push_back(std::chrono::duration<double, std::micro>(now - start_).count());
      if (widthsUs.size() == wanted && onEnough) onEnough();
    }
    active_ = active;
  }
  board::PortIo& inner_;
  sim::VirtualClock& simulated_;
  const Clock::time_point origin_;
  const board::Board* board_ = nullptr;
  std::uint8_t data_ = 0;
  bool active_ = false;
  Clock::time_point start_{};
};

struct Figures {
  double min, median, p999, max;
  std::size_t pulses, overDatasheet;
  double seconds;
  bool priorityRefused;
};

Figures Measure(bool churnWindow, std::size_t wanted) {
  sim::VirtualClock virtualClock;
  sim::SimulatedPort boards(virtualClock);
  boards.SetAccessCostNs(0);  // the real clock's cost is kept instead
  boards.PlaceBoard(5, board::kLpt378);
  board::RealTiming timing;
  std::FILE* sink = std::fopen("/dev/null", "w");
  console::ScriptedDialogs dialogs(sink, true);
  gui::QtWindowHost windows;
  console::SilentSounds sounds;
  console::MemorySettings settings;
  shell::SystemWallClock wallClock;
  PulseTimer pulses(boards, virtualClock);
  const std::uint64_t accessNs =
      board::MeasureAccessNs(pulses, timing, board::kLpt378 + board::kStatusOffset);
  shell::MainForm model({pulses,
                         timing,
                         dialogs,
                         windows,
                         sounds,
                         settings,
                         wallClock,
                         panel::Folders{"/tmp", "/tmp/sorvell-bench", "/tmp"},
                         nullptr,
                         {},
                         accessNs});
  pulses.Watch(model.board);
  pulses.wanted = wanted;
  pulses.onEnough = [&model] { model.panel.RequestStop(); };
  gui::MainWindow window(model, "simulated board, real timing");
  windows.SetMainWindow(&window);
  model.Form_Load();
  window.show();
  model.Timer1_Timer();
  const auto& items = model.frmMain["Device"].Items();
  const auto row = std::find_if(items.begin(), items.end(), [](const std::string& item) {
    return item.starts_with("Eprom 27C256");
  });
  model.SetValue("Device", static_cast<int>(row - items.begin()));
  model.SetValue("CheckBlankPriorProgramming", 0);
  model.SetValue("VerifyAfterProgramming", 0);
  QTimer churn;
  int step = 0;
  QObject::connect(&churn, &QTimer::timeout, [&] {
    ++step;
    window.resize(900 + (step % 7) * 40, 700 + (step % 5) * 30);
    window.update();
  });
  if (churnWindow) churn.start(5);
  std::mt19937 random(1);
  auto* program = window.View().As<QPushButton>("Program_button");
  const Clock::time_point start = Clock::now();
  while (pulses.widthsUs.size() < wanted) {
    boards.BoardAt(board::kLpt378)->Insert(sim::MakeEprom("27C256"));
    for (std::size_t i = 0; i < 32768; ++i) {
      model.buffers.CodeBuffer[i] = static_cast<std::uint8_t>(random() & 0xFE);
    }
    model.frmMain["Program_button"].SetEnabled(true);
    program->click();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::fclose(sink);
  std::vector<double> w = pulses.widthsUs;
  w.resize(wanted);
  std::sort(w.begin(), w.end());
  const auto over =
      static_cast<std::size_t>(w.end() - std::upper_bound(w.begin(), w.end(), kDatasheetMaxUs));
  const bool refused =
      model.frmMain["SystemLog"].Caption().find("without real-time priority") != std::string::npos;
  return {w.front(), w[w.size() / 2], w[w.size() * 999 / 1000], w.back(), w.size(), over,
          seconds,   refused};
}

void Report(const char* what, const Figures& f) {
  std::printf("%s: %zu pulses in %.1f s, real-time priority %s\n", what, f.pulses, f.seconds,
              f.priorityRefused ? "refused" : "granted");
  std::printf("  min %.1f us  median %.1f us  99.9th %.1f us  max %.1f us  over %.0f us: %zu\n",
              f.min, f.median, f.p999, f.max, kDatasheetMaxUs, f.overDatasheet);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::size_t pulses =
      argc > 1 ? static_cast<std::size_t>(std::strtoul(argv[1], nullptr, 10)) : kDefaultPulses;
  if (pulses == 0) {
    std::fprintf(stderr, "usage: %s [PULSES]\n", argv[0]);
    return 2;
  }
  Report("27C256 at the default speed, window idle", Measure(false, pulses));
  Report("27C256 at the default speed, window resized and repainted every 5 ms",
         Measure(true, pulses));
  return 0;
}
