#pragma once

#include <string>
#include <string_view>

namespace sorvell::panel {

// How one operator event ended. The operation sets it where it decides (its success line, its
// refusal, its failure report), never from what it logged; the console's exit status, the
// window's status bar and the records of later runs all read this one value.
enum class OutcomeKind { kDone, kNotDone, kDeviceError, kStopped };

// Why an operation was not done.
enum class NotDoneReason {
  kNone,
  kCancelled,      // the operator (or the script) answered Cancel or No
  kRefused,        // the program would not do it as asked (an option the part lacks, a setup)
  kFileNotLoaded,  // a code, data or setup file was refused or cannot be read
  kFileNotSaved,   // a file could not be written
  kNotSupported,   // the part or the entry has no routine for it
  kNoPort,         // no LPT port is chosen
  kNoBoard,        // no board answered the port search
  kUnstated,       // the operation ended without saying how: never taken for done
};

struct Outcome {
  OutcomeKind kind = OutcomeKind::kDone;
  NotDoneReason reason = NotDoneReason::kNone;
  // What was done, or what was not and why, in the words of the log.
  std::string detail;

  static Outcome Done(std::string detail = {});
  static Outcome NotDone(NotDoneReason reason, std::string detail);
  static Outcome DeviceError(std::string detail);
  static Outcome Stopped(std::string detail = {});

  bool IsDone() const { return kind == OutcomeKind::kDone; }
  // Stopped over a device error over not done over done: a later step of one event (the verify
  // after a failed program, the data area after the code area) never hides an earlier failure.
  int Severity() const;
  // One line for the status bar and the console: "Done: ...", "Not done (cancelled): ...".
  std::string Text() const;

  bool operator==(const Outcome&) const = default;
};

std::string_view ReasonName(NotDoneReason reason);

// The outcome that stands when `next` is reported after `current` within one event: the more
// severe, and of two failures alike the first.
Outcome Worse(const Outcome& current, const Outcome& next);

}  // namespace sorvell::panel
