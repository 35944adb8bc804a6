#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "production/serial_numbers.h"

namespace sorvell::production {

inline constexpr std::size_t kJobFileMaxBytes = 64 * 1024;
inline constexpr std::size_t kSerialListMaxBytes = 4 * 1024 * 1024;
inline constexpr int kMaxPartsInJob = 1'000'000;

enum class JobHalf { kBoth, kHi, kLo };
// Whether the part is read into a backup before it is burned: always, never, or only when it is
// not blank (a blank part holds nothing worth keeping).
enum class JobBackup { kAlways, kOff, kNotForBlank };

// Where each part's serial number goes and which numbers the run gives out.
struct SerialRule {
  std::int64_t address = 0;
  int length = 0;
  SerialEncoding encoding = SerialEncoding::kAsciiDecimal;
  std::uint64_t start = 0;
  std::uint64_t step = 1;
  // From a list file instead of counting: the numbers in their order.
  std::optional<std::vector<std::uint64_t>> list;
  // A failed part's number goes to the next part.
  bool reuseFailed = false;

  SerialSequence Sequence() const;
};

// A production run: one device, one image, the options, how many parts, and each part's serial.
struct Job {
  std::string name;
  std::string device;           // as the device list names it
  std::filesystem::path image;  // made absolute from the job file's folder
  std::string sha256;           // lower-case hex
  std::string vpp;              // "", "5", "12.5", "21" or "25": as the window shows it
  int speed = 0;                // 1 to 20; 0 leaves the slider as it is
  bool blankCheck = true;
  bool verify = true;
  JobHalf half = JobHalf::kBoth;
  JobBackup backup = JobBackup::kAlways;
  int count = 0;
  std::optional<SerialRule> serial;
};

struct JobFile {
  std::optional<Job> job;
  // Empty when the file was taken; else "PATH line N: REASON" and no job at all.
  std::string error;
};

// The job of a job file's text; `file` names it in a fault and places the image and the list.
JobFile ParseJobFile(std::string_view text, const std::filesystem::path& file);
// The job file at `file`: a regular file of at most kJobFileMaxBytes.
JobFile ReadJobFile(const std::filesystem::path& file);

}  // namespace sorvell::production
