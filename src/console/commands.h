#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "catalogue/device_table.h"
#include "console/console_edges.h"
#include "console/options.h"
#include "shell/main_form.h"

namespace sorvell::console {

// `sorvell-cli list`: the device list, with no board needed. Returns the exit status.
int ListDevices(const Command& command, const std::vector<catalogue::DeviceRow>& devices,
                std::FILE* out, std::FILE* err);

// `sorvell-cli checksum FILE`: the file's bytes as they are (no format is decoded).
int PrintChecksums(const std::string& file, std::FILE* out, std::FILE* err);

// Runs one command as the operator's events at the window: choose the device, open the file,
// set the options, click the button. What the operation came to (an alert, a failed save) is
// counted by the console's edges as for a script.
// swap, split, interleave, place, cut, fill, pad, repeat and compare: files only, no board.
bool IsImageCommand(const std::string& name);

class CommandRunner {
 public:
  CommandRunner(shell::MainForm& form, ScriptedDialogs& dialogs, const Options& options,
                std::FILE* out, std::FILE* err);

  // kExitOk when every event ran; otherwise why the command stopped short: kExitBadInput (the
  // device or an option does not fit), kExitNotDone (a file not loaded, the burn not
  // confirmed), kExitNoBoard, kExitStopped (a signal stopped an operation).
  int Run();
  // The operator at a terminal, for the program's questions; null: --yes answers them.
  std::function<bool(const panel::MessageRequest&)> confirm;
  // After every event, as the operation it started has ended.
  std::function<void()> afterEvent;

 private:
  int Detect();
  // The image commands (swap, split, interleave, place, cut, fill, pad, repeat, compare).
  int Arrange();
  std::vector<std::string> ImageAnswers() const;
  int Read();
  int Program();
  int Erase();
  int Verify();
  // restore: the record's backup, checked, as the code image; the device the record names.
  int FindBackup(std::filesystem::path& backup);
  int Restore(const std::filesystem::path& backup);
  int OnDevice(const char* button);
  int BoardThere();
  // Writes --report FILE after a verify or blank check; the command's status, or why not.
  int WriteReport(int status);
  int SelectDevice();
  int Open(const std::string& file, std::optional<buffers::ImageFormat> format);
  int Save(const std::string& file);
  int Click(const std::string& name);
  int EventStatus();
  int Set(const std::string& name, int value);
  int Unavailable(const std::string& name);
  int ProgrammingOptions();

  shell::MainForm& form_;
  ScriptedDialogs& dialogs_;
  const Options& options_;
  const Command& command_;
  std::string device_;  // the command's, or the restored record's
  std::FILE* out_;
  std::FILE* err_;
};

}  // namespace sorvell::console
