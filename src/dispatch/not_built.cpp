// Device classes whose routines arrive with later work. Each entry exists under its own name so
// the window, the console and the dispatch are wired to it already.
#include "dispatch/dispatcher.h"

namespace sorvell::dispatch {

namespace {

constexpr const char* kNotBuilt = "This device family's routines are not built in this version.";

}  // namespace

// Leaves the status at "no routine", so the run ends in "Device Not Supported" instead of a
// success that did not happen.
void Dispatcher::RoutineNotBuilt() {
  run_.ProgramStatus = 9;
}

void Dispatcher::Report24CXXAckError() {}

void Dispatcher::ReadSerialCode() {
  panel_.Notice(kNotBuilt, "Routine Not Ready");
}

// Never a match for a device that was not compared.
void Dispatcher::VerifySerialCode() {
  run_.VerifyFailed = 1;
  panel_.DataFlowLabelOff();
  panel_.Notice(kNotBuilt, "Routine Not Ready");
}

// Never a success line for a serial part that was not written.
void Dispatcher::EraseSerial() {
  panel_.Notice(kNotBuilt, "Routine Not Ready");
}

}  // namespace sorvell::dispatch
