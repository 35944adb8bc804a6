#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "sim/writable_chip.h"

namespace sorvell::sim {

// How long the embedded algorithms take, in virtual nanoseconds.
struct AmdTimings {
  std::uint64_t programNs;       // one byte program
  std::uint64_t programLimitNs;  // a byte that will not take sets DQ5 after this
  std::uint64_t chipEraseNs;
  std::uint64_t sectorEraseNs;  // per sector
};

struct AmdFlashPart {
  std::string name;
  int addressBits;
  std::uint8_t deviceCode;
  std::uint8_t makerCode;
  AmdTimings timings;
  // 0: eight uniform sectors (the AMD parts' 64 KB on the 4 Mbit part).
  std::uint32_t sectorBytes = 0;
  // The DQ5 exceeded-time-limit bit. Without it (SST), an algorithm that cannot do its work ends
  // on time all the same and the part returns to reading its cells as they are.
  bool timeLimitBit = true;
  // More 30h writes within 50 us add sectors to an erase under way (not on SST parts).
  bool sectorGroups = true;
};

// A 5 V 32-pin Flash with the AMD command set: AM29F010, AM29F020, AM29F040, MX29F040, and
// SST39SF010A, SST39SF020A, SST39SF040 (the same unlock and command cycles, 4 KB sectors, no DQ5).
//
// Commands are write cycles (CE# and WE# low, OE# high) whose address bits A14..A0 are decoded:
// unlock AAh at 5555h and 55h at 2AAAh, then 90h autoselect, A0h byte program (the next write is
// the byte), 80h erase (then AAh, 55h and 10h at 5555h for the chip, or 30h at any address of a
// sector; more 30h writes within 50 us add sectors). F0h, alone or after the unlock cycles,
// returns to reading the array; autoselect lasts until then. A broken sequence starts over.
// While the embedded algorithm runs, every read returns the status (DQ7 the complement of the
// programmed bit, 0 in an erase; DQ6 toggling per read cycle; DQ3 1 in an erase) and writes are
// ignored. A program that asks a 0 bit to become 1, or an erase that leaves a bit at 0, keeps
// reporting the status and sets DQ5 after the time limit, until a reset.
class AmdFlashChip final : public WritableChip {
 public:
  // Throws std::invalid_argument if the image is larger than the part.
  AmdFlashChip(const AmdFlashPart& part, std::span<const std::uint8_t> image = {});

  const std::string& Name() const override { return part_.name; }
  std::optional<ChipId> Id() const override;
  void OnLines(const SocketLines& lines, std::uint64_t nowNs) override;
  std::optional<std::uint8_t> DrivenData(const SocketLines& lines,
                                         std::uint64_t nowNs) const override;

  const AmdTimings& Timings() const { return timings_; }
  void SetTimings(const AmdTimings& timings) { timings_ = timings; }
  bool Busy(std::uint64_t nowNs) const { return operation_ && operation_->Running(nowNs); }
  bool InAutoselect() const { return autoselect_; }

 private:
  static constexpr std::uint64_t kNever = ~std::uint64_t{0};

  // The embedded program or erase algorithm, started when its last command cycle ended.
  struct Operation {
    bool erase;
    bool dq7;             // what DQ7 reads while it runs
    bool fails;           // it will exceed its time limit
    std::uint64_t endNs;  // kNever: an erase that hangs
    std::uint64_t sectorWindowEndNs = 0;

    bool Running(std::uint64_t nowNs) const { return nowNs < endNs; }
  };

  void OnWrite(const BusWrite& write, std::uint64_t nowNs);
  void Command(const BusWrite& write, std::uint64_t nowNs);
  void EraseCommand(const BusWrite& write, std::uint64_t nowNs);
  void Program(const BusWrite& write, std::uint64_t nowNs);
  void StartErase(std::uint32_t first, std::uint32_t count, std::uint64_t eraseNs,
                  std::uint64_t nowNs);
  void AddSector(const BusWrite& write, std::uint64_t nowNs);
  void Reset();
  std::uint32_t SectorBytes() const {
    return part_.sectorBytes != 0 ? part_.sectorBytes : cells_.Size() / 8;
  }

  AmdFlashPart part_;
  AmdTimings timings_;
  // Which cycle of a command sequence comes next (0: the first unlock cycle).
  int step_ = 0;
  bool autoselect_ = false;
  std::optional<Operation> operation_;
};

}  // namespace sorvell::sim
