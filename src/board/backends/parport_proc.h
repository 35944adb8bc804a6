#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::board {

// One parallel port as the kernel lists it under /proc/sys/dev/parport/parportN.
struct ParportEntry {
  int number = 0;                     // N: /dev/parportN drives this port
  std::optional<std::uint32_t> base;  // I/O base, absent when base-addr cannot be read
};

// The ports listed under `procRoot`, by number; empty when the tree is missing (the parport
// modules are not loaded) or lists nothing.
std::vector<ParportEntry> ListParports(const std::string& procRoot);

// The first number of a base-addr file ("888\t0\n": base, then the ECP base or 0), decimal.
std::optional<std::uint32_t> ParseBaseAddr(std::string_view text);

}  // namespace sorvell::board
