#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "records/part_record.h"

namespace sorvell::records {

inline constexpr const char* kRecordFileName = "records.sqlite";

// Which records a query returns: every field given must match (the device by the list's whole
// entry or its chip name alone, any letter case), newest first, at most `limit`
// (0: all). `since` and `until` are record times and take a part of the day for the whole of it:
// until "2024-05-01" holds that day's records.
struct RecordFilter {
  std::string device;
  std::string job;
  std::string serial;
  std::string outcome;
  std::string since;
  std::string until;
  int limit = 0;
};

// The record of every part, in <data folder>/records.sqlite. Each call opens the file and closes
// it again, so another program (a second window, `sorvell-cli history`) may read it between two
// operations. Nothing here throws: every fault (a damaged file, a lock held too long, a full disk,
// a folder that cannot be written) comes back as the reason in `error`.
class RecordStore {
 public:
  explicit RecordStore(std::filesystem::path dataFolder);

  std::filesystem::path File() const { return file_; }

  // Writes the record whole, or nothing of it; gives it its id.
  bool Add(PartRecord& record, std::string& error);
  // No file yet is no records, not a fault.
  bool Find(const RecordFilter& filter, std::vector<PartRecord>& records, std::string& error);
  // The record with this id; nullopt with an empty `error` when there is none.
  std::optional<PartRecord> Get(std::int64_t id, std::string& error);

 private:
  std::filesystem::path folder_;
  std::filesystem::path file_;
};

}  // namespace sorvell::records
