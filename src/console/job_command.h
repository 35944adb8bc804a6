#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "console/console_edges.h"
#include "console/options.h"
#include "shell/main_form.h"

namespace sorvell::console {

// The operator's next line at the terminal; none at the end of input.
using OperatorLine = std::function<std::optional<std::string>()>;

// `sorvell-cli job run JOB`: loads the job, starts it, and burns its parts one after another,
// asking for each part first unless --no-wait. Returns the exit status: 0 every part done, 1 a
// part failed, 3 the job did not start or the operator ended it with parts left, 4 a signal
// stopped it.
int RunJobCommand(shell::MainForm& form, ScriptedDialogs& dialogs, const Command& command,
                  const OperatorLine& operatorLine, const std::function<void()>& afterEvent,
                  std::FILE* out, std::FILE* err);

}  // namespace sorvell::console
