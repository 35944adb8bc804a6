#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/writable_chip.h"

namespace sorvell::sim {

struct PageWriteTimings {
  // A load must start within this time of the previous one, or the write cycle starts.
  std::uint64_t byteLoadWindowNs;
  std::uint64_t writeCycleNs;
  std::uint64_t chipEraseNs;  // parts with a software chip erase
};

struct PageWritePart {
  std::string name;
  std::optional<ChipId> id;  // codes of the software product identification, if it has one
  // The byte load window runs from the falling edge of the previous load's WE# (X28C256), or
  // from its rising edge (AT29C256).
  bool windowFromFallingEdge;
  // The part erases the whole 64-byte page before it programs the loaded bytes, so bytes not
  // loaded are left erased (AT29C256).
  bool erasesUnloadedBytes;
  bool hasChipErase;
  PageWriteTimings timings;
  bool protectedWhenShipped;
};

// One load period of a page-write part: the command cycles and the page bytes loaded so far.
// Outside the part's class, so that it is complete where std::optional needs it.
struct PageLoadPeriod {
  std::uint64_t windowStartNs = 0;
  std::vector<BusWrite> commands;  // command cycles so far
  bool commandsOpen = true;        // only the first loads of a period can be commands
  bool writeAllowed = false;       // after an enable or disable sequence
  bool protectionChanged = false;  // the nonvolatile protection bit takes a write cycle
  std::optional<std::uint32_t> page;
  std::array<std::optional<std::uint8_t>, 64> bytes{};  // one 64-byte page
  std::uint8_t lastData = 0xFF;
};

// A 28-pin 5 V part written in 64-byte pages: X28C256 EEPROM, AT29C256 Flash.
//
// A write cycle (CE# and WE# low, OE# high) loads a byte. Loads follow one another within the
// byte load window; the page is the A14..A6 of its first byte. The internal write cycle starts
// when the window passes without a load, or when a read cycle begins; during it every read gives
// DATA polling (DQ7 the complement of the last byte loaded) and the toggle bit (DQ6 flips on every
// read cycle), and loads are ignored. Software data protection: AAh at 5555h, 55h at 2AAAh, A0h
// at 5555h at the start of a load period turns it on and lets the bytes that follow be written;
// AAh, 55h, 80h, AAh, 55h, 20h turns it off. Both are kept through power cycles. While it is on,
// a load period without the enable sequence writes nothing and starts no write cycle. A sequence
// that breaks off on an unprotected part was data after all and is written as such.
// With an ID: AAh, 55h, 90h enters product identification (address 0 maker, 1 device), AAh, 55h,
// F0h leaves it. With a chip erase: AAh, 55h, 80h, AAh, 55h, 10h.
class PageWriteChip final : public WritableChip {
 public:
  static constexpr std::uint32_t kPageBytes = 64;

  // Throws std::invalid_argument if the image is larger than the part (32 KB).
  PageWriteChip(const PageWritePart& part, std::span<const std::uint8_t> image = {});

  const std::string& Name() const override { return part_.name; }
  std::optional<ChipId> Id() const override { return part_.id; }
  void OnLines(const SocketLines& lines, std::uint64_t nowNs) override;
  std::optional<std::uint8_t> DrivenData(const SocketLines& lines,
                                         std::uint64_t nowNs) const override;

  bool Protected() const { return protected_; }
  void SetProtected(bool on) { protected_ = on; }
  const PageWriteTimings& Timings() const { return timings_; }
  void SetTimings(const PageWriteTimings& timings) { timings_ = timings; }
  bool Busy(std::uint64_t nowNs) const { return cycle_ && nowNs < cycle_->endNs; }
  bool InIdMode() const { return idMode_; }

 private:
  static constexpr std::uint64_t kNever = ~std::uint64_t{0};

  struct WriteCycle {
    std::uint64_t endNs;
    bool dq7;
  };
  enum class CommandResult { kNotCommand, kTaken, kPeriodEnded };

  void Load(const BusWrite& write, std::uint64_t nowNs);
  CommandResult TakeCommand(const BusWrite& write, std::uint64_t nowNs);
  bool MatchesNextCommand(const BusWrite& write) const;
  bool ReleaseCommandsAsData();
  void AddByte(const BusWrite& write);
  void EndLoadIfTimedOut(std::uint64_t edgeNs);
  void EndLoad(std::uint64_t atNs);
  void WritePage(const PageLoadPeriod& load);

  PageWritePart part_;
  PageWriteTimings timings_;
  bool protected_;
  bool idMode_ = false;
  std::optional<PageLoadPeriod> load_;
  std::optional<WriteCycle> cycle_;
};

}  // namespace sorvell::sim
