#include "records/part_record.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "common/plain_text.h"

namespace sorvell::records {

namespace {

std::string Hex(std::uint64_t value, int digits) {
  char text[20];
  std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value));
  return text;
}

// Digits where the pattern has 9, the pattern's own character elsewhere.
bool Fits(const std::string& text, const std::string& pattern) {
  if (text.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (pattern[i] == '9' ? !digit : text[i] != pattern[i]) return false;
  }
  return true;
}

}  // namespace

std::string OutcomeWord(panel::OutcomeKind kind) {
  switch (kind) {
    case panel::OutcomeKind::kDone:
      return "done";
    case panel::OutcomeKind::kNotDone:
      return "not-done";
    case panel::OutcomeKind::kDeviceError:
      return "failed";
    case panel::OutcomeKind::kStopped:
      return "stopped";
  }
  return "not-done";
}

bool Mentions(const PartRecord& record, const std::string& text) {
  const std::string wanted = common::LowerCase(text);
  for (const std::string* field : {&record.device, &record.operation, &record.outcome, &record.job,
                                   &record.serial, &record.imageName}) {
    if (common::LowerCase(*field).find(wanted) != std::string::npos) return true;
  }
  return false;
}

std::vector<std::string> TableLines(const std::vector<PartRecord>& records) {
  constexpr const char* kRow = "%6s  %-19s  %-12s  %-14s  %-8s  %-12s  %4s  %8s  %8s  %s";
  char line[512];
  std::vector<std::string> lines;
  std::snprintf(line, sizeof line, kRow, "ID", "Time", "Device", "Operation", "Outcome",
                "Job/Serial", "Sum", "CRC-32", "Fails at", "Image");
  lines.emplace_back(line);
  for (const PartRecord& r : records) {
    std::string part = r.job.empty() ? r.serial : r.job + "#" + std::to_string(r.partNumber);
    if (!r.job.empty() && !r.serial.empty()) part += " " + r.serial;
    std::snprintf(line, sizeof line, kRow, std::to_string(r.id).c_str(), r.time.c_str(),
                  r.device.c_str(), r.operation.c_str(), r.outcome.c_str(), part.c_str(),
                  r.partSum16 ? Hex(*r.partSum16, 4).c_str() : "-",
                  r.partCrc32 ? Hex(*r.partCrc32, 8).c_str() : "-",
                  r.failingAddress
                      ? (Hex(static_cast<std::uint64_t>(*r.failingAddress), 5) + "h").c_str()
                      : "-",
                  r.imageName.c_str());
    lines.emplace_back(line);
  }
  return lines;
}

std::string RecordTime(const std::string& text) {
  std::string time = text;
  if (time.size() > 10 && time[10] == 'T') time[10] = ' ';
  for (const char* pattern : {"9999-99-99", "9999-99-99 99:99", "9999-99-99 99:99:99"}) {
    if (Fits(time, pattern)) return time;
  }
  return {};
}

}  // namespace sorvell::records
