#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "board/port_io.h"
#include "sim/sim_board.h"
#include "sim/virtual_clock.h"

namespace sorvell::sim {

// The legacy port bus with a parallel port at each of the three bases and up to three boards.
// Every access costs virtual time, as a real I/O access does.
class SimulatedPort final : public board::PortIo {
 public:
  explicit SimulatedPort(VirtualClock& clock) : clock_(clock) {}

  // Connects a freshly powered board (latches 0) at a base (378h, 278h or 3BCh), replacing any
  // board there; throws std::invalid_argument for another base or model.
  SimBoard& PlaceBoard(int model, std::uint16_t base);
  void RemoveBoard(std::uint16_t base);
  SimBoard* BoardAt(std::uint16_t base);

  // Violations recorded by the parts in the sockets of every board, and the latest one's text
  // (of the first board that has any); 0 and empty for a clean run.
  std::uint64_t ChipViolationCount() const;
  std::string LastChipViolation() const;

  // Fault: the port itself fails after `accesses` more accesses (0: at once), as a USB adapter
  // unplugged or a card that stops answering: every access from then on throws board::PortFault
  // with the system's words for it, until Repair.
  void FailAfter(std::uint64_t accesses);
  void Repair();

  void SetAccessCostNs(std::uint64_t ns) { accessCostNs_ = ns; }
  std::uint64_t Writes() const { return writes_; }
  std::uint64_t Reads() const { return reads_; }
  void ResetCounters() { writes_ = reads_ = 0; }

  void PortOut(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t PortIn(std::uint16_t port) override;

 private:
  // One parallel port: its two output registers, and the board on its cable if any.
  struct Slot {
    explicit Slot(std::uint16_t portBase) : base(portBase) {}
    std::uint16_t base;
    std::uint8_t data = 0;
    std::uint8_t control = 0;
    std::unique_ptr<SimBoard> board;
  };

  Slot* SlotFor(std::uint16_t port);
  Slot& SlotAtBase(std::uint16_t base);
  // Throws once the port has failed.
  void Access(std::uint16_t port, bool write);

  VirtualClock& clock_;
  std::array<Slot, 3> slots_{Slot(board::kLpt378), Slot(board::kLpt278), Slot(board::kLpt3BC)};
  std::uint64_t accessCostNs_ = 1000;
  std::uint64_t writes_ = 0;
  std::uint64_t reads_ = 0;
  std::optional<std::uint64_t> accessesUntilFailure_;
};

}  // namespace sorvell::sim
