#pragma once

#include "panel/outcome.h"

namespace sorvell::console {

// sorvell-cli's exit status.
inline constexpr int kExitOk = 0;
inline constexpr int kExitErrorAlert = 1;  // a device error
inline constexpr int kExitBadInput = 2;    // bad command line, script unreadable or a bad line
inline constexpr int kExitNotDone = 3;     // not done: not loaded, not saved, refused, cancelled
inline constexpr int kExitStopped = 4;     // stopped by a signal (Ctrl-C, SIGTERM, SIGHUP)
inline constexpr int kExitNoBoard = 5;     // no board answered the port search

// The status an operator event's outcome stands for.
int ExitStatusOf(const panel::Outcome& outcome);

// What a run came to: the statuses of everything it ran, of which one stands. Bad input wins
// over a stop, a stop over a device error, a device error over a missing board, a missing board
// over what was not done: a script or command that could not be run says nothing about the rest,
// and a failed part matters more than a missing board or a file not saved.
class RunRecord {
 public:
  void Add(int status);
  void Add(const panel::Outcome& outcome) { Add(ExitStatusOf(outcome)); }
  int Status() const { return status_; }

 private:
  int status_ = kExitOk;
};

}  // namespace sorvell::console
