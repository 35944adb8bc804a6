// The device file is the operator's to edit: whatever it holds is taken whole, each row within
// what its algorithm can drive, or refused whole with a line and a reason.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/device_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvell::catalogue;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const DeviceFile file = ParseDeviceFile(text, "devices.toml");
  if (!file.error.empty()) {
    if (!file.rows.empty() || !file.error.starts_with("devices.toml line ")) std::abort();
    return 0;
  }
  for (const DeviceRow& row : file.rows) {
    if (row.name.empty() || row.name.size() > kNameWidth) std::abort();
    if (row.origin != RowOrigin::kOperator || !row.available) std::abort();
    if (row.sizeBytes < 1 || row.sizeBytes > (1 << 20)) std::abort();
    if (row.vppCode < 0 || row.vppCode > 3 || row.Routines().program == ProgramRoutine::kNone) {
      std::abort();
    }
    if (row.pageBytes > 0 && row.sizeBytes % row.pageBytes != 0) std::abort();
  }
  return 0;
}
