// Reads 1 MiB through the board layer the way the device read loop does: the full address once
// per 256-byte page, then register 2 and a two-nibble read per byte. Reports port accesses per
// byte, simulated accesses per second, the CPU time per access spent in the board layer alone
// (against a port that does nothing) and with the simulator, and the virtual time the read takes
// on a legacy port at the default speed setting.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "board/board.h"
#include "board/read_cycle.h"
#include "sim/rom_chip.h"
#include "sim/sim_port.h"
#include "sim/virtual_clock.h"
#include "sim/virtual_timing.h"

namespace {

using sorvell::board::Board;

constexpr std::int32_t kBytes = 1 << 20;

// A port with nothing behind it: measures what our own layers cost per access.
class NullPort final : public sorvell::board::PortIo {
 public:
  void PortOut(std::uint16_t, std::uint8_t value) override { sink_ ^= value, ++accesses; }
  std::uint8_t PortIn(std::uint16_t) override { return static_cast<std::uint8_t>(++accesses); }
  std::uint64_t accesses = 0;

 private:
  std::uint8_t sink_ = 0;
};

void PrepareBoard(Board& board, int model) {
  board.InitStrobeTable();
  board.InitDecodeTables();
  board.DataPort = sorvell::board::kLpt378;
  board.BoardModel = model;
  board.SelectModelStrobes();
  board.StrobeCount = 12;  // default slider position, CMOS device factors
}

std::uint32_t ReadMegabyte(Board& board) {
  std::uint32_t sum = 0;
  sorvell::board::ReadSequential(board, kBytes, [&](std::uint8_t byte) { sum += byte; });
  return sum;
}

struct Run {
  double cpuSeconds;
  double wallSeconds;
  std::uint32_t sum;
};

template <typename F>
Run Measure(F&& body) {
  const std::clock_t cpu0 = std::clock();
  const auto wall0 = std::chrono::steady_clock::now();
  const std::uint32_t sum = body();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  return {static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC, wall, sum};
}

void BenchModel(int model) {
  NullPort nullPort;
  sorvell::sim::VirtualClock nullClock;
  sorvell::sim::VirtualTiming nullTiming(nullClock);
  Board nullBoard(nullPort, nullTiming);
  PrepareBoard(nullBoard, model);
  const Run own = Measure([&] { return ReadMegabyte(nullBoard); });

  sorvell::sim::VirtualClock clock;
  sorvell::sim::VirtualTiming timing(clock);
  sorvell::sim::SimulatedPort port(clock);
  std::vector<std::uint8_t> image(kBytes);
  std::uint32_t expected = 0;
  for (std::int32_t i = 0; i < kBytes; ++i) {
    image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    expected += image[i];
  }
  port.PlaceBoard(model, sorvell::board::kLpt378)
      .Insert(std::make_unique<sorvell::sim::RomChip>(std::move(image)));
  Board board(port, timing);
  PrepareBoard(board, model);
  const Run sim = Measure([&] { return ReadMegabyte(board); });
  const double accesses = static_cast<double>(port.Writes() + port.Reads());

  std::printf("model %d: 1 MiB read, checksum %s\n", model, sim.sum == expected ? "ok" : "WRONG");
  std::printf("  port accesses per byte            %.3f\n", accesses / kBytes);
  std::printf("  simulated accesses per second     %.1f million\n",
              accesses / sim.wallSeconds / 1e6);
  std::printf("  CPU per access, board layer only  %.1f ns\n",
              own.cpuSeconds / static_cast<double>(nullPort.accesses) * 1e9);
  std::printf("  CPU per access, with simulator    %.1f ns\n", sim.cpuSeconds / accesses * 1e9);
  std::printf("  virtual time on a legacy port     %.2f s\n",
              static_cast<double>(clock.NowNs()) / 1e9);
}

}  // namespace

int main() {
  for (int model : {4, 5}) BenchModel(model);
  return 0;
}
