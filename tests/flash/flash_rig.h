#pragma once

// A main window on a simulated board with a Flash or page-write part in its socket.
#include <algorithm>
#include <string>
#include <vector>

#include "../shell/shell_fakes.h"
#include "sim/writable_parts.h"

namespace sorvell::shell::testing {

inline constexpr int kX28C256Row = 33;

// A distinct byte at the bottom and top of every 64 KB bank, random bytes elsewhere.
inline std::vector<std::uint8_t> Image(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) {
    seed = seed * 1664525u + 1013904223u;
    image[i] = static_cast<std::uint8_t>(seed >> 24);
  }
  for (std::size_t bank = 0; bank * 65536 < size; ++bank) {
    image[bank * 65536] = static_cast<std::uint8_t>(0x10 + bank);
    image[std::min(size, (bank + 1) * 65536) - 1] = static_cast<std::uint8_t>(0x80 + bank);
  }
  return image;
}

struct FlashRig : SimRig {
  FlashRig(int model, const char* part, int row, std::vector<std::uint8_t> contents = {}) {
    simBoard = &boards.PlaceBoard(model, board::kLpt378);
    form.Form_Load();
    auto made = sim::MakeWritableChip(part, contents);
    chip = made.get();
    simBoard->Insert(std::move(made));
    form.SetValue("Device", row);
  }
  void Load(const std::vector<std::uint8_t>& image) {
    std::copy(image.begin(), image.end(), form.buffers.CodeBuffer.begin());
    form.buffers.CodeBufferLoaded = 1;
    form.buffers.CodeImageSize = static_cast<std::int32_t>(image.size());
  }
  bool Logged(const std::string& line) {
    const std::string log = Log();
    return log.find(">  " + line + "\r\n") != std::string::npos || log.ends_with(">  " + line);
  }
  sim::SimBoard* simBoard = nullptr;
  sim::WritableChip* chip = nullptr;
};

}  // namespace sorvell::shell::testing
