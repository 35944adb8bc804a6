#include "console/commands.h"

#include "buffers/checksums.h"
#include "catalogue/device_table.h"
#include "common/atomic_file.h"
#include "common/read_file.h"
#include "common/trim.h"
#include "console/device_names.h"
#include "console/exit_status.h"
#include "console/json_output.h"
#include "records/record_store.h"
#include "shell/stop_signals.h"

namespace sorvell::console {

namespace {

// Where the data folder keeps the parts' contents from before they were erased or burned, each
// file named by the SHA-256 of what it holds.
constexpr const char* kBackupFolder = "backups";
// The largest part a backup can hold, with room to spare.
constexpr std::size_t kLargestBackup = 4u << 20;

// The option buttons of the programming voltage, in the order the window shows them.
int VoltageButton(const std::string& volts) {
  if (volts == "5") return 0;
  if (volts == "12.5") return 1;
  return volts == "21" ? 2 : 3;
}

}  // namespace

int ListDevices(const Command& command, const std::vector<catalogue::DeviceRow>& devices,
                std::FILE* out, std::FILE* err) {
  const catalogue::DeviceTableType table = catalogue::DeviceTableOf(devices);
  const std::vector<std::string> entries = catalogue::DeviceListEntries(table, devices);
  const std::vector<int> shown = FilterDevices(entries, command.filter);
  if (command.json) {
    std::fputs(DeviceListJson(devices, shown, entries).c_str(), out);
    return kExitOk;
  }
  for (const int index : shown) {
    const std::string name = EntryName(entries[index]);
    const bool selectable = catalogue::SelectableEntry(entries[index]);
    const catalogue::DeviceRow& row = devices[static_cast<std::size_t>(index - 1)];
    if (row.sizeBytes % 1024 == 0) {
      std::fprintf(out, "%3d  %-30s %5d KB%s\n", index, name.c_str(), row.SizeKB(),
                   selectable ? "" : "  N/A (cannot be selected)");
    } else {
      std::fprintf(out, "%3d  %-30s %5d B\n", index, name.c_str(), row.sizeBytes);
    }
  }
  if (shown.empty()) {
    std::fprintf(err, "sorvell-cli: no device in the list holds \"%s\"\n", command.filter.c_str());
  }
  return kExitOk;
}

int PrintChecksums(const std::string& file, std::FILE* out, std::FILE* err) {
  constexpr std::size_t kLargestFile = 256u << 20;
  std::string bytes, error;
  if (!common::ReadRegularFile(file, kLargestFile, bytes, error, common::EmptyFile::kAccepted)) {
    std::fprintf(err, "sorvell-cli: %s: %s\n", file.c_str(), error.c_str());
    return kExitNotDone;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const buffers::Checksums sums = buffers::ChecksumsOf({data, bytes.size()});
  std::fprintf(out, "%s: %zu bytes\n", file.c_str(), sums.bytes);
  for (const std::string& line : buffers::ChecksumLines(sums)) {
    std::fprintf(out, "%s\n", line.c_str());
  }
  return kExitOk;
}

CommandRunner::CommandRunner(shell::MainForm& form, ScriptedDialogs& dialogs,
                             const Options& options, std::FILE* out, std::FILE* err)
    : form_(form),
      dialogs_(dialogs),
      options_(options),
      command_(options.command),
      device_(options.command.device),
      out_(out),
      err_(err) {}

int CommandRunner::Run() {
  // A question the operator declines at the terminal leaves the command undone.
  if (confirm) {
    dialogs_.ask = [this](const panel::MessageRequest& request) {
      const bool yes = confirm(request);
      const bool yesNo = request.buttons == panel::MessageButtons::kYesNo;
      // A box that offers something besides going on: no at the terminal burns nothing.
      if (request.buttons == panel::MessageButtons::kYesNoCancel) {
        return yes ? panel::Answer::kYes : panel::Answer::kCancel;
      }
      return yes ? (yesNo ? panel::Answer::kYes : panel::Answer::kOk)
                 : (yesNo ? panel::Answer::kNo : panel::Answer::kCancel);
    };
  }
  const std::string& name = command_.name;
  if (name == "detect") return Detect();
  if (IsImageCommand(name)) return Arrange();
  // A backup that is gone or no longer what it was refuses before the board is touched.
  std::filesystem::path backup;
  if (name == "restore") {
    if (const int status = FindBackup(backup); status != kExitOk) return status;
  }
  if (const int status = BoardThere(); status != kExitOk) return status;
  if (const int status = SelectDevice(); status != kExitOk) return status;
  int status = kExitOk;
  form_.run.LastCompare.clear();
  form_.run.ReadPasses = command_.passes;
  if (name == "read") status = Read();
  if (name == "blank") status = WriteReport(Click("Blank_button"));
  if (name == "program") status = Program();
  if (name == "verify") status = WriteReport(Verify());
  if (name == "erase") status = Erase();
  if (name == "id") status = Click("menuFlashShowCodeID");
  if (name == "restore") status = Restore(backup);
  return status;
}

// Test LPT Ports, as the operator clicks it, then what it found.
int CommandRunner::Detect() {
  form_.Click("TestHardware_button");
  if (afterEvent) afterEvent();
  const int status = EventStatus();
  const bool found = form_.board.DataPort != 0;
  const std::string port = form_.frmMain["PortSelected"].Caption();
  if (command_.json) {
    std::fputs(DetectJson(found, form_.board.BoardModel, port).c_str(), out_);
  } else if (found) {
    std::fprintf(out_, "SORVELL-%d board at %s\n", form_.board.BoardModel, port.c_str());
  }
  return found ? status : BoardThere();
}

// The report is written whatever the compare found, and most of all when it failed; a compare
// that never ran (a file not loaded) leaves none, and says so.
int CommandRunner::WriteReport(int status) {
  if (command_.report.empty()) return status;
  const int unwritten = status == kExitOk ? kExitNotDone : status;
  if (form_.run.LastCompare.empty()) {
    std::fprintf(err_, "sorvell-cli: no report written to %s: the part was not compared\n",
                 command_.report.c_str());
    return unwritten;
  }
  std::string error;
  const std::string json = CompareReportJson(form_.run, form_.device.DeviceName);
  if (!common::WriteFileAtomically(command_.report, json, error)) {
    std::fprintf(err_, "sorvell-cli: the report was not written: %s\n", error.c_str());
    return unwritten;
  }
  return status;
}

int CommandRunner::BoardThere() {
  if (form_.board.DataPort != 0) return kExitOk;
  std::fprintf(err_,
               "sorvell-cli: no board answered on 278h, 378h or 3BCh: check that the board is "
               "powered and its cable plugged in, or name it with --port and --model\n");
  return kExitNoBoard;
}

int CommandRunner::SelectDevice() {
  const DeviceChoice choice = ChooseDevice(form_.frmMain["Device"].Items(), device_);
  if (!choice.index) {
    std::fprintf(err_, "sorvell-cli: %s\n", choice.error.c_str());
    return kExitBadInput;
  }
  return Set("Device", *choice.index);
}

// A part that could not be read is not saved as if it had been.
int CommandRunner::Read() {
  if (const int status = Click("Read_button"); status != kExitOk) return status;
  return Save(command_.output);
}

int CommandRunner::Program() {
  if (const int status = Open(command_.input, options_.format); status != kExitOk) return status;
  if (const int status = ProgrammingOptions(); status != kExitOk) return status;
  // The question offers FFh for the rest of a part longer than the image.
  dialogs_.declineOffers = command_.noPad;
  return Click("Program_button");
}

int CommandRunner::Erase() {
  if (command_.noBackup) {
    if (const int status = Set("BackupBeforeBurn", 0); status != kExitOk) return status;
  }
  return Click("EraseFlash_button");
}

int CommandRunner::ProgrammingOptions() {
  int status = kExitOk;
  if (command_.noBackup) status = Set("BackupBeforeBurn", 0);
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
  if (const int status = Open(command_.input, options_.format); status != kExitOk) return status;
  return Click("Verify_button");
}

// File > Open Code, answered with the file; a format given on the command line is taken as
// the file's without looking at it.
int CommandRunner::Open(const std::string& file, std::optional<buffers::ImageFormat> format) {
  bool loaded = false;
  if (format) {
    form_.buffers.CodeFileName = file;
    loaded = form_.images.ReadCodeFile(format);
    if (!loaded) form_.buffers.CodeFileName.clear();
  } else {
    dialogs_.Queue(file);
    const int status = Click("mnuFileOpenCode");
    if (status == kExitStopped) return status;
    loaded = status == kExitOk;
  }
  if (loaded) return kExitOk;
  std::fprintf(err_,
               "sorvell-cli: %s was not loaded (the log says why): give an existing binary, Intel "
               "HEX or S-record image\n",
               file.c_str());
  return kExitNotDone;
}

// The backup the record links, where the backup folder keeps it, and only while its contents
// are still those its name (their SHA-256) says.
int CommandRunner::FindBackup(std::filesystem::path& backup) {
  const std::filesystem::path data = form_.edges().folders.dataFolder;
  std::string error;
  const std::optional<records::PartRecord> record =
      records::RecordStore(data).Get(command_.record, error);
  const std::string which = "restore: record " + std::to_string(command_.record);
  if (!record) {
    std::fprintf(err_, "sorvell-cli: %s: %s\n", which.c_str(),
                 error.empty() ? "no such record (sorvell-cli history lists them)" : error.c_str());
    return error.empty() ? kExitBadInput : kExitNotDone;
  }
  if (record->backupFile.empty()) {
    std::fprintf(err_, "sorvell-cli: %s: has no backup: the part was not read before this %s\n",
                 which.c_str(), record->operation.c_str());
    return kExitNotDone;
  }
  backup = record->backupFile;
  if (backup.is_relative()) backup = data / kBackupFolder / backup.filename();
  std::string bytes;
  if (!common::ReadRegularFile(backup, kLargestBackup, bytes, error)) {
    std::fprintf(err_, "sorvell-cli: %s: its backup %s cannot be read: %s\n", which.c_str(),
                 backup.c_str(), error.c_str());
    return kExitNotDone;
  }
  const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::string sha256 = buffers::ChecksumsOf({raw, bytes.size()}).sha256;
  if (backup.stem().string() != sha256) {
    std::fprintf(err_,
                 "sorvell-cli: %s: its backup %s was changed since it was kept (its SHA-256 is "
                 "now %s): nothing was burned\n",
                 which.c_str(), backup.c_str(), sha256.c_str());
    return kExitNotDone;
  }
  if (device_.empty()) device_ = record->device;
  return kExitOk;
}

// The backup is a plain image: read as one whatever its first bytes look like. A Flash or
// EEPROM holds what replaced it, so it is erased first (that erase keeps its own backup); an
// EPROM must come erased, as for any burn.
int CommandRunner::Restore(const std::filesystem::path& backup) {
  if (const int status = Open(backup.string(), buffers::ImageFormat::kBinary); status != kExitOk) {
    return status;
  }
  const panel::Control& erase = form_.frmMain["EraseFlash_button"];
  if (erase.Enabled() && erase.Visible()) {
    if (const int status = Click("EraseFlash_button"); status != kExitOk) return status;
  }
  return Click("Program_button");
}

// File > Save Code As, answered with the file.
int CommandRunner::Save(const std::string& file) {
  if (!options_.format) {
    dialogs_.Queue(file);
    return Click("mnuFileSaveCodeAs");
  }
  form_.buffers.CodeFileName = file;
  return form_.images.SaveCodeFile(options_.format) ? kExitOk : kExitNotDone;
}

// A control the operator can reach; one that is disabled or hidden means the device has no such
// operation or option.
int CommandRunner::Click(const std::string& name) {
  const panel::Control& control = form_.frmMain[name];
  if (!control.Enabled() || !control.Visible()) return Unavailable(name);
  form_.Click(name);
  if (afterEvent) afterEvent();
  // A stopped read is not saved, a stopped load not burned: the command ends here.
  if (shell::StopSignalReceived() != 0) return kExitStopped;
  return EventStatus();
}

// How the event just ended: anything but done ends the command, said in a line of its own
// beside the log's (a declined question at the terminal burned nothing).
int CommandRunner::EventStatus() {
  const panel::Outcome& outcome = form_.LastOutcome();
  if (outcome.IsDone()) return kExitOk;
  if (outcome.reason == panel::NotDoneReason::kCancelled && command_.Destructive()) {
    std::fprintf(err_, "sorvell-cli: %s: not confirmed; nothing was burned\n",
                 command_.name.c_str());
  } else {
    std::fprintf(err_, "sorvell-cli: %s: %s\n", command_.name.c_str(), outcome.Text().c_str());
  }
  return ExitStatusOf(outcome);
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
