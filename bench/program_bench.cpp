// Programs and verifies a 1 MB 27C080, a 32 KB 27C256, a 512 KB AM29F040 and a 32 KB X28C256 on
// the simulated board, with random images, and reports port accesses per byte, the virtual time
// (what a real board on a legacy port would take) and the CPU time of the run.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>

#include "console/console_edges.h"
#include "shell/main_form.h"
#include "shell/system_edges.h"
#include "sim/eprom_chip.h"
#include "sim/sim_port.h"
#include "sim/virtual_clock.h"
#include "sim/virtual_timing.h"
#include "sim/writable_parts.h"

namespace {

using namespace sorvell;

struct Result {
  std::uint64_t accesses;
  double virtualSeconds;
  double cpuSeconds;
  bool ok;
};

template <typename Chip>
Result Run(std::unique_ptr<Chip> chip, int deviceRow, std::size_t size, int model) {
  sim::VirtualClock clock;
  sim::VirtualTiming timing(clock);
  sim::SimulatedPort port(clock);
  port.PlaceBoard(model, board::kLpt378);
  std::FILE* sink = std::fopen("/dev/null", "w");
  console::ScriptedDialogs dialogs(sink, true);
  console::ConsoleWindows windows(sink);
  console::SilentSounds sounds;
  console::MemorySettings settings;
  shell::SystemWallClock wallClock;
  shell::MainForm form({port, timing, dialogs, windows, sounds, settings, wallClock,
                        panel::Folders{"/tmp", "/tmp/sorvell-bench", "/tmp"}});
  form.Form_Load();
  const Chip* part = chip.get();
  port.BoardAt(board::kLpt378)->Insert(std::move(chip));
  form.SetValue("Device", deviceRow);
  form.SetValue("CheckBlankPriorProgramming", 0);
  std::mt19937 random(42);
  for (std::size_t i = 0; i < size; ++i) {
    form.buffers.CodeBuffer[i] = static_cast<std::uint8_t>(random());
  }
  port.ResetCounters();
  const std::uint64_t start = clock.NowNs();
  const std::clock_t cpu0 = std::clock();
  form.dispatcher.Program_button_Click();  // programs, then verifies
  const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  const bool ok = std::equal(part->Contents().begin(), part->Contents().end(),
                             form.buffers.CodeBuffer.begin()) &&
                  form.panel.ErrorAlertsRaised() == 0;
  std::fclose(sink);
  return {port.Writes() + port.Reads(), static_cast<double>(clock.NowNs() - start) / 1e9, cpu, ok};
}

template <typename Chip>
void Report(const char* part, std::unique_ptr<Chip> chip, int deviceRow, std::size_t size) {
  const Result r = Run(std::move(chip), deviceRow, size, 5);
  std::printf("%s, %zu bytes, program and verify on a model 5 board: %s\n", part, size,
              r.ok ? "ok" : "FAILED");
  std::printf("  port accesses per byte   %.1f\n", static_cast<double>(r.accesses) / size);
  std::printf("  virtual time             %.1f s\n", r.virtualSeconds);
  std::printf("  CPU time                 %.2f s (%.0f ns per port access)\n", r.cpuSeconds,
              r.cpuSeconds / static_cast<double>(r.accesses) * 1e9);
}

}  // namespace

int main() {
  Report("27C080", sim::MakeEprom("27C080"), 21, std::size_t{1} << 20);
  Report("27C256", sim::MakeEprom("27C256"), 11, 32768);
  Report("AM29F040", sim::MakeWritableChip("AM29F040"), 27, std::size_t{512} << 10);
  Report("X28C256", sim::MakeWritableChip("X28C256"), 33, 32768);
  return 0;
}
