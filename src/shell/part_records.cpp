// The record of every operation on a part: built from the model's state when the operator event
// ends, kept in the data folder's record store, and shown in the History window.
#include <filesystem>
#include <span>

#include "buffers/checksums.h"
#include "common/hex_text.h"
#include "common/program_version.h"
#include "common/trim.h"
#include "records/record_store.h"
#include "shell/main_form.h"

namespace sorvell::shell {

namespace {

// The most records the History window lists.
constexpr int kHistoryRows = 200;

std::string RecordTime(const panel::LocalTime& t) {
  char text[24];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::span<const std::uint8_t> First(const std::vector<std::uint8_t>& bytes, std::int32_t count) {
  const auto size = static_cast<std::size_t>(std::max<std::int32_t>(count, 0));
  return std::span(bytes).first(std::min(size, bytes.size()));
}

}  // namespace

// The events that work on a part and are worth a record, by the operation's name. Display only
// reads the part to show it, so it is left out, as are the events that touch no part.
std::optional<std::string> MainForm::RecordedOperation(std::string_view name) {
  static constexpr std::pair<std::string_view, const char*> kOperations[] = {
      {"Read_button", "Read"},           {"menuReadCode", "Read"},
      {"menuReadData", "Read"},          {"Blank_button", "Blank Check"},
      {"menuBlankCheck", "Blank Check"}, {"Program_button", "Program"},
      {"menuProgramCode", "Program"},    {"menuProgramData", "Program"},
      {"Verify_button", "Verify"},       {"menuVerifyCode", "Verify"},
      {"menuVerifyData", "Verify"},      {"EraseFlash_button", "Erase"},
      {"menuEraseFlash", "Erase"},       {"menuFlashShowCodeID", "Identification"}};
  for (const auto& [event, recorded] : kOperations) {
    if (name == event) return recorded;
  }
  return std::nullopt;
}

// The part's checksums as far as the run knows them, and only when it ended done: a read holds
// the part in the code buffer, a program or verify wrote or compared the program buffer with it,
// a blank check or an erase found or left every byte FFh. A failed run, an identification and the
// data memory's entries leave them unknown.
void MainForm::NotePartChecksums(records::PartRecord& record, std::string_view event) {
  if (!LastOutcome().IsDone() || event.find("Data") != std::string_view::npos) return;
  std::vector<std::uint8_t> erased;
  std::span<const std::uint8_t> part;
  if (record.operation == "Read") {
    part = First(buffers.CodeBuffer, device.DeviceBytes);
  } else if (record.operation == "Program" || record.operation == "Verify") {
    part = First(run.ProgramBuffer, run.ProgramLength);
  } else if (record.operation == "Blank Check" || record.operation == "Erase") {
    erased.assign(static_cast<std::size_t>(std::max(device.DeviceBytes, 0)), 0xFF);
    part = erased;
  } else {
    return;
  }
  const buffers::Checksums sums = buffers::ChecksumsOf(part);
  record.partSum16 = sums.sum16;
  record.partCrc32 = sums.crc32;
}

records::PartRecord MainForm::PartRecordOf(std::string_view event, std::string operationName,
                                           std::uint64_t startNs) {
  records::PartRecord record;
  record.time = RecordTime(edges_.clock.Now());
  record.programVersion = common::kProgramVersion;
  record.boardModel = board.BoardModel;
  record.port = board.DataPort != 0 ? common::HexText(board.DataPort) + "h" : "";
  // The name the device list and `-d` know the part by.
  record.device = device.Row.name.empty() ? common::TrimBlanks(device.DeviceName) : device.Row.name;
  record.operation = std::move(operationName);
  // A read replaces the image: what the buffer holds then came from the part, not from a file.
  if (record.operation != "Read") {
    record.imageName = std::filesystem::path(buffers.CodeFileName).filename().string();
  }
  if (buffers.CodeImageSize > 0) {
    record.imageSha256 =
        buffers::ChecksumsOf(First(buffers.CodeBuffer, buffers.CodeImageSize)).sha256;
  }
  NotePartChecksums(record, event);
  record.job = partInJob.job;
  record.partNumber = partInJob.part;
  record.serial = partInJob.serial;
  const panel::Outcome& outcome = LastOutcome();
  record.outcome = records::OutcomeWord(outcome.kind);
  if (outcome.kind == panel::OutcomeKind::kNotDone) {
    record.reason = std::string(panel::ReasonName(outcome.reason));
  }
  record.detail = outcome.detail;
  // Only a whole compare (verify, blank check) sets the address, and the event began with none.
  if (outcome.kind == panel::OutcomeKind::kDeviceError && run.ErrorAddress >= 0) {
    record.failingAddress = run.ErrorAddress;
  }
  record.durationNs = edges_.timing.NowNs() - startNs;
  record.backupFile = run.LastBackupFile;
  return record;
}

// A record that cannot be kept never changes how the operation ended: the log says so, once
// until a record is kept again, so a long run does not fill the log with it.
void MainForm::KeepRecord(std::string_view event, std::string operationName,
                          std::uint64_t startNs) {
  records::PartRecord record = PartRecordOf(event, std::move(operationName), startNs);
  std::string error;
  if (records::RecordStore(edges_.folders.dataFolder).Add(record, error)) {
    recordFaultLogged_ = false;
    return;
  }
  if (recordFaultLogged_) return;
  recordFaultLogged_ = true;
  panel.AddLog("The record of this operation was NOT kept: " + error);
}

bool MainForm::ClickRecorded(std::string_view name, const std::string& operationName) {
  const std::uint64_t startNs = edges_.timing.NowNs();
  run.ErrorAddress = -1;
  const bool handled = Operate([&] { return ClickNow(name); }, true);
  if (handled) KeepRecord(name, operationName, startNs);
  return handled;
}

// Tools > History: the last records in a window of their own, narrowed by its filter box.
void MainForm::mnuToolsHistory_Click() {
  std::string error = "no data folder: no record of the parts is kept in this run";
  if (edges_.folders.dataFolder.empty() || !FillHistory(error)) {
    const std::string line = "The record of the parts cannot be shown: " + error;
    panel.AddLog(line);
    panel.ReportNotDone(panel::NotDoneReason::kFileNotLoaded, line);
    return;
  }
  edges_.windows.ShowWindow(frmHistory, false);
  panel.ReportDone("History shown");
}

// The History window's Filter button: the rows again, those that mention the filter's text.
void MainForm::cmdHistoryFilter_Click() {
  std::string error;
  if (!FillHistory(error)) {
    frmHistory["txtHistory"].SetCaption("The record of the parts cannot be read: " + error);
  }
}

bool MainForm::FillHistory(std::string& error) {
  records::RecordFilter filter;
  filter.limit = kHistoryRows;
  std::vector<records::PartRecord> found;
  if (!records::RecordStore(edges_.folders.dataFolder).Find(filter, found, error)) return false;
  const std::string wanted = common::TrimBlanks(frmHistory["txtHistoryFilter"].Caption());
  if (!wanted.empty()) {
    std::erase_if(found,
                  [&](const records::PartRecord& r) { return !records::Mentions(r, wanted); });
  }
  std::string table;
  for (const std::string& line : records::TableLines(found)) table += line + "\n";
  if (found.empty()) {
    table += wanted.empty() ? "No part has been recorded yet.\n"
                            : "No record mentions \"" + wanted + "\".\n";
  }
  frmHistory["txtHistory"].SetCaption(table);
  return true;
}

}  // namespace sorvell::shell
