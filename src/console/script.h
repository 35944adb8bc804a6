#pragma once

#include <cstdio>
#include <functional>
#include <istream>
#include <string>

#include "console/console_edges.h"
#include "console/exit_status.h"
#include "shell/main_form.h"
#include "shell/port_backend.h"

namespace sorvell::sim {
class SimBoard;
}  // namespace sorvell::sim

namespace sorvell::console {

// Runs an operator script against the main window: one command a line (click, dblclick, select,
// set, answer, show, sim), blank lines and '#' comments ignored. Lines end at LF, a CR before it
// is dropped; words are separated by blanks or tabs; any other control character makes the line
// bad.
class ScriptRunner {
 public:
  ScriptRunner(shell::MainForm& form, ScriptedDialogs& dialogs, ConsoleWindows& windows,
               shell::PortBackend& backend, std::FILE* out, std::FILE* err);

  // False on the first line that cannot be run, after naming it on `err`. A stop signal ends the
  // script before its next line; so does an event that ends as a device error or not done,
  // unless `keepGoing` (a cancel the script answered itself is what it asked for, and goes on).
  bool Run(std::istream& script);
  // Run after every line, as the operation it started has ended.
  std::function<void()> afterLine;
  bool keepGoing = false;
  // The exit statuses of the events the script ran.
  RunRecord record;

 private:
  bool RunLine(const std::string& line);
  // False when the script stops at the event that just ended.
  bool Accept(const panel::Outcome& outcome, bool cancelledByScript);
  bool Fail(const std::string& message);
  bool Reachable(const panel::Control& control, const char* action);
  bool Click(const std::string& name);
  bool DblClick(const std::string& name);
  bool Select(const std::string& name, const std::string& value);
  bool Set(const std::string& name, const std::string& value);
  bool Show(const std::string& name);
  bool Sim(const std::string& arguments);
  sim::SimBoard* SimulatedBoard();

  shell::MainForm& form_;
  ScriptedDialogs& dialogs_;
  ConsoleWindows& windows_;
  shell::PortBackend& backend_;
  std::FILE* out_;
  std::FILE* err_;
  int lineNumber_ = 0;
};

}  // namespace sorvell::console
