#include "console/commands.h"

#include "catalogue/device_table.h"
#include "common/trim.h"
#include "console/device_names.h"
#include "console/exit_status.h"
#include "shell/stop_signals.h"

namespace sorvell::console {

namespace {

std::string JsonText(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The option buttons of the programming voltage, in the order the window shows them.
int VoltageButton(const std::string& volts) {
  if (volts == "5") return 0;
  if (volts == "12.5") return 1;
  return volts == "21" ? 2 : 3;
}

}  // namespace

int ListDevices(const Command& command, std::FILE* out, std::FILE* err) {
  catalogue::DeviceTableType table;
  catalogue::FillDeviceTable(table);
  const std::vector<std::string> entries = catalogue::DeviceListEntries(table);
  const std::vector<int> shown = FilterDevices(entries, command.filter);
  if (command.json) std::fputs("[", out);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const int index = shown[i];
    const std::string name = EntryName(entries[index]);
    const bool selectable = catalogue::SelectableEntry(entries[index]);
    const int sizeKB = std::stoi(table[index][3]);
    if (command.json) {
      std::fprintf(out, "%s\n {\"index\": %d, \"name\": %s, \"sizeKB\": %d, \"selectable\": %s}",
                   i == 0 ? "" : ",", index, JsonText(name).c_str(), sizeKB,
                   selectable ? "true" : "false");
    } else {
      std::fprintf(out, "%3d  %-30s %5d KB%s\n", index, name.c_str(), sizeKB,
                   selectable ? "" : "  N/A (cannot be selected)");
    }
  }
  if (command.json) std::fputs(shown.empty() ? "]\n" : "\n]\n", out);
  if (shown.empty() && !command.json) {
    std::fprintf(err, "sorvell-cli: no device in the list holds \"%s\"\n", command.filter.c_str());
  }
  return kExitOk;
}

CommandRunner::CommandRunner(shell::MainForm& form, ScriptedDialogs& dialogs,
                             const Options& options, std::FILE* out, std::FILE* err)
    : form_(form),
      dialogs_(dialogs),
      options_(options),
      command_(options.command),
      out_(out),
      err_(err) {}

int CommandRunner::Run() {
  // A question the operator declines at the terminal leaves the command undone.
  if (confirm) {
    dialogs_.ask = [this](const panel::MessageRequest& request) {
      const bool yes = confirm(request);
      declined_ = declined_ || !yes;
      const bool yesNo = request.buttons == panel::MessageButtons::kYesNo;
      return yes ? (yesNo ? panel::Answer::kYes : panel::Answer::kOk)
                 : (yesNo ? panel::Answer::kNo : panel::Answer::kCancel);
    };
  }
  const std::string& name = command_.name;
  if (name == "detect") return Detect();
  if (const int status = BoardThere(); status != kExitOk) return status;
  if (const int status = SelectDevice(); status != kExitOk) return status;
  int status = kExitOk;
  if (name == "read") status = Read();
  if (name == "blank") status = Click("Blank_button");
  if (name == "program") status = Program();
  if (name == "verify") status = Verify();
  if (name == "erase") status = Click("EraseFlash_button");
  if (name == "id") status = Click("menuFlashShowCodeID");
  if (status == kExitOk && declined_) {
    std::fprintf(err_, "sorvell-cli: %s: not confirmed; nothing was burned\n", name.c_str());
    return kExitNotDone;
  }
  return status;
}

// Test LPT Ports, as the operator clicks it, then what it found.
int CommandRunner::Detect() {
  form_.Click("TestHardware_button");
  if (afterEvent) afterEvent();
  const bool found = form_.board.DataPort != 0;
  const std::string port = form_.frmMain["PortSelected"].Caption();
  if (command_.json) {
    if (found) {
      std::fprintf(out_, "{\"board\": {\"model\": %d, \"port\": %s}}\n", form_.board.BoardModel,
                   JsonText(port).c_str());
    } else {
      std::fputs("{\"board\": null}\n", out_);
    }
  } else if (found) {
    std::fprintf(out_, "SORVELL-%d board at %s\n", form_.board.BoardModel, port.c_str());
  }
  return found ? kExitOk : BoardThere();
}

int CommandRunner::BoardThere() {
  if (form_.board.DataPort != 0) return kExitOk;
  std::fprintf(err_,
               "sorvell-cli: no board answered on 278h, 378h or 3BCh: check that the board is "
               "powered and its cable plugged in, or name it with --port and --model\n");
  return kExitNoBoard;
}

int CommandRunner::SelectDevice() {
  const DeviceChoice choice = ChooseDevice(form_.frmMain["Device"].Items(), command_.device);
  if (!choice.index) {
    std::fprintf(err_, "sorvell-cli: %s\n", choice.error.c_str());
    return kExitBadInput;
  }
  return Set("Device", *choice.index);
}

int CommandRunner::Read() {
  const int alerts = form_.panel.ErrorAlertsRaised() + form_.PortFaults();
  if (const int status = Click("Read_button"); status != kExitOk) return status;
  // A part that could not be read is not saved as if it had been.
  if (form_.panel.ErrorAlertsRaised() + form_.PortFaults() != alerts) return kExitOk;
  return Save(command_.output);
}

int CommandRunner::Program() {
  if (const int status = Open(command_.input); status != kExitOk) return status;
  if (const int status = ProgrammingOptions(); status != kExitOk) return status;
  return Click("Program_button");
}

int CommandRunner::ProgrammingOptions() {
  int status = kExitOk;
  if (command_.half == "hi") status = Set("HiLow_button(1)", 1);
  if (command_.half == "lo") status = Set("HiLow_button(2)", 1);
  if (status == kExitOk && !command_.vpp.empty()) {
    status = Set("Voltage_button(" + std::to_string(VoltageButton(command_.vpp)) + ")", 1);
  }
  if (status == kExitOk && command_.speed != 0) status = Set("Slider1", command_.speed);
  if (status == kExitOk && command_.noBlankCheck) status = Set("CheckBlankPriorProgramming", 0);
  if (status == kExitOk && command_.noVerify) status = Set("VerifyAfterProgramming", 0);
  return status;
}

int CommandRunner::Verify() {
  if (const int status = Open(command_.input); status != kExitOk) return status;
  return Click("Verify_button");
}

// File > Open Code, answered with the file; a format given on the command line is taken as
// the file's without looking at it.
int CommandRunner::Open(const std::string& file) {
  bool loaded = false;
  if (options_.format) {
    form_.buffers.CodeFileName = file;
    loaded = form_.images.ReadCodeFile(options_.format);
    if (!loaded) form_.buffers.CodeFileName.clear();
  } else {
    dialogs_.Queue(file);
    if (const int status = Click("mnuFileOpenCode"); status != kExitOk) return status;
    loaded = form_.buffers.CodeFileName == file;
  }
  if (loaded) return kExitOk;
  std::fprintf(err_,
               "sorvell-cli: %s was not loaded (the log says why): give an existing binary, Intel "
               "HEX or S-record image\n",
               file.c_str());
  return kExitNotDone;
}

// File > Save Code As, answered with the file.
int CommandRunner::Save(const std::string& file) {
  if (!options_.format) {
    dialogs_.Queue(file);
    return Click("mnuFileSaveCodeAs");
  }
  form_.buffers.CodeFileName = file;
  form_.images.SaveCodeFile(options_.format);  // a failure is counted from its box
  return kExitOk;
}

// A control the operator can reach; one that is disabled or hidden means the device has no such
// operation or option.
int CommandRunner::Click(const std::string& name) {
  const panel::Control& control = form_.frmMain[name];
  if (!control.Enabled() || !control.Visible()) return Unavailable(name);
  form_.Click(name);
  if (afterEvent) afterEvent();
  // A stopped read is not saved, a stopped load not burned: the command ends here.
  return shell::StopSignalReceived() != 0 ? kExitStopped : kExitOk;
}

int CommandRunner::Set(const std::string& name, int value) {
  const panel::Control& control = form_.frmMain[name];
  if (!control.Enabled() || !control.Visible() || !form_.SetValue(name, value)) {
    return Unavailable(name);
  }
  if (afterEvent) afterEvent();
  return kExitOk;
}

int CommandRunner::Unavailable(const std::string& name) {
  const panel::Control& control = form_.frmMain[name];
  std::string caption = control.Caption();
  std::erase(caption, '&');
  std::fprintf(err_, "sorvell-cli: %s: \"%s\" (%s) is not available for the %s%s\n",
               command_.name.c_str(), common::TrimBlanks(caption).c_str(), name.c_str(),
               common::TrimBlanks(form_.device.DeviceName).c_str(),
               command_.name == "erase" || command_.name == "id"
                   ? ": only Flash, X28C256 and serial parts have it"
                   : "");
  return kExitBadInput;
}

}  // namespace sorvell::console
