// sorvell-cli: the console front end. Runs the main window's form model without a window, from
// an operator script, printing every log line and every dialog.
#include <unistd.h>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "console/console_edges.h"
#include "console/console_run_control.h"
#include "console/demo.h"
#include "console/exit_status.h"
#include "console/options.h"
#include "console/script.h"
#include "console/script_source.h"
#include "console/system_info.h"
#include "shell/main_form.h"
#include "shell/stop_signals.h"
#include "shell/system_edges.h"

namespace {

using namespace sorvell;

bool RunScript(console::ScriptRunner& runner, const std::string& text) {
  std::istringstream lines(text);
  return runner.Run(lines);
}

}  // namespace

int main(int argc, char** argv) {
  console::Options options;
  std::string error;
  if (!console::ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "sorvell-cli: %s\n%s", error.c_str(), console::kUsage);
    return console::kExitBadInput;
  }
  if (options.help) {
    std::fputs(console::kUsage, stdout);
    return console::kExitOk;
  }
  // Read whole before the board is touched: a script that cannot be read changes nothing.
  std::string script;
  if (!options.script.empty() && !console::ReadScript(options.script, std::cin, script, error)) {
    std::fprintf(stderr, "sorvell-cli: %s\n", error.c_str());
    return console::kExitBadInput;
  }
  auto backend = shell::OpenPortBackend(options.board, error);
  shell::SystemCheck check;
  if (!backend) {
    std::fprintf(stderr, "sorvell-cli: %s\n", error.c_str());
    // The report is how the operator finds the fix, so a port that will not open still gets one.
    check.backend = "none: the port could not be opened";
    if (options.systemInfo) console::PrintSystemInfo(check, stdout);
    return console::kExitBadInput;
  }
  check.backend = shell::BackendInUse(options.board, *backend);
  if (options.systemInfo) return console::PrintSystemInfo(check, stdout);
  std::fprintf(stderr, "Board access: %s\n", backend->description.c_str());

  console::ScriptedDialogs dialogs(stdout, options.yes);
  console::ConsoleWindows windows(stdout);
  console::SilentSounds sounds;
  console::MemorySettings settings;
  console::ConsoleHelp help(stdout);
  shell::SystemWallClock clock;
  shell::MainForm form({*backend->port, *backend->timing, dialogs, windows, sounds, settings, clock,
                        console::ResolveFolders(options, argv[0]), &help, check});
  const console::LogEcho echo(form.frmMain, stdout);
  // From here a signal stops the running operation at a safe point and the board is reset.
  shell::InstallStopSignals();
  console::ConsoleRunControl runControl(form.frmMain, isatty(fileno(stderr)) ? stderr : nullptr);
  form.panel.SetRunControl(&runControl);
  form.Form_Load();
  form.Timer1_Timer();

  console::ScriptRunner runner(form, dialogs, windows, *backend, stdout, stderr);
  runner.afterLine = [&runControl] { runControl.Finish(); };
  console::RunRecord record;
  // The demonstration reads a known image back; a difference is a failed operation.
  const int demonstration =
      options.script.empty() ? console::RunReadDemonstration(*backend, stdout) : 0;
  if (!options.script.empty()) record.inputOk = RunScript(runner, script);
  form.Form_Unload();  // the board reset: programming voltage off whatever happened
  record.stopped = form.OperationsStopped() > 0 || shell::StopSignalReceived() != 0;
  record.errorAlerts = form.panel.ErrorAlertsRaised() + (demonstration != 0 ? 1 : 0);
  record.failedSaves = dialogs.FailedSaves();
  record.refusals = echo.Refusals();
  return console::ExitStatus(record);
}
