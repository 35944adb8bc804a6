// Programs and verifies a 1 MB 27C080, a 32 KB 27C256, a 512 KB AM29F040, a 32 KB X28C256, a
// 4 KB 24C32 and the parts of today (SST39SF010A/040, MX29F040, AT28C256, 24C02, 24C64, 24C512) on
// the simulated board, with random images, reads a 2 KB 24C16 and a 2716, and reports port
// accesses per byte, the virtual time (what a real board on a legacy port would take) and the CPU
// time of each run.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>

#include "console/console_edges.h"
#include "shell/main_form.h"
#include "shell/system_edges.h"
#include "sim/eprom_chip.h"
#include "sim/serial_eeprom_chip.h"
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

enum class Operation { kProgramAndVerify, kRead };

std::vector<std::uint8_t> RandomBytes(std::size_t size) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> bytes(size);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

int DeviceRow(const shell::MainForm& form, const std::string& listed) {
  const auto& items = form.frmMain["Device"].Items();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].starts_with(listed)) return static_cast<int>(i);
  }
  return -1;
}

template <typename Chip>
Result Run(std::unique_ptr<Chip> chip, const std::string& listed, std::size_t size, int model,
           Operation operation) {
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
  form.SetValue("Device", DeviceRow(form, listed));
  form.SetValue("CheckBlankPriorProgramming", 0);
  std::mt19937 random(42);
  for (std::size_t i = 0; i < size; ++i) {
    form.buffers.CodeBuffer[i] = static_cast<std::uint8_t>(random());
  }
  port.ResetCounters();
  const std::uint64_t start = clock.NowNs();
  const std::clock_t cpu0 = std::clock();
  if (operation == Operation::kRead) {
    std::fill_n(form.buffers.CodeBuffer.begin(), size, 0);
    form.dispatcher.Read_button_Click();
  } else {
    form.dispatcher.Program_button_Click();  // programs, then verifies
  }
  const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  const bool ok = std::equal(part->Contents().begin(), part->Contents().end(),
                             form.buffers.CodeBuffer.begin()) &&
                  form.panel.ErrorAlertsRaised() == 0;
  std::fclose(sink);
  return {port.Writes() + port.Reads(), static_cast<double>(clock.NowNs() - start) / 1e9, cpu, ok};
}

template <typename Chip>
void Report(const char* part, std::unique_ptr<Chip> chip, const std::string& listed,
            std::size_t size, Operation operation = Operation::kProgramAndVerify) {
  const Result r = Run(std::move(chip), listed, size, 5, operation);
  std::printf("%s, %zu bytes, %s on a model 5 board: %s\n", part, size,
              operation == Operation::kRead ? "read" : "program and verify",
              r.ok ? "ok" : "FAILED");
  std::printf("  port accesses per byte   %.1f\n", static_cast<double>(r.accesses) / size);
  std::printf("  virtual time             %.1f s\n", r.virtualSeconds);
  std::printf("  CPU time                 %.2f s (%.0f ns per port access)\n", r.cpuSeconds,
              r.cpuSeconds / static_cast<double>(r.accesses) * 1e9);
}

}  // namespace

int main() {
  Report("27C080", sim::MakeEprom("27C080"), "Eprom 27C080", std::size_t{1} << 20);
  Report("27C256", sim::MakeEprom("27C256"), "Eprom 27C256", 32768);
  Report("AM29F040", sim::MakeWritableChip("AM29F040"), "Flash AMD AM29F040",
         std::size_t{512} << 10);
  Report("X28C256", sim::MakeWritableChip("X28C256"), "Eeprom XICOR X28C256", 32768);
  Report("24C32", sim::MakeSerialEeprom("24C32"), "Eeprom 24C32", 4096);
  Report("24C16", sim::MakeSerialEeprom("24C16", RandomBytes(2048)), "Eeprom 24C16", 2048,
         Operation::kRead);
  // The parts of today.
  Report("SST39SF010A", sim::MakeWritableChip("SST39SF010A"), "Flash SST SST39SF010A",
         std::size_t{128} << 10);
  Report("SST39SF040", sim::MakeWritableChip("SST39SF040"), "Flash SST SST39SF040",
         std::size_t{512} << 10);
  Report("MX29F040", sim::MakeWritableChip("MX29F040"), "Flash Macronix MX29F040",
         std::size_t{512} << 10);
  Report("AT28C256", sim::MakeWritableChip("AT28C256"), "Eeprom Atmel AT28C256", 32768);
  Report("24C02", sim::MakeSerialEeprom("24C02"), "Eeprom 24C02", 256);
  Report("24C64", sim::MakeSerialEeprom("24C64"), "Eeprom 24C64", 8192);
  Report("24C512", sim::MakeSerialEeprom("24C512"), "Eeprom 24C512", 65536);
  Report("2716", sim::MakeEprom("2716", RandomBytes(2048)), "Eprom 2716 (read only)", 2048,
         Operation::kRead);
  return 0;
}
