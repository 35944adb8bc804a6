#include <cstdio>
#include <string>

#include "buffers/dump.h"
#include "common/atomic_file.h"
#include "shell/main_form.h"
#include "shell/time_text.h"
#include "shell/window_layouts.h"

namespace sorvell::shell {

namespace {

// Numbers are written with a leading blank where a sign would stand.
std::string SignedText(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  return value < 0 ? text : std::string(" ") + text;
}

}  // namespace

// Appends one line; the text is never rewritten whole, so a long log stays fast.
void MainForm::AddLog(std::string_view message) {
  std::string line = "\r\n" + TimeText(edges_.clock.Now()) + ">  ";
  line.append(message);
  frmMain["SystemLog"].AppendText(line);
}

void MainForm::SystemLog_DblClick() {
  const std::string& log = frmMain["SystemLog"].Caption();
  const LocalTime now = edges_.clock.Now();
  std::string file;
  file += std::string("SORVELL SYSTEM LOG FILE - ") + kMakerBanner + "\r\n";
  file += "The following contents are the log from the Sorvell Program\r\n";
  file += DateText(now) + " " + TimeText(now) + " StatCode:" + SignedText(buffers::StatCode(log)) +
          " Model:" + SignedText(board.BoardModel) + "\r\n";
  file += std::string(60, '-') + "\r\n";
  file += log + "\r\n";

  const auto path = edges_.folders.workingFolder / "SORVELL.LOG";
  std::string error;
  if (!common::WriteFileAtomically(path, file, error)) {
    edges_.dialogs.Message({"The system log was not saved: " + error, "System Log",
                            MessageButtons::kOk, MessageIcon::kExclamation, Answer::kOk});
    return;
  }
  AddLog("System Log was Saved to SORVELL.LOG file");
}

}  // namespace sorvell::shell
