#include "console/history.h"

#include "console/exit_status.h"
#include "console/json_output.h"
#include "records/record_store.h"

namespace sorvell::console {

namespace {

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

template <typename T>
std::string Number(const std::optional<T>& value) {
  return value ? std::to_string(*value) : std::string();
}

std::string Csv(const std::vector<records::PartRecord>& found) {
  std::string csv =
      "id,time,program_version,board_model,port,device,operation,image_name,image_sha256,"
      "part_sum16,part_crc32,job,part_number,serial,outcome,reason,detail,failing_address,"
      "duration_ns,backup_file\r\n";
  for (const records::PartRecord& r : found) {
    const std::string fields[] = {std::to_string(r.id),
                                  r.time,
                                  r.programVersion,
                                  std::to_string(r.boardModel),
                                  r.port,
                                  r.device,
                                  r.operation,
                                  r.imageName,
                                  r.imageSha256,
                                  Number(r.partSum16),
                                  Number(r.partCrc32),
                                  r.job,
                                  r.job.empty() ? "" : std::to_string(r.partNumber),
                                  r.serial,
                                  r.outcome,
                                  r.reason,
                                  r.detail,
                                  Number(r.failingAddress),
                                  std::to_string(r.durationNs),
                                  r.backupFile};
    std::string line;
    for (const std::string& field : fields) line += (line.empty() ? "" : ",") + CsvField(field);
    csv += line + "\r\n";
  }
  return csv;
}

}  // namespace

int PrintHistory(const Command& command, const std::filesystem::path& dataFolder, std::FILE* out,
                 std::FILE* err) {
  records::RecordFilter filter{command.device, command.job,   command.serial, command.outcome,
                               command.since,  command.until, command.limit};
  std::vector<records::PartRecord> found;
  std::string error;
  if (!records::RecordStore(dataFolder).Find(filter, found, error)) {
    std::fprintf(err, "sorvell-cli: the record of the parts cannot be read: %s\n", error.c_str());
    return kExitNotDone;
  }
  if (command.json) {
    std::fputs(HistoryJson(found).c_str(), out);
  } else if (command.csv) {
    std::fputs(Csv(found).c_str(), out);
  } else {
    for (const std::string& line : records::TableLines(found)) {
      std::fprintf(out, "%s\n", line.c_str());
    }
    if (found.empty()) std::fprintf(err, "sorvell-cli: no record fits\n");
  }
  return kExitOk;
}

}  // namespace sorvell::console
