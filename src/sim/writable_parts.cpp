#include "sim/writable_parts.h"

#include "sim/amd_flash_chip.h"
#include "sim/eprom_parts.h"
#include "sim/page_write_chip.h"
#include "sim/serial_eeprom_chip.h"

namespace sorvell::sim {

namespace {

constexpr std::uint64_t kUs = 1'000;
constexpr std::uint64_t kMs = 1'000'000;
constexpr std::uint64_t kSecond = 1'000'000'000;

// AMD and Macronix: embedded byte program 7 us typical, 300 us maximum; sector erase 1 s typical.
// The chip erase takes the same second by default; the datasheets give several seconds for the
// 4 Mbit part, which a test sets when it matters.
constexpr AmdTimings kAmdTimings{7 * kUs, 300 * kUs, 1 * kSecond, 1 * kSecond};
// SST39SF0x0: byte program 20 us, sector erase 25 ms, chip erase 100 ms, all at their maximum;
// no time-limit bit, so the limit is never used.
constexpr AmdTimings kSstTimings{20 * kUs, 20 * kUs, 100 * kMs, 25 * kMs};
constexpr std::uint32_t kSstSectorBytes = 4096;

// Sizes and autoselect codes from the datasheets: AMD (maker 01h), Macronix (C2h), SST (BFh).
const AmdFlashPart kAmdParts[] = {
    {"AM29F010", 17, 0x20, 0x01, kAmdTimings},
    {"AM29F020", 18, 0xB0, 0x01, kAmdTimings},
    {"AM29F040", 19, 0xA4, 0x01, kAmdTimings},
    {"MX29F040", 19, 0xA4, 0xC2, kAmdTimings},
    {"SST39SF010A", 17, 0xB5, 0xBF, kSstTimings, kSstSectorBytes, false, false},
    {"SST39SF020A", 18, 0xB6, 0xBF, kSstTimings, kSstSectorBytes, false, false},
    {"SST39SF040", 19, 0xB7, 0xBF, kSstTimings, kSstSectorBytes, false, false},
};

// X28C256: byte load cycle time tBLC at most 100 us: each load, started by WE# going low, must
// begin within 100 us of the falling edge of the preceding WE#, or the write cycle starts; tWC 5 ms
// typical, 10 ms maximum, of which the maximum is taken so that a program waiting a fixed time must
// wait what the datasheet guarantees. No chip erase and no ID. Shipped with software data
// protection off. AT29C256: tBLC 150 us from the previous rising edge of WE#; program cycle 10 ms
// maximum; the 64-byte sector is erased before it is programmed, so bytes not loaded read FFh (the
// datasheet calls them indeterminate); software chip erase 20 ms; product ID 1Fh, DCh. Shipped with
// software data protection off.
const PageWritePart kPageParts[] = {
    {"X28C256", std::nullopt, true, false, false, {100 * kUs, 10 * kMs, 0}, false},
    {"AT29C256", ChipId{0x1F, 0xDC}, false, true, true, {150 * kUs, 10 * kMs, 20 * kMs}, false},
    // AT28C256: tBLC 150 us, counted from the rising edge of the previous WE#; write cycle 10 ms
    // maximum; the X28C256's software data protection, DATA polling and toggle bit; bytes not
    // loaded keep their contents; no software ID or chip erase. Shipped unprotected.
    {"AT28C256", std::nullopt, false, false, false, {150 * kUs, 10 * kMs, 0}, false},
};

}  // namespace

std::unique_ptr<WritableChip> MakeWritableChip(const std::string& name,
                                               std::span<const std::uint8_t> image) {
  for (const AmdFlashPart& part : kAmdParts) {
    if (part.name == name) return std::make_unique<AmdFlashChip>(part, image);
  }
  for (const PageWritePart& part : kPageParts) {
    if (part.name == name) return std::make_unique<PageWriteChip>(part, image);
  }
  return nullptr;
}

std::vector<std::string> WritablePartNames() {
  std::vector<std::string> names;
  for (const AmdFlashPart& part : kAmdParts) names.push_back(part.name);
  for (const PageWritePart& part : kPageParts) names.push_back(part.name);
  return names;
}

std::vector<std::string> SocketPartNames() {
  std::vector<std::string> names = EpromPartNames();
  for (std::string& name : WritablePartNames()) names.push_back(std::move(name));
  for (std::string& name : SerialEepromPartNames()) names.push_back(std::move(name));
  return names;
}

}  // namespace sorvell::sim
