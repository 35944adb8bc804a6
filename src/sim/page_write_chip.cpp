#include "sim/page_write_chip.h"

namespace sorvell::sim {

namespace {

constexpr std::uint32_t kSizeBytes = 0x8000;
constexpr std::uint32_t kCommandAddressMask = 0x7FFF;
constexpr std::uint32_t kUnlock1Address = 0x5555;
constexpr std::uint32_t kUnlock2Address = 0x2AAA;
constexpr std::uint8_t kUnlock1 = 0xAA;
constexpr std::uint8_t kUnlock2 = 0x55;
constexpr std::uint8_t kProtectAndWrite = 0xA0;
constexpr std::uint8_t kSixCycleCommand = 0x80;
constexpr std::uint8_t kUnprotect = 0x20;
constexpr std::uint8_t kChipErase = 0x10;
constexpr std::uint8_t kIdEntry = 0x90;
constexpr std::uint8_t kIdExit = 0xF0;

// 28-pin JEDEC positions of A0..A12; A13 on pin 26 and A14 on pin 1, as pin 27 is WE#.
constexpr std::array<int, 15> kAddressPins = {10, 9, 8, 7, 6, 5, 4, 3, 25, 24, 21, 23, 2, 26, 1};
constexpr WritePinout kPinout{28, 20, 22, 27, 28, kAddressPins};

}  // namespace

PageWriteChip::PageWriteChip(const PageWritePart& part, std::span<const std::uint8_t> image)
    : WritableChip(kPinout, kSizeBytes, image),
      part_(part),
      timings_(part.timings),
      protected_(part.protectedWhenShipped) {}

void PageWriteChip::OnLines(const SocketLines& lines, std::uint64_t nowNs) {
  const BusEvents events = UpdateBus(lines, nowNs);
  if (events.powerLost) {
    if (load_ || Busy(nowNs)) {
      Record(ViolationLog::Kind::kPowerLossWhileBusy, "VCC lost while loading or writing");
    }
    load_.reset();
    cycle_.reset();
    idMode_ = false;
    return;
  }
  // The window is judged at the falling edge of the next load, not at the end of its cycle.
  EndLoadIfTimedOut(events.write ? events.write->startNs : bus_.WriteStartNs().value_or(nowNs));
  if (events.inhibitedWrite) RecordInhibitedWrite(lines);
  if (events.readBegan) {
    OnReadBegan();
    // Polling starts right after the last load: a read ends the load period.
    if (load_) EndLoad(nowNs);
  }
  if (events.write) Load(*events.write, nowNs);
}

std::optional<std::uint8_t> PageWriteChip::DrivenData(const SocketLines& lines,
                                                      std::uint64_t nowNs) const {
  if (!bus_.Reading(lines)) return std::nullopt;
  if (Busy(nowNs)) return StatusByte(cycle_->dq7, false, false);
  const std::uint32_t address = bus_.Address(lines);
  return idMode_ ? IdByte(address) : cells_.Read(address);
}

void PageWriteChip::Load(const BusWrite& write, std::uint64_t nowNs) {
  if (Busy(nowNs)) return;  // the write cycle ignores loads
  if (!load_) load_.emplace();
  load_->windowStartNs = part_.windowFromFallingEdge ? write.startNs : nowNs;
  if (load_->commandsOpen) {
    switch (TakeCommand(write, nowNs)) {
      case CommandResult::kPeriodEnded:
        load_.reset();
        return;
      case CommandResult::kTaken:
        return;
      case CommandResult::kNotCommand:
        if (ReleaseCommandsAsData()) break;
        load_.reset();
        return;
    }
  }
  if (protected_ && !load_->writeAllowed) {
    load_.reset();
    return;
  }
  AddByte(write);
}

PageWriteChip::CommandResult PageWriteChip::TakeCommand(const BusWrite& write,
                                                        std::uint64_t nowNs) {
  if (!MatchesNextCommand(write)) return CommandResult::kNotCommand;
  PageLoadPeriod& load = *load_;
  load.commands.push_back(write);
  const std::size_t cycles = load.commands.size();
  const bool complete = (cycles == 3 && write.data != kSixCycleCommand) || cycles == 6;
  if (!complete) return CommandResult::kTaken;
  switch (write.data) {
    case kProtectAndWrite:
      protected_ = true;
      break;
    case kUnprotect:
      protected_ = false;
      break;
    case kIdEntry:
    case kIdExit:
      idMode_ = write.data == kIdEntry;
      return CommandResult::kPeriodEnded;
    case kChipErase:
      cells_.Erase(0, cells_.Size());
      cycle_ = WriteCycle{eraseHangs_ ? kNever : nowNs + timings_.chipEraseNs, false};
      return CommandResult::kPeriodEnded;
    default:
      break;
  }
  load.commandsOpen = false;
  load.writeAllowed = true;
  load.protectionChanged = true;
  return CommandResult::kTaken;
}

bool PageWriteChip::MatchesNextCommand(const BusWrite& write) const {
  const std::uint32_t address = write.address & kCommandAddressMask;
  const auto is = [&](std::uint32_t commandAddress, std::uint8_t code) {
    return address == commandAddress && write.data == code;
  };
  switch (load_->commands.size()) {
    case 0:
    case 3:
      return is(kUnlock1Address, kUnlock1);
    case 1:
    case 4:
      return is(kUnlock2Address, kUnlock2);
    case 2:
      return is(kUnlock1Address, kProtectAndWrite) || is(kUnlock1Address, kSixCycleCommand) ||
             (part_.id && (is(kUnlock1Address, kIdEntry) || is(kUnlock1Address, kIdExit)));
    default:
      return is(kUnlock1Address, kUnprotect) ||
             (part_.hasChipErase && is(kUnlock1Address, kChipErase));
  }
}

// Command cycles that led nowhere: data on an unprotected part, nothing on a protected one.
bool PageWriteChip::ReleaseCommandsAsData() {
  PageLoadPeriod& load = *load_;
  load.commandsOpen = false;
  if (load.commands.empty()) return true;
  if (protected_) return false;
  const std::vector<BusWrite> commands = std::move(load.commands);
  load.commands.clear();
  for (const BusWrite& write : commands) AddByte(write);
  return true;
}

void PageWriteChip::AddByte(const BusWrite& write) {
  PageLoadPeriod& load = *load_;
  const std::uint32_t address = write.address % kSizeBytes;
  const std::uint32_t page = address & ~(kPageBytes - 1);
  if (!load.page) load.page = page;
  if (*load.page != page) {
    Record(ViolationLog::Kind::kPageAddressChanged,
           "load at " + Hex(address) + " within the page load of " + Hex(*load.page));
  }
  load.bytes[address % kPageBytes] = write.data;
  load.lastData = write.data;
}

void PageWriteChip::EndLoadIfTimedOut(std::uint64_t edgeNs) {
  if (!load_) return;
  const std::uint64_t deadline = load_->windowStartNs + timings_.byteLoadWindowNs;
  if (edgeNs >= deadline) EndLoad(deadline);
}

void PageWriteChip::EndLoad(std::uint64_t atNs) {
  if (load_->commandsOpen && !ReleaseCommandsAsData()) {
    load_.reset();
    return;
  }
  const PageLoadPeriod load = std::move(*load_);
  load_.reset();
  if (!load.page && !load.protectionChanged) return;
  if (load.page) WritePage(load);
  cycle_ = WriteCycle{atNs + timings_.writeCycleNs, (load.lastData & 0x80) == 0};
}

// The cells change at once; reads show DATA polling until the cycle is over.
void PageWriteChip::WritePage(const PageLoadPeriod& load) {
  for (std::uint32_t column = 0; column < kPageBytes; ++column) {
    const std::optional<std::uint8_t> loaded = load.bytes[column];
    if (loaded) {
      cells_.Write(*load.page + column, *loaded);
    } else if (part_.erasesUnloadedBytes) {
      cells_.Write(*load.page + column, 0xFF);
    }
  }
}

}  // namespace sorvell::sim
