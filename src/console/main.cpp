// sorvell-cli: the console front end. Runs the main window's form model without a window, from
// an operator script, printing every log line and every dialog.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "console/console_edges.h"
#include "console/demo.h"
#include "console/options.h"
#include "console/script.h"
#include "shell/main_form.h"
#include "shell/system_edges.h"

namespace {

using namespace sorvell;

// Log lines go out as they are added, without their leading line break.
void EchoLog(shell::MainForm& form, std::FILE* out) {
  form.frmMain.onAppended = [out](const panel::Control& control, std::string_view appended) {
    if (control.Name() != "SystemLog") return;
    if (appended.starts_with("\r\n")) appended.remove_prefix(2);
    std::fprintf(out, "%.*s\n", static_cast<int>(appended.size()), appended.data());
    std::fflush(out);
  };
}

int RunScript(console::ScriptRunner& runner, const std::string& script) {
  if (script == "-") return runner.Run(std::cin) ? 0 : 2;
  std::ifstream file(script);
  if (!file) {
    std::fprintf(stderr, "sorvell-cli: cannot read the script %s\n", script.c_str());
    return 2;
  }
  return runner.Run(file) ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  console::Options options;
  std::string error;
  if (!console::ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "sorvell-cli: %s\n%s", error.c_str(), console::kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(console::kUsage, stdout);
    return 0;
  }
  auto backend = shell::OpenPortBackend(options.board, error);
  if (!backend) {
    std::fprintf(stderr, "sorvell-cli: %s\n", error.c_str());
    return 2;
  }
  std::fprintf(stderr, "Board access: %s\n", backend->description.c_str());

  console::ScriptedDialogs dialogs(stdout, options.yes);
  console::ConsoleWindows windows(stdout);
  console::SilentSounds sounds;
  console::MemorySettings settings;
  shell::SystemWallClock clock;
  shell::MainForm form({*backend->port, *backend->timing, dialogs, windows, sounds, settings, clock,
                        console::ResolveFolders(options, argv[0])});
  EchoLog(form, stdout);
  form.Form_Load();
  form.Timer1_Timer();

  console::ScriptRunner runner(form, dialogs, windows, *backend, stdout, stderr);
  int status = 0;
  if (options.script.empty()) {
    status = console::RunReadDemonstration(*backend, stdout);
  } else {
    status = RunScript(runner, options.script);
  }
  form.Form_Unload();
  if (status == 0 && form.panel.ErrorAlertsRaised() > 0) status = 1;
  return status;
}
