#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "board/backends/port_slots.h"
#include "board/backends/ppdev_device.h"
#include "board/port_io.h"

namespace sorvell::board {

// A ppdev device node the operator puts at one of the board's bases, for a port the kernel lists
// elsewhere (a PCIe card at D010h): ppdev reaches a port by its node, so the program can keep
// addressing the board at 378h, 278h or 3BCh while the bytes go to the card.
struct PpdevMapping {
  std::string device;  // "/dev/parport1"
  std::uint16_t base = 0;
};

// Where the kernel publishes parallel ports and their device nodes; tests point these at a
// temporary tree. With mappings, only the mapped nodes are opened.
struct PpdevPaths {
  std::string procRoot = "/proc/sys/dev/parport";
  std::string devRoot = "/dev";
  std::vector<PpdevMapping> mapped;
  // How a node is opened and claimed: ClaimPpdevDevice, or a test's stand-in that opens a plain
  // file, on which every register call then fails as it does on a port that went away.
  std::function<PpdevClaim(const std::string& device, const std::string& role)> claim =
      ClaimPpdevDevice;
};

// The parallel port through the kernel's ppdev driver (/dev/parportN), which needs no more
// privilege than membership of the lp group. Every port the kernel lists at a board base is
// claimed for the life of the object; data, status and control map to the driver's raw
// register calls. Accesses to a base that is not open act like an empty address: writes are
// dropped and reads give FFh. A register call that fails (the USB adapter unplugged, the card
// gone) throws PortFault naming the node, its board base, the access and the system's error.
class PpdevPort final : public PortIo {
 public:
  // Returns nullptr when no port opens, with `error` naming the cause and the fix. When some
  // listed ports open and others fail, returns the ones that opened and leaves the failures in
  // `error`; a mapped node that fails fails the whole open, since the operator named it.
  static std::unique_ptr<PpdevPort> Open(std::string& error, const PpdevPaths& paths = {});

  ~PpdevPort() override;
  PpdevPort(const PpdevPort&) = delete;
  PpdevPort& operator=(const PpdevPort&) = delete;

  void PortOut(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t PortIn(std::uint16_t port) override;

  // The board bases that are open, in probe order (378h, 278h, 3BCh).
  std::vector<std::uint16_t> Bases() const;

 private:
  using Descriptors = std::array<int, kBoardBaseCount>;    // by slot; -1 when not open
  using Names = std::array<std::string, kBoardBaseCount>;  // "/dev/parport0 (the port at 378h)"
  PpdevPort() { descriptors_.fill(-1); }

  static std::unique_ptr<PpdevPort> OpenMapped(std::string& error, const PpdevPaths& paths);
  // Claims the node for a slot; false with the failure in `failures`.
  bool Claim(int slot, const PpdevPaths& paths, const std::string& device, const std::string& role,
             std::vector<std::string>& failures);
  // One register call, retried when a signal interrupts it; throws PortFault when it fails.
  void Call(int slot, unsigned long request, unsigned char& byte, bool write,
            std::uint16_t offset) const;

  Descriptors descriptors_;
  Names names_;
};

}  // namespace sorvell::board
