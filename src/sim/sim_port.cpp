#include "sim/sim_port.h"

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace sorvell::sim {

namespace {
// Reads from an address where no port or no board answers.
constexpr std::uint8_t kFloatingBus = 0xFF;
constexpr std::uint16_t kDataOffset = 0;
}  // namespace

SimBoard& SimulatedPort::PlaceBoard(int model, std::uint16_t base) {
  Slot& slot = SlotAtBase(base);
  auto board = std::make_unique<SimBoard>(model, clock_);
  // The board powers up on a cable whose lines already carry the port's last outputs.
  board->OnControlPort(slot.control);
  board->OnDataPort(slot.data);
  board->PowerOn();
  slot.board = std::move(board);
  return *slot.board;
}

void SimulatedPort::RemoveBoard(std::uint16_t base) {
  SlotAtBase(base).board.reset();
}

SimBoard* SimulatedPort::BoardAt(std::uint16_t base) {
  Slot* slot = SlotFor(base);
  return slot != nullptr && slot->base == base ? slot->board.get() : nullptr;
}

std::uint64_t SimulatedPort::ChipViolationCount() const {
  std::uint64_t count = 0;
  for (const Slot& slot : slots_) {
    if (slot.board) count += slot.board->ChipViolations().Count();
  }
  return count;
}

std::string SimulatedPort::LastChipViolation() const {
  for (const Slot& slot : slots_) {
    if (slot.board && slot.board->ChipViolations().Count() > 0) {
      return slot.board->ChipViolations().Last();
    }
  }
  return {};
}

void SimulatedPort::FailAfter(std::uint64_t accesses) {
  accessesUntilFailure_ = accesses;
}

void SimulatedPort::Repair() {
  accessesUntilFailure_.reset();
}

// An unplugged USB adapter answers every request with ENODEV; the message reads as the ppdev
// backend's does.
void SimulatedPort::Access(std::uint16_t port, bool write) {
  if (!accessesUntilFailure_) return;
  if (*accessesUntilFailure_ > 0) {
    --*accessesUntilFailure_;
    return;
  }
  const Slot* slot = SlotFor(port);
  const std::uint16_t base = slot != nullptr ? slot->base : port;
  char where[48];
  std::snprintf(where, sizeof where, "simulated port at %Xh: ", base);
  throw board::PortFault(where + board::AccessText(write, port - base) + ": " +
                         std::system_category().message(ENODEV));
}

void SimulatedPort::PortOut(std::uint16_t port, std::uint8_t value) {
  Access(port, true);
  ++writes_;
  clock_.AdvanceNs(accessCostNs_);
  Slot* slot = SlotFor(port);
  if (slot == nullptr) return;
  const std::uint16_t offset = port - slot->base;
  if (offset == kDataOffset) {
    slot->data = value;
    if (slot->board) slot->board->OnDataPort(value);
  } else if (offset == board::kControlOffset) {
    slot->control = value;
    if (slot->board) slot->board->OnControlPort(value);
  }
}

std::uint8_t SimulatedPort::PortIn(std::uint16_t port) {
  Access(port, false);
  ++reads_;
  clock_.AdvanceNs(accessCostNs_);
  Slot* slot = SlotFor(port);
  if (slot == nullptr || !slot->board) return kFloatingBus;
  switch (port - slot->base) {
    case kDataOffset:
      return slot->data;
    case board::kStatusOffset:
      return slot->board->ReadStatus();
    default:
      return slot->control;
  }
}

SimulatedPort::Slot* SimulatedPort::SlotFor(std::uint16_t port) {
  for (Slot& slot : slots_) {
    if (port >= slot.base && port - slot.base <= board::kControlOffset) return &slot;
  }
  return nullptr;
}

SimulatedPort::Slot& SimulatedPort::SlotAtBase(std::uint16_t base) {
  Slot* slot = SlotFor(base);
  if (slot == nullptr || slot->base != base) {
    throw std::invalid_argument("a board sits at 378h, 278h or 3BCh");
  }
  return *slot;
}

}  // namespace sorvell::sim
