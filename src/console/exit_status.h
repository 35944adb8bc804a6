#pragma once

#include <string_view>

#include "panel/edges.h"

namespace sorvell::console {

// sorvell-cli's exit status. A stop wins over everything but bad input; otherwise the first of
// 2, 1, 5, 3 wins: a script or command that could not be run says nothing about the rest, and a
// failed part matters more than a missing board or a file not saved.
inline constexpr int kExitOk = 0;
inline constexpr int kExitErrorAlert = 1;  // an operation raised the error alert
inline constexpr int kExitBadInput = 2;    // bad command line, script unreadable or a bad line
inline constexpr int kExitNotDone = 3;     // a save failed, or an operation was refused (no port)
inline constexpr int kExitStopped = 4;     // stopped by a signal (Ctrl-C, SIGTERM, SIGHUP)
inline constexpr int kExitNoBoard = 5;     // a command found no board to run on

// What a run came to, as the console's edges saw it.
struct RunRecord {
  bool inputOk = true;
  int errorAlerts = 0;
  int failedSaves = 0;
  int refusals = 0;
  bool stopped = false;
  bool noBoard = false;
  bool notDone = false;  // a command left undone: a file not loaded, a burn not confirmed
};

int ExitStatus(const RunRecord& record);

// A box that says a file was not saved: the exclamation icon under the title of a save.
bool IsFailedSave(const panel::MessageRequest& request);

// A log line saying an operation did nothing because no port is chosen. After forcing a model
// the same line is a reminder: the model was set.
bool IsRefusal(std::string_view logLine, std::string_view previousLine);

}  // namespace sorvell::console
