#pragma once

namespace sorvell::shell {

// SIGINT, SIGTERM and SIGHUP ask the running operation to stop at its next safe point instead of
// ending the program wherever it is, so the board is reset (programming voltage off) before the
// program exits. SIGKILL cannot be caught: nothing can reset the board after it.
void InstallStopSignals();
// The number of the first stop signal received since the last clear; 0 when none came.
int StopSignalReceived();
void ClearStopSignal();

}  // namespace sorvell::shell
