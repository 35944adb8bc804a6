#include "console/json_output.h"

#include <nlohmann/json.hpp>

#include "console/device_names.h"

namespace sorvell::console {

namespace {

using Json = nlohmann::ordered_json;

std::string Document(const Json& json) {
  return json.dump(1) + "\n";
}

template <typename T>
Json OrNull(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

}  // namespace

std::string HistoryJson(const std::vector<records::PartRecord>& found) {
  Json list = Json::array();
  for (const records::PartRecord& r : found) {
    Json job = nullptr;
    if (!r.job.empty()) job = {{"name", r.job}, {"part", r.partNumber}};
    list.push_back({{"id", r.id},
                    {"time", r.time},
                    {"programVersion", r.programVersion},
                    {"board", {{"model", r.boardModel}, {"port", r.port}}},
                    {"device", r.device},
                    {"operation", r.operation},
                    {"image", {{"name", r.imageName}, {"sha256", r.imageSha256}}},
                    {"partSum16", OrNull(r.partSum16)},
                    {"partCrc32", OrNull(r.partCrc32)},
                    {"job", job},
                    {"serial", r.serial},
                    {"outcome", r.outcome},
                    {"reason", r.reason},
                    {"detail", r.detail},
                    {"failingAddress", OrNull(r.failingAddress)},
                    {"durationNs", r.durationNs},
                    {"backupFile", r.backupFile}});
  }
  return Document(list);
}

std::string DeviceListJson(const std::vector<catalogue::DeviceRow>& devices,
                           const std::vector<int>& shown, const std::vector<std::string>& entries) {
  Json list = Json::array();
  for (const int index : shown) {
    const catalogue::DeviceRow& row = devices[static_cast<std::size_t>(index - 1)];
    list.push_back(
        {{"index", index},
         {"name", row.name},
         {"sizeKB", row.SizeKB()},
         {"bytes", row.sizeBytes},
         {"selectable", catalogue::SelectableEntry(entries[static_cast<std::size_t>(index)])},
         {"own", row.origin == catalogue::RowOrigin::kOperator}});
  }
  return Document(list);
}

std::string DetectJson(bool found, int model, const std::string& port) {
  Json board = nullptr;
  if (found) board = {{"model", model}, {"port", port}};
  return Document({{"board", board}});
}

std::string CompareReportJson(const operation::RunState& run, const std::string& device) {
  const diagnosis::Difference& d = run.LastDifference;
  Json report = {{"operation", run.LastCompare},
                 {"device", device},
                 {"compared", d.compared},
                 {"differences", d.Count()},
                 {"matches", !d.Any()}};
  if (d.Any()) {
    report["first"] = d.bytes.front().address;
    report["last"] = d.bytes.back().address;
  }
  Json ranges = Json::array();
  for (const diagnosis::AddressRange& range : d.Ranges()) {
    ranges.push_back({{"first", range.first}, {"last", range.last}});
  }
  report["ranges"] = ranges;
  Json lines = Json::array();
  for (int line = 0; line < 8; ++line) {
    const diagnosis::LineTally& tally = d.lines[static_cast<std::size_t>(line)];
    lines.push_back({{"line", "D" + std::to_string(line)},
                     {"read0where1", tally.readLow},
                     {"read1where0", tally.readHigh}});
  }
  report["dataLines"] = lines;
  Json findings = Json::array();
  for (const diagnosis::Finding& finding : run.LastFindings) {
    findings.push_back(
        {{"certainty", diagnosis::CertaintyWord(finding.certainty)}, {"cause", finding.cause}});
  }
  report["diagnosis"] = findings;
  Json bytes = Json::array();
  for (const diagnosis::ByteDifference& b : d.bytes) {
    bytes.push_back({{"address", b.address}, {"wanted", b.wanted}, {"read", b.read}});
  }
  report["bytes"] = bytes;
  return Document(report);
}

}  // namespace sorvell::console
