#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace sorvell::sim {

// The floating-gate array of a UV-EPROM. Program pulses add charge to one cell; once the cell
// has had the time it needs, each pulse clears the bits its data byte has at 0. Nothing but UV
// erasure sets a bit again.
//
// Charge is kept per cell, not per bit: a cell that has had enough pulse time takes the zeros of
// whatever byte the next pulse carries. Programs that repeat one byte until it verifies see the
// same as with per-bit charge; a program that pulses a cell with changing data is wrong anyway and
// shows up at verify.
class EpromCells {
 public:
  // Cells from the image, the rest erased (FFh). Throws std::invalid_argument if the image is
  // larger than the array.
  EpromCells(std::uint32_t sizeBytes, std::uint64_t cellProgramNs,
             std::span<const std::uint8_t> image);

  std::uint8_t Read(std::uint32_t address) const { return bytes_[address]; }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  // A program pulse of the given length with its latched data byte.
  void Pulse(std::uint32_t address, std::uint8_t data, std::uint64_t durationNs);
  // UV erasure: every cell FFh and without charge or pulse count. Stuck bits stay stuck.
  void Erase();

  // The cell needs `factor` times the typical pulse time (on top of SetSlowness).
  void SetSlowCell(std::uint32_t address, std::uint32_t factor);
  // Every cell needs `factor` times the typical pulse time: a weak part, or a cold one.
  void SetSlowness(std::uint32_t factor);
  // The bits in mask hold the level in stuckValue from now on, whatever is programmed or erased.
  void SetStuckBits(std::uint32_t address, std::uint8_t mask, std::uint8_t stuckValue);

  std::uint32_t PulsesAt(std::uint32_t address) const;
  std::uint64_t ChargeNsAt(std::uint32_t address) const;

 private:
  // 64 bits of nanoseconds: a cell made thousands of times slower than usual still counts
  // every pulse it gets.
  struct Charge {
    std::uint64_t ns = 0;
    std::uint32_t pulses = 0;
  };
  struct Stuck {
    std::uint8_t mask;
    std::uint8_t value;
  };

  std::uint32_t Checked(std::uint32_t address) const;
  std::uint64_t NeededNs(std::uint32_t address) const;
  void HoldStuckBits(std::uint32_t address);
  void HoldAllStuckBits();

  std::vector<std::uint8_t> bytes_;
  // One entry per cell, made on the first pulse: most simulated parts are only ever read.
  std::vector<Charge> charge_;
  std::uint64_t cellProgramNs_;
  std::uint32_t slowness_ = 1;
  std::map<std::uint32_t, std::uint32_t> slowCells_;
  std::map<std::uint32_t, Stuck> stuckCells_;
};

}  // namespace sorvell::sim
