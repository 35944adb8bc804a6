#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "board/backends/port_slots.h"
#include "board/port_io.h"

namespace sorvell::board {

// The parallel port by direct I/O instructions (x86 only), for machines without ppdev. The
// kernel grants the process the three registers at each board base; any other port is refused
// in software (writes dropped, reads FFh) and never reaches the bus.
class DirectPort final : public PortIo {
 public:
  // Returns nullptr when no base is granted, with `error` naming the cause and the fix. On
  // machines other than x86 it always fails.
  static std::unique_ptr<DirectPort> Open(std::string& error);

  ~DirectPort() override;
  DirectPort(const DirectPort&) = delete;
  DirectPort& operator=(const DirectPort&) = delete;

  void PortOut(std::uint16_t port, std::uint8_t value) noexcept override;
  std::uint8_t PortIn(std::uint16_t port) noexcept override;

  // The board bases granted, in probe order (378h, 278h, 3BCh).
  std::vector<std::uint16_t> Bases() const;

 private:
  using Grants = std::array<bool, kBoardBaseCount>;  // by slot
  explicit DirectPort(const Grants& granted) : granted_(granted) {}

  bool Granted(std::uint16_t port) const noexcept;

  Grants granted_;
};

}  // namespace sorvell::board
