#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/bus_cycles.h"
#include "sim/flash_cells.h"
#include "sim/socket.h"

namespace sorvell::sim {

// The identification codes a part answers in its ID (autoselect) mode.
struct ChipId {
  std::uint8_t maker;
  std::uint8_t device;

  bool operator==(const ChipId&) const = default;
};

// A part written in-system through WE# with 5 V only: Flash with the AMD command set, or a
// page-write EEPROM. What both share: the bus cycles, the cells, the status reads while the part
// is busy, and the faults a test can give it.
class WritableChip : public SocketChip {
 public:
  int PinCount() const override { return bus_.Pins().pinCount; }
  // Inhibited writes, and losing the supply while busy.
  const ViolationLog& Violations() const override { return violations_; }
  PartActivity Activity() const override { return activity_; }

  virtual const std::string& Name() const = 0;
  // The codes its ID mode reads; nullopt for a part without one.
  virtual std::optional<ChipId> Id() const = 0;

  // The cells as stored, not as the bus shows them while the part is busy.
  const std::vector<std::uint8_t>& Contents() const { return cells_.Bytes(); }
  std::uint32_t SizeBytes() const { return cells_.Size(); }

  // Faults.
  // The bits in mask hold stuckValue's level; with mask FFh a byte that never takes. Programming
  // it then fails as the part's status reports it. Throws std::out_of_range beyond the part.
  void SetStuckBits(std::uint32_t address, std::uint8_t mask, std::uint8_t stuckValue) {
    cells_.SetStuckBits(address, mask, stuckValue);
  }
  // A part of another maker or type in the same package: its ID mode answers these codes.
  void SetForeignId(ChipId id) { foreignId_ = id; }
  // Erasing starts and never ends: the part stays busy until it is taken out.
  void SetEraseHangs(bool hangs) { eraseHangs_ = hangs; }

 protected:
  WritableChip(const WritePinout& pins, std::uint32_t sizeBytes,
               std::span<const std::uint8_t> image)
      : bus_(pins), cells_(sizeBytes, image) {}

  // The ID byte at an address in ID mode: A0 picks maker or device; other addresses read 00h
  // (the sector protection flag at A1 = 1 reads "not protected").
  // The bus cycles of this change of the lines; each write cycle, inhibited or not, counts as
  // what the part acted on.
  BusEvents UpdateBus(const SocketLines& lines, std::uint64_t nowNs) {
    const BusEvents events = bus_.Update(lines, nowNs);
    if (events.write || events.inhibitedWrite) ++activity_.writes;
    return events;
  }
  std::uint8_t IdByte(std::uint32_t address) const;
  // Status of a busy part: DQ7 the polled bit, DQ6 the toggle bit (flips on every read cycle),
  // DQ5 exceeded timing limits, DQ3 erase under way.
  std::uint8_t StatusByte(bool dq7, bool dq5, bool dq3) const;
  void OnReadBegan() { toggle_ = !toggle_; }
  void Record(ViolationLog::Kind kind, const std::string& what) {
    violations_.Record(kind, Name() + ": " + what);
  }
  void RecordInhibitedWrite(const SocketLines& lines) {
    Record(ViolationLog::Kind::kWriteWithOutputEnabled,
           "write at " + Hex(bus_.Address(lines)) + " with OE# low (inhibited)");
  }
  static std::string Hex(std::uint32_t value);

  BusCycles bus_;
  FlashCells cells_;
  bool eraseHangs_ = false;

 private:
  std::optional<ChipId> foreignId_;
  bool toggle_ = false;
  ViolationLog violations_;
  PartActivity activity_;
};

}  // namespace sorvell::sim
