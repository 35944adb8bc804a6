#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace sorvell::sim {

// The cell array of an electrically erasable part. Flash programs by clearing bits only; an
// EEPROM byte write (and a Flash erase) sets the whole byte. Stuck bits hold their level through
// both, which is how a byte that never takes is made.
class FlashCells {
 public:
  // Cells from the image, the rest erased (FFh). Throws std::invalid_argument if the image is
  // larger than the array.
  FlashCells(std::uint32_t sizeBytes, std::span<const std::uint8_t> image);

  std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes_.size()); }
  std::uint8_t Read(std::uint32_t address) const { return bytes_[address % Size()]; }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  // Flash byte program: 1 bits of the cell become the data's 0 bits. True if the cell now holds
  // the data, false if the data wanted a 0 turned back into 1 or a stuck bit would not move.
  bool Program(std::uint32_t address, std::uint8_t data);
  // EEPROM byte write: the cell takes the data as it is (but for stuck bits).
  void Write(std::uint32_t address, std::uint8_t data);
  // Every cell in [first, first + count) FFh; true if all of them now read FFh.
  bool Erase(std::uint32_t first, std::uint32_t count);

  // The bits in mask hold the level in stuckValue from now on. Throws std::out_of_range for an
  // address beyond the part.
  void SetStuckBits(std::uint32_t address, std::uint8_t mask, std::uint8_t stuckValue);

 private:
  struct Stuck {
    std::uint8_t mask;
    std::uint8_t value;
  };

  void HoldStuckBits(std::uint32_t address);

  std::vector<std::uint8_t> bytes_;
  std::map<std::uint32_t, Stuck> stuck_;
};

}  // namespace sorvell::sim
