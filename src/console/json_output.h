#pragma once

#include <string>
#include <vector>

#include "catalogue/device_table.h"
#include "operation/run_state.h"
#include "records/part_record.h"

namespace sorvell::console {

// The console's JSON documents, written with nlohmann::json: each a whole document and a newline.

// `list --json`: the entries shown, by list index.
std::string DeviceListJson(const std::vector<catalogue::DeviceRow>& devices,
                           const std::vector<int>& shown, const std::vector<std::string>& entries);

// `detect --json`: the board found, or null.
std::string DetectJson(bool found, int model, const std::string& port);

// `verify --report` and `blank --report`: the last whole compare, every difference and the
// diagnosis.
std::string CompareReportJson(const operation::RunState& run, const std::string& device);

// `history --json`: the records, newest first; what a record does not know is null.
std::string HistoryJson(const std::vector<records::PartRecord>& found);

}  // namespace sorvell::console
