// sorvell-cli: the console front end. Runs the main window's form model without a window, from
// a one-line command or an operator script, printing every log line and every dialog.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "catalogue/device_file.h"
#include "common/program_version.h"
#include "console/commands.h"
#include "console/dry_run.h"
#include "console/exit_status.h"
#include "console/history.h"
#include "console/options.h"
#include "console/script_source.h"
#include "console/session.h"
#include "console/system_info.h"
#include "shell/system_edges.h"
#include "sim/virtual_clock.h"

int main(int argc, char** argv) {
  using namespace sorvell;
  console::Options options;
  std::string error;
  if (!console::ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "sorvell-cli: %s\n(sorvell-cli --help lists the commands and options)\n",
                 error.c_str());
    return console::kExitBadInput;
  }
  if (options.help) {
    std::fputs(console::kUsage, stdout);
    return console::kExitOk;
  }
  if (options.version) {
    std::printf("sorvell-cli %s\n", common::kProgramVersion);
    return console::kExitOk;
  }
  if (options.command.name == "checksum") {
    return console::PrintChecksums(options.command.input, stdout, stderr);
  }
  // The record of the parts needs no board.
  if (options.command.name == "history") {
    return console::PrintHistory(
        options.command, console::ResolveFolders(options, argv[0]).dataFolder, stdout, stderr);
  }
  // The device list needs no board.
  if (options.command.name == "list") {
    const panel::Folders folders = console::ResolveFolders(options, argv[0]);
    const catalogue::DeviceFile own =
        catalogue::ReadDeviceFile(folders.configFolder / catalogue::kDeviceFileName);
    if (!own.error.empty()) {
      std::fprintf(stderr, "sorvell-cli: device file not used, the built-in list stands: %s\n",
                   own.error.c_str());
    }
    return console::ListDevices(options.command, catalogue::DevicesWith(own.rows), stdout, stderr);
  }
  // Read whole before the board is touched: a script that cannot be read changes nothing.
  std::string script;
  if (!options.script.empty() && !console::ReadScript(options.script, std::cin, script, error)) {
    std::fprintf(stderr, "sorvell-cli: %s\n", error.c_str());
    return console::kExitBadInput;
  }
  auto backend = shell::OpenPortBackend(options.board, error);
  shell::SystemCheck check;
  check.programFolder = console::ResolveFolders(options, argv[0]).programFolder;
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
  console::ConsoleIo io;
  io.progress = isatty(fileno(stderr)) ? stderr : nullptr;
  if (isatty(fileno(stdin)) && options.script != "-") io.confirm = console::AskAtTerminal;
  io.executable = argv[0];
  if (!options.dryRun.empty()) return console::RunDryRun(options, script, *backend, io);
  const int status = console::RunSession(options, script, *backend, io);
  // What the run would have taken on a real board, for a command on a simulated one.
  if (backend->clock && !options.command.name.empty()) {
    std::fprintf(stderr, "Simulated board time: %.3f s\n",
                 static_cast<double>(backend->clock->NowNs()) / 1e9);
  }
  return status;
}
