#include "board/backends/direct_port.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "board/backends/direct_refusals.h"
#include "board/backends/extended_control.h"

namespace sorvell::board {
namespace {

constexpr std::uint8_t kNothingAnswers = 0xFF;

bool AnyGranted(const auto& slots) {
  return std::ranges::any_of(slots, [](const auto& slot) { return slot.granted; });
}

}  // namespace

std::unique_ptr<DirectPort> DirectPort::Open(std::string& error, const DirectMachine& machine) {
  std::shared_ptr<RawPorts> ports = machine.ports ? machine.ports : MachinePorts();
  if (!ports) {
    error = NoDirectIoMessage();
    return nullptr;
  }
  // A driver that owns a base may write its control port at any time, and each write can latch
  // a board register: the board is not driven beside it.
  if (const std::string owned = KernelOwnedMessage(machine.root); !owned.empty()) {
    error = owned;
    return nullptr;
  }
  Slots slots{};
  int refusal = 0;
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    const std::uint16_t base = kBoardBases[slot];
    refusal = ports->Grant(base, kRegistersPerBase, true);
    slots[slot].granted = refusal == 0;
    if (refusal == 0) slots[slot].ecrGranted = ports->Grant(base + kEcrOffset, 1, true) == 0;
  }
  if (!AnyGranted(slots)) {
    error = RefusedMessage(refusal, ports->Privileged(), machine.root);
    return nullptr;
  }
  ports->DropCapabilities();  // the grants stay; nothing else needs the privilege
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    if (slots[slot].ecrGranted) slots[slot].savedEcr = EnterByteMode(*ports, kBoardBases[slot]);
  }
  error.clear();
  return std::unique_ptr<DirectPort>(new DirectPort(std::move(ports), slots));
}

DirectPort::~DirectPort() {
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    const std::uint16_t base = kBoardBases[slot];
    if (slots_[slot].savedEcr) RestoreEcr(*ports_, base, *slots_[slot].savedEcr);
    if (slots_[slot].ecrGranted) ports_->Grant(base + kEcrOffset, 1, false);
    if (slots_[slot].granted) ports_->Grant(base, kRegistersPerBase, false);
  }
}

// The in and out instructions report nothing: a port that goes away under direct I/O (a card
// pulled, a dock undocked) reads FFh like an empty address, so no fault can be seen here. The
// board-answers check (board/board_answers.h) is what notices it, as it notices a board that
// lost its power or cable.
void DirectPort::PortOut(std::uint16_t port, std::uint8_t value) noexcept {
  if (Granted(port)) ports_->Out(port, value);
}

std::uint8_t DirectPort::PortIn(std::uint16_t port) noexcept {
  return Granted(port) ? ports_->In(port) : kNothingAnswers;
}

bool DirectPort::Granted(std::uint16_t port) const noexcept {
  const PortSlot at = FindPortSlot(port);
  return at.slot != kNoSlot && slots_[at.slot].granted;
}

std::vector<std::uint16_t> DirectPort::Bases() const {
  std::vector<std::uint16_t> bases;
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    if (slots_[slot].granted) bases.push_back(kBoardBases[slot]);
  }
  return bases;
}

}  // namespace sorvell::board
