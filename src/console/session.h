#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "console/options.h"
#include "panel/edges.h"
#include "shell/port_backend.h"

namespace sorvell::console {

// Where a console run reads and writes.
struct ConsoleIo {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  std::FILE* progress = nullptr;  // null: no progress line (standard error is no terminal)
  // The operator's answer to a question box, asked at a terminal; null: standard input is no
  // terminal, and a command that burns needs --yes.
  std::function<bool(const panel::MessageRequest&)> confirm;
  const char* executable = "sorvell-cli";
  // The operator's lines for `job run` (Enter for the next part); null: standard input.
  std::function<std::optional<std::string>()> operatorLine;
};

// One run of the main window on `backend`: start-up, the command or the script (or the
// demonstration), shutdown. Returns the exit status.
int RunSession(const Options& options, const std::string& script, shell::PortBackend& backend,
               const ConsoleIo& io);

// Asks the question on standard error and reads the answer from standard input: y or yes.
bool AskAtTerminal(const panel::MessageRequest& request);

}  // namespace sorvell::console
