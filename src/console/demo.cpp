#include "console/demo.h"

#include <memory>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/read_cycle.h"
#include "sim/rom_chip.h"
#include "sim/sim_port.h"

namespace sorvell::console {

namespace {

constexpr std::int32_t kDemoSize = 32 * 1024;

std::vector<std::uint8_t> DemoImage() {
  const std::string banner = "SORVELL simulated ROM - read through the status lines. ";
  std::vector<std::uint8_t> image(kDemoSize);
  for (std::int32_t i = 0; i < kDemoSize; ++i) {
    image[i] = i < 256 ? static_cast<std::uint8_t>(banner[i % banner.size()])
                       : static_cast<std::uint8_t>(i ^ (i >> 8));
  }
  return image;
}

void PrintLine(std::FILE* out, std::int32_t address, const std::uint8_t* bytes) {
  std::fprintf(out, "%06X  ", address);
  for (int i = 0; i < 16; ++i) std::fprintf(out, "%02X ", bytes[i]);
  std::fputc(' ', out);
  for (int i = 0; i < 16; ++i) std::fputc(bytes[i] >= 32 && bytes[i] < 127 ? bytes[i] : '.', out);
  std::fputc('\n', out);
}

std::vector<std::uint8_t> ReadBack(board::Board& board, std::int32_t size) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(size));
  board::ReadSequential(board, size, [&](std::uint8_t byte) { bytes.push_back(byte); });
  return bytes;
}

}  // namespace

int RunReadDemonstration(shell::PortBackend& backend, std::FILE* out) {
  std::fprintf(out, "Board access: %s\n", backend.description.c_str());
  sim::SimulatedPort* simulator = backend.simulator;
  if (simulator == nullptr) {
    std::fprintf(out,
                 "A real port is open. Board detection is not built yet, so nothing is sent.\n");
    return 0;
  }
  sim::SimBoard* simBoard = nullptr;
  std::uint16_t base = 0;
  for (std::uint16_t candidate : {board::kLpt378, board::kLpt278, board::kLpt3BC}) {
    if ((simBoard = simulator->BoardAt(candidate)) != nullptr) {
      base = candidate;
      break;
    }
  }
  if (simBoard == nullptr) {
    std::fprintf(out, "No simulated board on any port: nothing to read.\n");
    return 0;
  }
  const std::vector<std::uint8_t> image = DemoImage();
  simBoard->Insert(std::make_unique<sim::RomChip>(image));

  board::Board board(*backend.port, *backend.timing);
  board.InitStrobeTable();
  board.InitDecodeTables();
  board.DataPort = base;
  board.BoardModel = simBoard->Model();
  board.SelectModelStrobes();
  board.StrobeCount = 12;  // the default speed setting

  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadBack(board, kDemoSize);
  } catch (const board::PortFault& fault) {
    std::fprintf(out, "Port access FAILED: %s - nothing read\n", fault.what());
    return 1;
  }
  std::uint32_t sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  std::fprintf(out, "Read %d bytes from a 32 KB ROM in the socket of the model %d board:\n",
               kDemoSize, board.BoardModel);
  for (std::int32_t address = 0; address < 128; address += 16)
    PrintLine(out, address, &bytes[address]);
  std::fprintf(out, "Checksum %04X; %s\n", sum & 0xFFFF,
               bytes == image ? "every byte matches the ROM" : "MISMATCH against the ROM");
  return bytes == image ? 0 : 1;
}

}  // namespace sorvell::console
