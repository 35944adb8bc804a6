#include "shell/stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace sorvell::shell {

namespace {

volatile std::sig_atomic_t received = 0;

extern "C" void OnStopSignal(int signal) {
  if (received == 0) received = signal;
}

}  // namespace

void InstallStopSignals() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // a port access or a read interrupted goes on
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int StopSignalReceived() {
  return received;
}

void ClearStopSignal() {
  received = 0;
}

}  // namespace sorvell::shell
