#include "panel/outcome.h"

namespace sorvell::panel {

Outcome Outcome::Done(std::string detail) {
  return {OutcomeKind::kDone, NotDoneReason::kNone, std::move(detail)};
}

Outcome Outcome::NotDone(NotDoneReason reason, std::string detail) {
  return {OutcomeKind::kNotDone, reason, std::move(detail)};
}

Outcome Outcome::DeviceError(std::string detail) {
  return {OutcomeKind::kDeviceError, NotDoneReason::kNone, std::move(detail)};
}

Outcome Outcome::Stopped(std::string detail) {
  return {OutcomeKind::kStopped, NotDoneReason::kNone, std::move(detail)};
}

int Outcome::Severity() const {
  switch (kind) {
    case OutcomeKind::kDone:
      return 0;
    case OutcomeKind::kNotDone:
      return 1;
    case OutcomeKind::kDeviceError:
      return 2;
    case OutcomeKind::kStopped:
      return 3;
  }
  return 3;
}

std::string_view ReasonName(NotDoneReason reason) {
  switch (reason) {
    case NotDoneReason::kNone:
      return "";
    case NotDoneReason::kCancelled:
      return "cancelled";
    case NotDoneReason::kRefused:
      return "refused";
    case NotDoneReason::kFileNotLoaded:
      return "file not loaded";
    case NotDoneReason::kFileNotSaved:
      return "file not saved";
    case NotDoneReason::kNotSupported:
      return "not supported";
    case NotDoneReason::kNoPort:
      return "no port";
    case NotDoneReason::kNoBoard:
      return "no board";
    case NotDoneReason::kUnstated:
      return "no outcome stated";
  }
  return "";
}

std::string Outcome::Text() const {
  std::string text;
  switch (kind) {
    case OutcomeKind::kDone:
      text = "Done";
      break;
    case OutcomeKind::kNotDone:
      text = "Not done (" + std::string(ReasonName(reason)) + ")";
      break;
    case OutcomeKind::kDeviceError:
      text = "Device error";
      break;
    case OutcomeKind::kStopped:
      text = "Stopped";
      break;
  }
  return detail.empty() ? text : text + ": " + detail;
}

// Of two failures alike the first is the cause; of two successes the last says what was done.
Outcome Worse(const Outcome& current, const Outcome& next) {
  if (next.Severity() > current.Severity()) return next;
  if (next.IsDone() && current.IsDone()) return next;
  return current;
}

}  // namespace sorvell::panel
