#include "console/exit_status.h"

namespace sorvell::console {

namespace {

// Higher ranks win.
int Rank(int status) {
  switch (status) {
    case kExitBadInput:
      return 5;
    case kExitStopped:
      return 4;
    case kExitErrorAlert:
      return 3;
    case kExitNoBoard:
      return 2;
    case kExitNotDone:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

int ExitStatusOf(const panel::Outcome& outcome) {
  switch (outcome.kind) {
    case panel::OutcomeKind::kDone:
      return kExitOk;
    case panel::OutcomeKind::kDeviceError:
      return kExitErrorAlert;
    case panel::OutcomeKind::kStopped:
      return kExitStopped;
    case panel::OutcomeKind::kNotDone:
      break;
  }
  return outcome.reason == panel::NotDoneReason::kNoBoard ? kExitNoBoard : kExitNotDone;
}

void RunRecord::Add(int status) {
  if (Rank(status) > Rank(status_)) status_ = status;
}

}  // namespace sorvell::console
