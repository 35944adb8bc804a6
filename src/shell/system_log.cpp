#include <cstdio>
#include <string>

#include "buffers/dump.h"
#include "common/atomic_file.h"
#include "panel/time_text.h"
#include "panel/window_layouts.h"
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

// Numbers are written with a leading blank where a sign would stand.
std::string SignedText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  return value < 0 ? text : std::string(" ") + text;
}

}  // namespace

void MainForm::SystemLog_DblClick() {
  const std::string& log = frmMain["SystemLog"].Caption();
  const panel::LocalTime now = edges_.clock.Now();
  std::string file;
  file += std::string("SORVELL SYSTEM LOG FILE - ") + panel::kMakerBanner + "\r\n";
  file += "The following contents are the log from the Sorvell Program\r\n";
  file += panel::DateText(now) + " " + panel::TimeText(now) +
          " StatCode:" + SignedText(buffers::StatCode(log)) +
          " Model:" + SignedText(board.BoardModel) + "\r\n";
  file += std::string(60, '-') + "\r\n";
  file += log + "\r\n";

  const auto path = edges_.folders.workingFolder / "SORVELL.LOG";
  std::string error;
  if (!common::WriteFileAtomically(path, file, error)) {
    edges_.dialogs.Message({"The system log was not saved: " + error, "System Log",
                            panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                            panel::Answer::kOk});
    panel.ReportNotDone(panel::NotDoneReason::kFileNotSaved,
                        "The system log was not saved: " + error);
    return;
  }
  panel.AddLog("System Log was Saved to SORVELL.LOG file");
  panel.ReportDone("System Log was Saved to SORVELL.LOG file");
}

}  // namespace sorvell::shell
