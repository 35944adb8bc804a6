#include "console/exit_status.h"

#include <algorithm>
#include <array>

namespace sorvell::console {

int ExitStatus(const RunRecord& record) {
  if (!record.inputOk) return kExitBadInput;
  if (record.stopped) return kExitStopped;
  if (record.errorAlerts > 0) return kExitErrorAlert;
  if (record.noBoard) return kExitNoBoard;
  if (record.failedSaves > 0 || record.refusals > 0 || record.notDone) return kExitNotDone;
  return kExitOk;
}

bool IsFailedSave(const panel::MessageRequest& request) {
  // The titles of the boxes that report a save of the code or data file, the log, the dump and
  // the board configuration.
  static constexpr std::array<std::string_view, 4> kSaveTitles = {
      "File Not Saved", "System Log", "Buffer Display", "Board Configuration"};
  return request.icon == panel::MessageIcon::kExclamation &&
         std::find(kSaveTitles.begin(), kSaveTitles.end(), request.title) != kSaveTitles.end();
}

bool IsRefusal(std::string_view logLine, std::string_view previousLine) {
  return logLine.starts_with("No LPT port is selected") &&
         !previousLine.ends_with("Device was FORCED by Operator");
}

}  // namespace sorvell::console
