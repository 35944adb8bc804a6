#include "sim/amd_flash_chip.h"

#include <array>

namespace sorvell::sim {

namespace {

// Command cycles. The datasheets decode A14..A0 of a command address; higher bits are don't care.
constexpr std::uint32_t kCommandAddressMask = 0x7FFF;
constexpr std::uint32_t kUnlock1Address = 0x5555;
constexpr std::uint32_t kUnlock2Address = 0x2AAA;
constexpr std::uint8_t kUnlock1 = 0xAA;
constexpr std::uint8_t kUnlock2 = 0x55;
constexpr std::uint8_t kAutoselect = 0x90;
constexpr std::uint8_t kProgram = 0xA0;
constexpr std::uint8_t kEraseSetup = 0x80;
constexpr std::uint8_t kChipErase = 0x10;
constexpr std::uint8_t kSectorErase = 0x30;
constexpr std::uint8_t kReset = 0xF0;

// Cycles of a command sequence, by what the next write must be.
enum Step {
  kFirstUnlock,
  kSecondUnlock,
  kCommandCode,
  kEraseFirstUnlock,
  kEraseSecondUnlock,
  kEraseCode,
  kProgramByte,
};

// JEDEC 32-pin positions of A0..A16; A17 on pin 30 and A18 on pin 1, as pin 31 is WE#.
constexpr std::array<int, 19> kAddressPins = {12, 11, 10, 9,  8,  7, 6, 5,  27, 26,
                                              23, 25, 4,  28, 29, 3, 2, 30, 1};

// Sector erase time-out: another 30h written within it adds a sector to the erase.
constexpr std::uint64_t kSectorWindowNs = 50'000;

WritePinout Pinout(const AmdFlashPart& part) {
  return WritePinout{32, 22,
                     24, 31,
                     32, std::span(kAddressPins).first(static_cast<std::size_t>(part.addressBits))};
}

bool Is(const BusWrite& write, std::uint32_t address, std::uint8_t data) {
  return (write.address & kCommandAddressMask) == address && write.data == data;
}

}  // namespace

AmdFlashChip::AmdFlashChip(const AmdFlashPart& part, std::span<const std::uint8_t> image)
    : WritableChip(Pinout(part), std::uint32_t{1} << part.addressBits, image),
      part_(part),
      timings_(part.timings) {}

std::optional<ChipId> AmdFlashChip::Id() const {
  return ChipId{part_.makerCode, part_.deviceCode};
}

void AmdFlashChip::OnLines(const SocketLines& lines, std::uint64_t nowNs) {
  const BusEvents events = UpdateBus(lines, nowNs);
  if (events.powerLost) {
    if (Busy(nowNs)) Record(ViolationLog::Kind::kPowerLossWhileBusy, "VCC lost while busy");
    operation_.reset();
    Reset();
    return;
  }
  if (events.inhibitedWrite) RecordInhibitedWrite(lines);
  if (events.readBegan) OnReadBegan();
  if (events.write) OnWrite(*events.write, nowNs);
}

std::optional<std::uint8_t> AmdFlashChip::DrivenData(const SocketLines& lines,
                                                     std::uint64_t nowNs) const {
  if (!bus_.Reading(lines)) return std::nullopt;
  if (operation_ && (operation_->fails || operation_->Running(nowNs))) {
    const bool timedOut = operation_->fails && !operation_->Running(nowNs);
    const bool eraseTimerDone = operation_->erase && nowNs >= operation_->sectorWindowEndNs;
    return StatusByte(operation_->dq7, timedOut, eraseTimerDone);
  }
  const std::uint32_t address = bus_.Address(lines);
  return autoselect_ ? IdByte(address) : cells_.Read(address);
}

// The part latches a write when its cycle ends, which is when an embedded algorithm starts.
void AmdFlashChip::OnWrite(const BusWrite& write, std::uint64_t nowNs) {
  if (operation_ && operation_->Running(nowNs)) {
    AddSector(write, nowNs);
    return;
  }
  // A finished algorithm returns to reading the array; a failed one reports until a reset.
  if (operation_ && !operation_->fails) operation_.reset();
  if (step_ == kProgramByte) {
    Program(write, nowNs);
    return;
  }
  if (write.data == kReset) {
    Reset();
    return;
  }
  if (!operation_) Command(write, nowNs);
}

void AmdFlashChip::Command(const BusWrite& write, std::uint64_t nowNs) {
  switch (step_) {
    case kFirstUnlock:
    case kEraseFirstUnlock:
      step_ = Is(write, kUnlock1Address, kUnlock1) ? step_ + 1 : kFirstUnlock;
      return;
    case kSecondUnlock:
    case kEraseSecondUnlock:
      step_ = Is(write, kUnlock2Address, kUnlock2) ? step_ + 1 : kFirstUnlock;
      return;
    case kCommandCode:
      step_ = kFirstUnlock;
      if (Is(write, kUnlock1Address, kAutoselect)) autoselect_ = true;
      // Autoselect is left only by a reset.
      if (autoselect_) return;
      if (Is(write, kUnlock1Address, kProgram)) step_ = kProgramByte;
      if (Is(write, kUnlock1Address, kEraseSetup)) step_ = kEraseFirstUnlock;
      return;
    default:
      EraseCommand(write, nowNs);
      return;
  }
}

void AmdFlashChip::EraseCommand(const BusWrite& write, std::uint64_t nowNs) {
  step_ = kFirstUnlock;
  if (Is(write, kUnlock1Address, kChipErase)) {
    StartErase(0, cells_.Size(), timings_.chipEraseNs, nowNs);
  } else if (write.data == kSectorErase) {
    const std::uint32_t sector = write.address % cells_.Size() / SectorBytes();
    StartErase(sector * SectorBytes(), SectorBytes(), timings_.sectorEraseNs, nowNs);
    operation_->sectorWindowEndNs = nowNs + kSectorWindowNs;
    if (operation_->endNs != kNever) operation_->endNs += kSectorWindowNs;
  }
}

void AmdFlashChip::Program(const BusWrite& write, std::uint64_t nowNs) {
  step_ = kFirstUnlock;
  const bool takes = cells_.Program(write.address, write.data);
  const bool fails = !takes && part_.timeLimitBit;
  const std::uint64_t timeNs = fails ? timings_.programLimitNs : timings_.programNs;
  operation_ = Operation{false, (write.data & 0x80) == 0, fails, nowNs + timeNs};
}

// The cells change at once; the part reports busy until the erase time has passed.
void AmdFlashChip::StartErase(std::uint32_t first, std::uint32_t count, std::uint64_t eraseNs,
                              std::uint64_t nowNs) {
  const bool erased = cells_.Erase(first, count);
  const bool fails = !erased && part_.timeLimitBit;
  operation_ = Operation{true, false, fails, eraseHangs_ ? kNever : nowNs + eraseNs};
}

// Within the sector erase time-out, 30h at an address adds that address's sector.
void AmdFlashChip::AddSector(const BusWrite& write, std::uint64_t nowNs) {
  if (!part_.sectorGroups || !operation_->erase || nowNs >= operation_->sectorWindowEndNs) return;
  if (write.data != kSectorErase) return;
  const std::uint32_t sector = write.address % cells_.Size() / SectorBytes();
  if (!cells_.Erase(sector * SectorBytes(), SectorBytes()) && part_.timeLimitBit) {
    operation_->fails = true;
  }
  operation_->sectorWindowEndNs = nowNs + kSectorWindowNs;
  if (operation_->endNs != kNever) operation_->endNs += timings_.sectorEraseNs;
}

void AmdFlashChip::Reset() {
  step_ = kFirstUnlock;
  autoselect_ = false;
  if (operation_ && operation_->fails) operation_.reset();
}

}  // namespace sorvell::sim
