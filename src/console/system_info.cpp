#include "console/system_info.h"

#include "console/exit_status.h"

namespace sorvell::console {

int PrintSystemInfo(const shell::SystemCheck& check, std::FILE* out) {
  if (const std::optional<std::string> report = shell::SystemReportText(check)) {
    std::fputs(report->c_str(), out);
  } else {
    std::fprintf(out, "%s\n", shell::kSystemInfoUnavailable);
  }
  return kExitOk;
}

}  // namespace sorvell::console
