#include "console/session.h"

#include <iostream>
#include <sstream>

#include "common/atomic_file.h"
#include "console/commands.h"
#include "console/console_edges.h"
#include "console/console_run_control.h"
#include "console/demo.h"
#include "console/exit_status.h"
#include "console/history.h"
#include "console/job_command.h"
#include "console/script.h"
#include "shell/main_form.h"
#include "shell/stop_signals.h"
#include "shell/system_edges.h"

namespace sorvell::console {

namespace {

// The LPT option buttons, in the order the window shows them.
int PortOption(const std::string& port) {
  if (port == "378") return 0;
  return port == "278" ? 1 : 2;
}

// The port and model the operator names, then the simulated socket: as an operator would set
// them after start-up.
bool Prepare(shell::MainForm& form, const Options& options, ScriptRunner& runner) {
  if (!options.port.empty()) {
    form.SetValue("LPTSelection(" + std::to_string(PortOption(options.port)) + ")", 1);
  }
  if (options.model != 0) form.Click("ForceSorvell" + std::to_string(options.model));
  std::string lines;
  for (const std::string& line : options.sim) lines += "sim " + line + "\n";
  std::istringstream in(lines);
  return runner.Run(in);
}

std::optional<std::string> ReadLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

}  // namespace

bool AskAtTerminal(const panel::MessageRequest& request) {
  std::fprintf(stderr, "%s: %s [y/N] ", request.title.c_str(), request.text.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

int RunSession(const Options& options, const std::string& script, shell::PortBackend& backend,
               const ConsoleIo& io) {
  const Command& command = options.command;
  if (command.name == "history") {
    return PrintHistory(command, ResolveFolders(options, io.executable).dataFolder, io.out, io.err);
  }
  if (command.Destructive() && !options.yes && !io.confirm) {
    std::fprintf(io.err,
                 "sorvell-cli: %s burns the part and no terminal is there to ask: add --yes to "
                 "confirm it\n",
                 command.name.c_str());
    return kExitBadInput;
  }
  // With --json standard output holds the document alone; the log goes to standard error.
  std::FILE* logOut = command.json ? io.err : io.out;
  ScriptedDialogs dialogs(logOut, options.yes);
  ConsoleWindows windows(logOut);
  SilentSounds sounds;
  MemorySettings settings;
  ConsoleHelp help(logOut);
  shell::SystemWallClock clock;
  shell::SystemCheck check;
  check.backend = shell::BackendInUse(options.board, backend);
  shell::MainForm form({*backend.port, *backend.timing, dialogs, windows, sounds, settings, clock,
                        ResolveFolders(options, io.executable), &help, check, backend.accessNs});
  LogEcho echo(form.frmMain, logOut);
  std::string logLines;
  if (!options.log.empty()) echo.KeepLines(&logLines);
  // From here a signal stops the running operation at a safe point and the board is reset.
  shell::InstallStopSignals();
  ConsoleRunControl runControl(form.frmMain, io.progress);
  runControl.partBytes = &form.device.DeviceBytes;
  form.panel.SetRunControl(&runControl);
  form.Form_Load();
  form.Timer1_Timer();
  RunRecord record;
  // Start-up without a board is no failure of the run (a command that needs one says so); a
  // board configuration that could not be saved is.
  if (form.LastOutcome().reason == panel::NotDoneReason::kFileNotSaved) {
    record.Add(form.LastOutcome());
  }

  ScriptRunner runner(form, dialogs, windows, backend, logOut, io.err);
  runner.afterLine = [&runControl] { runControl.Finish(); };
  runner.keepGoing = options.keepGoing;
  if (!Prepare(form, options, runner)) {
    record.Add(kExitBadInput);
  } else if (command.name == "job") {
    record.Add(RunJobCommand(
        form, dialogs, command, io.operatorLine ? io.operatorLine : ReadLine,
        [&runControl] { runControl.Finish(); }, io.out, io.err));
  } else if (!command.name.empty()) {
    CommandRunner commands(form, dialogs, options, io.out, io.err);
    commands.confirm = io.confirm;
    commands.afterEvent = [&runControl] { runControl.Finish(); };
    record.Add(commands.Run());
  } else if (!options.script.empty()) {
    std::istringstream lines(script);
    runner.Run(lines);
    record.Add(runner.record.Status());
  } else if (RunReadDemonstration(backend, io.out) != 0) {
    // The demonstration reads a known image back; a difference is a failed operation.
    record.Add(kExitErrorAlert);
  }
  form.Form_Unload();  // the board reset: programming voltage off whatever happened
  if (form.OperationsStopped() > 0 || shell::StopSignalReceived() != 0) record.Add(kExitStopped);
  // A port that failed outside an operator event (start-up, shutdown) is a device error too.
  if (form.PortFaults() > 0) record.Add(kExitErrorAlert);
  std::string error;
  if (!options.log.empty() && !common::WriteFileAtomically(options.log, logLines, error)) {
    std::fprintf(io.err, "sorvell-cli: the log was not kept in %s: %s\n", options.log.c_str(),
                 error.c_str());
    record.Add(kExitNotDone);
  }
  return record.Status();
}

}  // namespace sorvell::console
