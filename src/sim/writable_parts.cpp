#include "sim/writable_parts.h"

#include "sim/amd_flash_chip.h"
#include "sim/eprom_parts.h"
#include "sim/page_write_chip.h"
#include "sim/serial_eeprom_chip.h"

namespace sorvell::sim {

namespace {

// Sizes and autoselect device codes from the AMD datasheets (maker code 01h).
const AmdFlashPart kAmdParts[] = {
    {"AM29F010", 17, 0x20},
    {"AM29F020", 18, 0xB0},
    {"AM29F040", 19, 0xA4},
};

constexpr std::uint64_t kUs = 1'000;
constexpr std::uint64_t kMs = 1'000'000;

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
