#include "console/script.h"

#include <charconv>
#include <memory>
#include <sstream>

#include "shell/simulator_commands.h"
#include "shell/stop_signals.h"
#include "sim/sim_port.h"

namespace sorvell::console {

namespace {

using panel::Control;
using panel::ControlKind;

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Splits "command rest of line" at the first blank.
std::pair<std::string, std::string> Head(const std::string& text) {
  const auto blank = text.find_first_of(" \t");
  if (blank == std::string::npos) return {text, ""};
  return {text.substr(0, blank), Trim(text.substr(blank))};
}

std::optional<int> Number(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Captions and the log may hold line breaks; `show` keeps a control on one line.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

const char* TrueFalse(bool value) {
  return value ? "True" : "False";
}

// A script is text: tab may separate words like a blank, every other control character (NUL,
// ESC, DEL...) is a damaged or binary file. Returns the first one.
std::optional<unsigned char> ControlCharacter(const std::string& line) {
  for (const char c : line) {
    const auto code = static_cast<unsigned char>(c);
    if ((code < 0x20 && code != '\t') || code == 0x7F) return code;
  }
  return std::nullopt;
}

std::string HexByte(unsigned char code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[code >> 4], kDigits[code & 0xF], 'h'};
}

}  // namespace

ScriptRunner::ScriptRunner(shell::MainForm& form, ScriptedDialogs& dialogs, ConsoleWindows& windows,
                           shell::PortBackend& backend, std::FILE* out, std::FILE* err)
    : form_(form), dialogs_(dialogs), windows_(windows), backend_(backend), out_(out), err_(err) {}

bool ScriptRunner::Run(std::istream& script) {
  std::string line;
  while (std::getline(script, line)) {
    ++lineNumber_;
    if (windows_.closeRequested) {
      std::fprintf(err_, "line %d: the main window is closed; the rest of the script is skipped\n",
                   lineNumber_);
      return true;
    }
    if (shell::StopSignalReceived() != 0) {
      std::fprintf(err_, "line %d: stopped by signal %d; the rest of the script is skipped\n",
                   lineNumber_, shell::StopSignalReceived());
      return true;
    }
    if (line.ends_with('\r')) line.pop_back();  // a script written with CR LF line ends
    if (const auto code = ControlCharacter(line)) {
      return Fail("control character " + HexByte(*code) + " in the line");
    }
    const int events = form_.panel.EventsEnded();
    const int cancels = dialogs_.ScriptCancels();
    const bool ran = RunLine(Trim(line));
    if (afterLine) afterLine();
    if (!ran) {
      record.Add(kExitBadInput);
      return false;
    }
    if (form_.panel.EventsEnded() != events &&
        !Accept(form_.LastOutcome(), dialogs_.ScriptCancels() != cancels)) {
      return true;
    }
  }
  return true;
}

bool ScriptRunner::Accept(const panel::Outcome& outcome, bool cancelledByScript) {
  if (outcome.IsDone()) return true;
  if (outcome.reason == panel::NotDoneReason::kCancelled && cancelledByScript) return true;
  record.Add(outcome);
  if (keepGoing || outcome.kind == panel::OutcomeKind::kStopped) return true;
  std::fprintf(
      err_, "sorvell-cli: line %d: %s; the rest of the script is skipped (--keep-going runs it)\n",
      lineNumber_, outcome.Text().c_str());
  return false;
}

bool ScriptRunner::Fail(const std::string& message) {
  std::fprintf(err_, "sorvell-cli: line %d: %s\n", lineNumber_, message.c_str());
  return false;
}

bool ScriptRunner::RunLine(const std::string& line) {
  if (line.empty() || line[0] == '#') return true;
  const auto [command, rest] = Head(line);
  const auto [name, value] = Head(rest);
  if (command == "answer") {
    if (rest.empty()) return Fail("answer needs a value");
    dialogs_.Queue(rest);
    return true;
  }
  if (command == "sim") return Sim(rest);
  if (name.empty()) return Fail(command + " needs a control name");
  if (command == "click" && value.empty()) return Click(name);
  if (command == "dblclick" && value.empty()) return DblClick(name);
  if (command == "show" && value.empty()) return Show(name);
  if (command == "select" && !value.empty()) return Select(name, value);
  if (command == "set" && !value.empty()) return Set(name, value);
  return Fail("cannot understand \"" + line + "\"");
}

bool ScriptRunner::Click(const std::string& name) {
  const Control* control = form_.frmMain.Find(name);
  if (control == nullptr) return Fail("no control named " + name);
  if (!Reachable(*control, "click")) return true;
  if (!form_.Click(name)) return Fail(name + " does not take a click");
  return true;
}

// An operator cannot click or change a disabled or hidden control either: it is noted and the
// script goes on.
bool ScriptRunner::Reachable(const Control& control, const char* action) {
  if (control.Enabled() && control.Visible()) return true;
  std::fprintf(err_, "line %d: %s is %s; the %s does nothing\n", lineNumber_,
               control.Name().c_str(), control.Enabled() ? "hidden" : "disabled", action);
  return false;
}

bool ScriptRunner::DblClick(const std::string& name) {
  if (!form_.DblClick(name)) return Fail(name + " does not take a double click");
  return true;
}

bool ScriptRunner::Select(const std::string& name, const std::string& value) {
  const Control* control = form_.frmMain.Find(name);
  if (control == nullptr || control->Kind() != ControlKind::kDropDownList) {
    return Fail(name + " is not a list");
  }
  if (!Reachable(*control, "selection")) return true;
  std::optional<int> index = Number(value);
  // Entries are padded with blanks, which a script line cannot end with.
  for (std::size_t i = 0; !index && i < control->Items().size(); ++i) {
    if (Trim(control->Items()[i]) == value) index = static_cast<int>(i);
  }
  if (!index || !form_.SetValue(name, *index)) return Fail(name + " has no entry " + value);
  return true;
}

bool ScriptRunner::Set(const std::string& name, const std::string& value) {
  const Control* control = form_.frmMain.Find(name);
  if (control == nullptr) return Fail("no control named " + name);
  if (!Reachable(*control, "change")) return true;
  if (control->Kind() == ControlKind::kTextBox) {
    form_.SetText(name, value);
    return true;
  }
  std::optional<int> number = Number(value);
  if (control->Kind() == ControlKind::kOptionButton) {
    number = value == "True" ? 1 : value == "False" ? 0 : std::optional<int>();
  }
  if (!number || !form_.SetValue(name, *number)) {
    return Fail("cannot set " + name + " to " + value);
  }
  return true;
}

bool ScriptRunner::Show(const std::string& name) {
  const Control* control = form_.frmMain.Find(name);
  if (control == nullptr) return Fail("no control named " + name);
  std::fprintf(out_, "%s enabled=%s visible=%s caption=%s value=%s colour=%X\n", name.c_str(),
               TrueFalse(control->Enabled()), TrueFalse(control->Visible()),
               Quoted(control->Caption()).c_str(), control->ValueText().c_str(),
               control->ForeColor());
  return true;
}

// The board in use: the one at the chosen port, else the first one placed.
sim::SimBoard* ScriptRunner::SimulatedBoard() {
  if (sim::SimBoard* board = backend_.simulator->BoardAt(form_.board.DataPort)) return board;
  for (const std::uint16_t base : {board::kLpt378, board::kLpt278, board::kLpt3BC}) {
    if (sim::SimBoard* board = backend_.simulator->BoardAt(base)) return board;
  }
  return nullptr;
}

bool ScriptRunner::Sim(const std::string& arguments) {
  if (backend_.simulator == nullptr) return Fail("sim commands need a simulated board");
  sim::SimBoard* board = SimulatedBoard();
  if (board == nullptr) return Fail("no simulated board is placed");
  std::string error;
  if (!shell::RunSimCommand(*backend_.simulator, *board, arguments, error)) return Fail(error);
  return true;
}

}  // namespace sorvell::console
