#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "sim/writable_chip.h"

namespace sorvell::sim {

// A fresh 5 V Flash or page-write EEPROM by its chip name as the device list writes it
// (AM29F010, AM29F020, AM29F040, MX29F040, SST39SF010A, SST39SF020A, SST39SF040,
// X28C256, AT29C256, AT28C256), cells from the image and the rest erased;
// nullptr for another name. Throws std::invalid_argument if the image is larger than the part.
std::unique_ptr<WritableChip> MakeWritableChip(const std::string& name,
                                               std::span<const std::uint8_t> image = {});
std::vector<std::string> WritablePartNames();

// Every part the simulator can put in the socket by name: the UV-EPROMs, the parts above, then
// the serial EEPROMs.
std::vector<std::string> SocketPartNames();

}  // namespace sorvell::sim
