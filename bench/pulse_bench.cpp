// Measures, on the real timing layer, how long 100,000 programming pulses of a 27C256 last at the
// default speed: once with the window idle and once with the window resized and repainted every
// few milliseconds during the run. The pulse is chip enable held active on register 3: its width
// is the time between the register writes that start and end it, taken when each is latched.
// The chips are simulated (their ports cost no time), so what is measured is the program's own
// timing and whatever the window takes from it.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

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
constexpr std::size_t kPulses = 100'000;

// Forwards every access; on each latching of register 3 notes whether chip enable went active
// (bit 7 low) or inactive, and keeps the width of each active stretch.
class PulseTimer final : public board::PortIo {
 public:
  explicit PulseTimer(board::PortIo& inner) : inner_(inner) {}
  // The model's board, which knows the port and the strobe values once it exists.
  void Watch(const board::Board& board) { board_ = &board; }
  void PortOut(std::uint16_t port, std::uint8_t value) override {
    if (board_ != nullptr) Note(port, value);
    inner_.PortOut(port, value);
  }
  std::uint8_t PortIn(std::uint16_t port) override { return inner_.PortIn(port); }
  std::vector<double> widthsUs;

 private:
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
    }
    active_ = active;
  }
  board::PortIo& inner_;
  const board::Board* board_ = nullptr;
  std::uint8_t data_ = 0;
  bool active_ = false;
  Clock::time_point start_{};
};

struct Figures {
  double min, median, p999, max;
  std::size_t pulses;
  double seconds;
};

Figures Measure(bool churnWindow) {
  sim::VirtualClock virtualClock;
  sim::SimulatedPort boards(virtualClock);
  boards.PlaceBoard(5, board::kLpt378);
  board::RealTiming timing;
  std::FILE* sink = std::fopen("/dev/null", "w");
  console::ScriptedDialogs dialogs(sink, true);
  gui::QtWindowHost windows;
  console::SilentSounds sounds;
  console::MemorySettings settings;
  shell::SystemWallClock wallClock;
  PulseTimer pulses(boards);
  shell::MainForm model({pulses, timing, dialogs, windows, sounds, settings, wallClock,
                         panel::Folders{"/tmp", "/tmp/sorvell-bench", "/tmp"}});
  pulses.Watch(model.board);
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
  while (pulses.widthsUs.size() < kPulses) {
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
  w.resize(kPulses);
  std::sort(w.begin(), w.end());
  return {w.front(), w[w.size() / 2], w[w.size() * 999 / 1000], w.back(), w.size(), seconds};
}

void Report(const char* what, const Figures& f) {
  std::printf("%s: %zu pulses in %.1f s\n", what, f.pulses, f.seconds);
  std::printf("  min %.1f us  median %.1f us  99.9th %.1f us  max %.1f us\n", f.min, f.median,
              f.p999, f.max);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Report("27C256 at the default speed, window idle", Measure(false));
  Report("27C256 at the default speed, window resized and repainted every 5 ms", Measure(true));
  return 0;
}
