#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../panel/panel_fakes.h"
#include "board/recording_port.h"
#include "shell/main_form.h"
#include "sim/sim_port.h"
#include "sim/virtual_clock.h"
#include "sim/virtual_timing.h"

namespace sorvell::shell::testing {

// The form model, the edges and their fakes are used unqualified throughout the tests.
using namespace sorvell::panel;
using namespace sorvell::panel::testing;

// A whole file as bytes in a string; empty when it cannot be read.
inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The log line a read or verify of these bytes ends with.
inline std::string ChecksumLine(const std::vector<std::uint8_t>& image) {
  std::uint32_t sum = 0;
  for (const std::uint8_t b : image) sum += b;
  char line[40];
  std::snprintf(line, sizeof line, "Device CHKSUMM = $%04X", sum & 0xFFFF);
  return line;
}

// A main window on a recording port, with a scratch working folder.
struct ShellRig {
  ShellRig()
      : folder(std::filesystem::temp_directory_path() /
               ("sorvell-shell-" + std::to_string(::getpid()) + "-" +
                std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
    std::filesystem::create_directories(folder);
    form = std::make_unique<MainForm>(Edges{port, timing, dialogs, windows, sounds, settings, clock,
                                            Folders{folder / "prog", folder / "config", folder}});
  }
  ~ShellRig() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  board::RecordingPort port;
  sim::VirtualClock virtualClock;
  sim::VirtualTiming timing{virtualClock};
  FakeDialogs dialogs;
  FakeWindows windows;
  RecordingSounds sounds;
  FakeSettings settings;
  FixedClock clock;
  std::unique_ptr<MainForm> form;
};

// Forwards to the simulated boards and remembers every access.
class TappedPort final : public board::PortIo {
 public:
  explicit TappedPort(board::PortIo& inner) : inner_(inner) {}
  void PortOut(std::uint16_t port, std::uint8_t value) override {
    if (beforeAccess) beforeAccess();
    accesses.push_back({true, port, value});
    inner_.PortOut(port, value);
  }
  std::uint8_t PortIn(std::uint16_t port) override {
    if (beforeAccess) beforeAccess();
    const std::uint8_t value = inner_.PortIn(port);
    accesses.push_back({false, port, value});
    return value;
  }
  std::vector<board::RecordingPort::Access> accesses;
  // Run before each access: a test makes the port slow here by advancing the virtual clock.
  std::function<void()> beforeAccess;

 private:
  board::PortIo& inner_;
};

// Virtual time that also tallies each busy wait by its count, so tests can tell strobes and short
// settling loops apart, and follows the timed work the real timing would hold at real-time
// priority.
class TallyTiming final : public board::Timing {
 public:
  explicit TallyTiming(board::Timing& inner) : inner_(inner) {}
  void Sleep(std::uint32_t ms) override {
    sleeps[ms]++;
    if (InTimedWork()) ++sleepsInTimedWork;
    inner_.Sleep(ms);
  }
  void Spin(std::int64_t iterations) override {
    spins[iterations]++;
    inner_.Spin(iterations);
  }
  void WaitUntilNs(std::uint64_t deadlineNs) override {
    ++waitsUntil;
    if (!InTimedWork()) ++waitsOutsideTimedWork;
    inner_.WaitUntilNs(deadlineNs);
    if (afterWait) afterWait();
  }
  std::uint64_t NowNs() override { return clockRead ? clockRead() : inner_.NowNs(); }
  // A test gives the clock reads a cost of their own here.
  std::function<std::uint64_t()> clockRead;
  // A test stalls the process here, as a preemption inside a pulse would.
  std::function<void()> afterWait;
  // Timed work as the real timing would hold it; `refusal` is what the system said.
  std::string BeginTimedRun() override {
    ++runsBegun;
    return refusal;
  }
  void EndTimedRun() override { ++runsEnded; }
  void BeginTimedWork() override {
    if (workDepth++ == 0) ++timedWorks;
  }
  void EndTimedWork() override { --workDepth; }
  bool InTimedWork() const { return workDepth > 0; }
  std::string refusal;
  int runsBegun = 0, runsEnded = 0, timedWorks = 0, sleepsInTimedWork = 0;
  int workDepth = 0;
  int waitsUntil = 0, waitsOutsideTimedWork = 0;
  std::map<std::int64_t, int> spins;
  std::map<std::uint32_t, int> sleeps;

 private:
  board::Timing& inner_;
};

// A main window on simulated boards, each rig with a scratch folder of its own. The program is
// told what a simulated port access costs, as start-up would measure it.
struct SimRig {
  static constexpr std::uint64_t kSimulatedAccessNs = 1000;
  static inline int instances = 0;
  SimRig()
      : folder(
            std::filesystem::temp_directory_path() /
            ("sorvell-sim-rig-" + std::to_string(::getpid()) + "-" + std::to_string(++instances))),
        form(Edges{tap,
                   tally,
                   dialogs,
                   windows,
                   sounds,
                   settings,
                   clock,
                   Folders{folder, folder, folder},
                   nullptr,
                   {},
                   kSimulatedAccessNs}) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  ~SimRig() { std::filesystem::remove_all(folder); }
  std::string Log() { return form.frmMain["SystemLog"].Caption(); }
  std::string Found() { return form.frmMain["SorvellHardwareFound"].Caption(); }
  bool Probed() {
    for (const auto& a : tap.accesses) {
      if (!a.isWrite) return true;
    }
    return false;
  }

  std::filesystem::path folder;
  sim::VirtualClock virtualClock;
  sim::VirtualTiming timing{virtualClock};
  TallyTiming tally{timing};
  sim::SimulatedPort boards{virtualClock};
  TappedPort tap{boards};
  FakeDialogs dialogs;
  FakeWindows windows;
  RecordingSounds sounds;
  FakeSettings settings;
  FixedClock clock;
  MainForm form;
};

}  // namespace sorvell::shell::testing
