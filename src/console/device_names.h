#pragma once

// The device list's names as the command line gives them: the catalogue owns them, as a job file
// names its device the same way.
#include "catalogue/device_names.h"

namespace sorvell::console {

using catalogue::ChooseDevice;
using catalogue::DeviceChoice;
using catalogue::EntryName;
using catalogue::FilterDevices;

}  // namespace sorvell::console
