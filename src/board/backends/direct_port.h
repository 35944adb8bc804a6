#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/backends/port_slots.h"
#include "board/backends/raw_ports.h"
#include "board/port_io.h"

namespace sorvell::board {

// What the direct backend reads and drives: the machine normally, fakes in tests.
struct DirectMachine {
  std::filesystem::path root = "/";  // proc/ioports, proc/sys/dev/parport, sys/kernel/security
  std::shared_ptr<RawPorts> ports;   // nullptr: the machine's own (MachinePorts)
};

// The parallel port by direct I/O instructions (x86 only), for machines without ppdev. The
// kernel grants the process the three registers at each board base, and the extended control
// register where the port has one; any other port is refused in software (writes dropped, reads
// FFh) and never reaches the bus. Every capability is given up once the grants are made.
class DirectPort final : public PortIo {
 public:
  // Returns nullptr when no base is granted or a kernel driver owns a board base, with `error`
  // naming the cause and the fix. On machines other than x86 it always fails.
  static std::unique_ptr<DirectPort> Open(std::string& error, const DirectMachine& machine = {});

  ~DirectPort() override;
  DirectPort(const DirectPort&) = delete;
  DirectPort& operator=(const DirectPort&) = delete;

  void PortOut(std::uint16_t port, std::uint8_t value) noexcept override;
  std::uint8_t PortIn(std::uint16_t port) noexcept override;

  // The board bases granted, in probe order (378h, 278h, 3BCh).
  std::vector<std::uint16_t> Bases() const;

 private:
  struct Slot {
    bool granted = false;
    bool ecrGranted = false;
    std::optional<std::uint8_t> savedEcr;  // the mode to restore, when the port has an ECR
  };
  using Slots = std::array<Slot, kBoardBaseCount>;
  DirectPort(std::shared_ptr<RawPorts> ports, const Slots& slots)
      : ports_(std::move(ports)), slots_(slots) {}

  bool Granted(std::uint16_t port) const noexcept;

  std::shared_ptr<RawPorts> ports_;
  Slots slots_;
};

}  // namespace sorvell::board
