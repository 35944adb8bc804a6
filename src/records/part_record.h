#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "panel/outcome.h"

namespace sorvell::records {

// What one operation did to one part: enough to answer, long after, what went into which part,
// from which image, and how it ended.
struct PartRecord {
  std::int64_t id = 0;  // given by the store
  // The operator's local time, "2024-05-01 14:03:22": text sorts as time does.
  std::string time;
  std::string programVersion;
  int boardModel = 0;
  std::string port;  // "378h"
  std::string device;
  std::string operation;  // Read, Blank Check, Program, Verify, Erase, Identification
  std::string imageName;
  std::string imageSha256;
  // What the part holds after the run, as far as the run knows; empty when it does not.
  std::optional<std::uint16_t> partSum16;
  std::optional<std::uint32_t> partCrc32;
  std::string job;
  int partNumber = 0;
  std::string serial;
  std::string outcome;  // done, failed, not-done, stopped
  std::string reason;   // why it was not done: cancelled, refused...; empty when done or failed
  std::string detail;   // the outcome's words, as the log has them
  std::optional<std::int64_t> failingAddress;
  std::uint64_t durationNs = 0;
  std::string backupFile;

  bool operator==(const PartRecord&) const = default;
};

// The outcome's word in a record and in `history --outcome`.
std::string OutcomeWord(panel::OutcomeKind kind);

// The part of a record the operator's filter box looks in: device, operation, outcome, job,
// serial and image, without regard to case.
bool Mentions(const PartRecord& record, const std::string& text);

// The records as a table for a terminal or a dialog: a heading and one line each.
std::vector<std::string> TableLines(const std::vector<PartRecord>& records);

// "2024-05-01", "2024-05-01 14:03" or "2024-05-01 14:03:22" (a T may stand for the blank):
// the time as records keep it, or empty when it is none of these.
std::string RecordTime(const std::string& text);

}  // namespace sorvell::records
