#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/eprom_cells.h"
#include "sim/eprom_parts.h"
#include "sim/socket.h"

namespace sorvell::sim {

// A UV-EPROM in the socket, with the pinout and VPP limits of its part.
//
// Read: powered (VCC 4.5-5.5 V), CE and OE at a logic low, and PGM high on parts that have one;
// it then drives the addressed cell. An OE/VPP pin at VPP is not low. Parts pulsed on CE with a
// VPP pin of their own also drive it in program verify: CE high, OE low, VPP on.
// Program pulse: the pulse pin (CE, or PGM with CE low) low while VPP within the part's window is
// on its VPP pin, OE is high (or carries VPP) and the part is powered. The pulse's length, from
// the line change that began it to the one that ended it, goes to the cell addressed at its start
// with the data byte on D7..D0 at its start. A pulse during which the address or data lines
// changed programs nothing; changes that coincide with its first or last edge are the setup and
// hold the board cannot split finer than one latch write, and are accepted.
// Pulse width: a pulse outside the part's datasheet window is recorded as a violation. It still
// adds its length to the cell's charge: a short pulse gives too little for the cell to take, a
// long one over-stresses a cell that has long taken.
// Read with VPP at programming level: the datasheets specify reading with VPP at VCC; with VPP
// on, the only output they define is program verify, the check of the byte just pulsed. Any other
// read with VPP on is recorded and the outputs float (the bus reads its pull-ups): the part is
// in a program or inhibit state, and what a real one drives there is not its cells.
// Over-voltage: VPP above the part's absolute maximum while powered destroys it. From then on it
// programs nothing and reads 00h wherever it is selected, so that no verify can pass.
class EpromChip final : public SocketChip {
 public:
  static constexpr std::uint8_t kDamagedReadValue = 0x00;

  // Cells from the image, the rest erased (FFh). Throws std::invalid_argument if the image is
  // larger than the part.
  explicit EpromChip(const EpromPart& part, std::span<const std::uint8_t> image = {});

  const EpromPart& Part() const { return part_; }

  int PinCount() const override { return part_.pins.pinCount; }
  void OnLines(const SocketLines& lines, std::uint64_t nowNs) override;
  std::optional<std::uint8_t> DrivenData(const SocketLines& lines,
                                         std::uint64_t nowNs) const override;
  bool Drives(const SocketLines& lines, std::uint64_t nowNs) const override;
  PartActivity Activity() const override {
    PartActivity activity;
    activity.pulses = pulsesEver_;
    return activity;
  }
  // Pulses outside the part's window and reads with VPP on; kept across erasure, as they tell
  // what the programmer did.
  const ViolationLog& Violations() const override { return violations_; }

  // UV erasure off the board: every cell FFh, pulse history forgotten. Damage and stuck bits stay.
  void Erase();

  // Faults. Addresses beyond the part throw std::out_of_range, a factor of 0
  // std::invalid_argument.
  void SetSlowCell(std::uint32_t address, std::uint32_t factor) {
    cells_.SetSlowCell(address, factor);
  }
  void SetSlowness(std::uint32_t factor) { cells_.SetSlowness(factor); }
  // Stuck at 1: programming a 0 there never takes. Stuck at 0: the bit reads 0, also after erase.
  void SetStuckBits(std::uint32_t address, std::uint8_t mask, std::uint8_t stuckValue) {
    cells_.SetStuckBits(address, mask, stuckValue);
  }

  // The cells as stored, not as the bus shows them (a damaged part still holds its bytes).
  const std::vector<std::uint8_t>& Contents() const { return cells_.Bytes(); }

  bool Damaged() const { return !damage_.empty(); }
  // What destroyed the part, e.g. "VPP 21.00 V on pin 1 (limit 14.00 V)"; empty while intact.
  const std::string& DamageReport() const { return damage_; }
  // Device pins other than VPP and VCC that saw more than an input pin stands while powered: VPP
  // switched onto the wrong pin. Recorded, not treated as damage.
  const std::vector<int>& StrayVoltagePins() const { return strayPins_; }

  // Pulses that reached the cell since the last erase, and their summed length.
  std::uint32_t PulsesAt(std::uint32_t address) const { return cells_.PulsesAt(address); }
  std::uint64_t PulseTimeNsAt(std::uint32_t address) const { return cells_.ChargeNsAt(address); }
  // Every program pulse since the last erase, disturbed ones included.
  std::uint64_t TotalPulses() const { return totalPulses_; }
  std::uint64_t DisturbedPulses() const { return disturbedPulses_; }
  // How many pulses since the last erase lasted each width, in nanoseconds, at the part's pins.
  const std::map<std::uint64_t, std::uint64_t>& PulseWidths() const { return pulseWidths_; }

 private:
  struct ActivePulse {
    std::uint64_t startNs;
    std::uint32_t address;
    std::uint8_t data;
    bool disturbed;
  };

  bool PulseApplied(const DevicePins& pins) const;
  bool OutputsEnabled(const DevicePins& pins) const;
  bool VppAtProgramLevel(const DevicePins& pins) const;
  bool VppInWindow(const DevicePins& pins) const;
  bool VerifiesLastPulse(const DevicePins& pins) const;
  void RecordReadWithVpp(const DevicePins& pins) const;
  void JudgePulseWidth(std::uint64_t widthNs);
  std::uint32_t Address(const DevicePins& pins) const;
  void CheckVoltages(const DevicePins& pins);
  void EndPulse(std::uint64_t nowNs);

  EpromPart part_;
  EpromCells cells_;
  std::optional<ActivePulse> pulse_;
  std::uint64_t totalPulses_ = 0;
  std::uint64_t disturbedPulses_ = 0;
  std::map<std::uint64_t, std::uint64_t> pulseWidths_;
  std::uint64_t pulsesEver_ = 0;  // erasing forgets the others, not this one
  std::string damage_;
  std::vector<int> strayPins_;
  // The address of the latest pulse while VPP has stayed on: the one byte program verify reads.
  std::optional<std::uint32_t> lastPulsed_;
  // A read is recorded once per state of the lines, however often the board samples the bus.
  mutable ViolationLog violations_;
  mutable bool readJudged_ = false;
};

// A fresh part by its device-list name, cells from the image and the rest erased; nullptr for an
// unknown name. Throws std::invalid_argument if the image is larger than the part.
std::unique_ptr<EpromChip> MakeEprom(const std::string& partName,
                                     std::span<const std::uint8_t> image = {});

}  // namespace sorvell::sim
