#include "buffers/record_files.h"

#include <srecord/input/file/intel.h>
#include <srecord/output/file/intel.h>
#include <srecord/quit.h>
#include <srecord/record.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

// Debian's libsrecord-dev installs no headers for the Motorola S-record reader and writer, though
// the library holds both; their factories are all this file calls.
namespace srecord {
class input_file_motorola {
 public:
  static input_file::pointer create(const std::string& file_name);
};
class output_file_motorola {
 public:
  static output_file::pointer create(const std::string& file_name);
};
}  // namespace srecord

namespace sorvell::buffers {

namespace {

// The library reads and writes files by name. The text goes through a file in memory, so the
// caller alone decides which files are read (regular ones only) and how a save lands (atomically).
class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("sorvell-records", MFD_CLOEXEC)) {}
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() {
    if (fd_ >= 0) ::close(fd_);
  }

  bool Open(std::string& error) const {
    if (fd_ < 0) error = std::string("no scratch file in memory: ") + std::strerror(errno);
    return fd_ >= 0;
  }
  std::string Path() const { return "/proc/self/fd/" + std::to_string(fd_); }

  bool Write(std::string_view text, std::string& error) const {
    while (!text.empty()) {
      const ssize_t put = ::write(fd_, text.data(), text.size());
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return Failed("could not be written to memory", error);
      text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
  }

  bool ReadAll(std::string& text, std::string& error) const {
    text.clear();
    std::array<char, 64 * 1024> chunk{};
    for (off_t at = 0;;) {
      const ssize_t got = ::pread(fd_, chunk.data(), chunk.size(), at);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return Failed("could not be read back from memory", error);
      if (got == 0) return true;
      text.append(chunk.data(), static_cast<std::size_t>(got));
      at += got;
    }
  }

 private:
  static bool Failed(const char* what, std::string& error) {
    error = std::string("the records ") + what + ": " + std::strerror(errno);
    return false;
  }
  int fd_;
};

// The library's messages read "NAME: LINE: [warning: ]TEXT".
RecordError ParseMessage(std::string_view message, std::string_view name) {
  RecordError parsed;
  if (message.starts_with(name) && message.substr(name.size()).starts_with(": ")) {
    message.remove_prefix(name.size() + 2);
  }
  std::size_t digits = 0;
  while (digits < message.size() && message[digits] >= '0' && message[digits] <= '9') ++digits;
  if (digits > 0 && digits < 18 && message.substr(digits).starts_with(": ")) {
    parsed.line = std::stoll(std::string(message.substr(0, digits)));
    message.remove_prefix(digits + 2);
  }
  if (message.starts_with("warning: ")) message.remove_prefix(9);
  parsed.reason = message;
  return parsed;
}

// Warnings about what a file lacks or repeats without harm to its data.
bool Harmless(std::string_view reason) {
  for (const char* text :
       {"no header record", "redundant header record", "redundant termination record",
        "redundant execution start address record", "empty data record ignored"}) {
    if (reason == text) return true;
  }
  return false;
}

// The library's words where they would puzzle an operator.
std::string Explain(const std::string& reason, RecordFormat format) {
  const bool intel = format == RecordFormat::kIntelHex;
  if (reason == "ignoring garbage lines") {
    return intel ? "not an Intel HEX record" : "not an S-record";
  }
  if (reason == "no end-of-file record") {
    return "the file ends without its end-of-file record (:00000001FF): it may be cut short";
  }
  if (reason == "no execution start address record") {
    return "the file ends without its termination record (S7, S8 or S9): it may be cut short";
  }
  if (reason == "termination record should be last") return "a record follows the termination";
  return reason;
}

// Collects the reader's complaints instead of letting the library print them and end the
// program: the first one that is more than a harmless warning refuses the file.
class Complaints final : public srecord::quit {
 public:
  struct Stop {};

  Complaints(std::string name, RecordFormat format) : name_(std::move(name)), format_(format) {}

  bool Refused() const { return refused_; }
  const RecordError& Error() const { return error_; }

  void message_v(const char* format, va_list args) override {
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(text.size() - 1);
    RecordError parsed = ParseMessage(text, name_);
    if (refused_ || Harmless(parsed.reason)) return;
    parsed.reason = Explain(parsed.reason, format_);
    error_ = std::move(parsed);
    refused_ = true;
  }

  // A fatal error: the library does not expect to return from here.
  void exit(int) override { throw Stop{}; }

 private:
  std::string name_;
  RecordFormat format_;
  bool refused_ = false;
  RecordError error_;
};

std::int64_t LineOf(const srecord::input& in, std::string_view name) {
  return ParseMessage(in.filename_and_line() + ": ", name).line;
}

std::string Hex6(std::uint64_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "$%06llX", static_cast<unsigned long long>(address));
  return text;
}

// Copies one data record into the image; false when it reaches `limit`.
bool Place(const srecord::record& record, std::size_t limit, RecordImage& image, bool first) {
  const std::uint64_t start = record.get_address();
  const std::uint64_t end = start + record.get_length();
  if (end > limit) return false;
  if (image.bytes.size() < end) image.bytes.resize(end, 0xFF);
  std::copy_n(record.get_data(), record.get_length(), image.bytes.begin() + start);
  const auto last = static_cast<std::uint32_t>(end - 1);
  image.lowest = first ? record.get_address() : std::min(image.lowest, record.get_address());
  image.highest = first ? last : std::max(image.highest, last);
  return true;
}

}  // namespace

bool ReadRecords(std::string_view text, RecordFormat format, std::size_t limit,
                 std::string_view beyond, RecordImage& image, RecordError& error) {
  const MemoryFile file;
  if (!file.Open(error.reason) || !file.Write(text, error.reason)) return false;
  const std::string name = file.Path();
  Complaints complaints(name, format);
  RecordImage read;
  bool any = false;
  {
    const srecord::input::pointer in = format == RecordFormat::kIntelHex
                                           ? srecord::input_file_intel::create(name)
                                           : srecord::input_file_motorola::create(name);
    in->set_quit(complaints);
    srecord::record record;
    try {
      while (in->read(record) && !complaints.Refused()) {
        if (record.get_type() != srecord::record::type_data || record.get_length() == 0) continue;
        if (!Place(record, limit, read, !any)) {
          const std::uint64_t start = record.get_address();
          error = {LineOf(*in, name), "data at " + Hex6(start) + " to " +
                                          Hex6(start + record.get_length() - 1) + " lies beyond " +
                                          std::string(beyond)};
          return false;
        }
        any = true;
      }
    } catch (const Complaints::Stop&) {
    }
  }
  if (complaints.Refused()) {
    error = complaints.Error();
    return false;
  }
  if (!any) {
    error = {0, "holds no data records"};
    return false;
  }
  image = std::move(read);
  return true;
}

// The library reports a failed write of its own file by ending the program; in memory, with
// addresses far below 4 GB, there is none it could meet.
bool WriteRecords(std::span<const std::uint8_t> bytes, RecordFormat format, std::string& text,
                  std::string& error) {
  const MemoryFile file;
  if (!file.Open(error)) return false;
  {
    const bool intel = format == RecordFormat::kIntelHex;
    const srecord::output::pointer out = intel ? srecord::output_file_intel::create(file.Path())
                                               : srecord::output_file_motorola::create(file.Path());
    static constexpr std::uint8_t kHeader[] = {'s', 'o', 'r', 'v', 'e', 'l', 'l'};
    const srecord::record header(srecord::record::type_header, 0, kHeader, sizeof kHeader);
    out->write_header(&header);
    // Above 64 KB the S-records carry 24-bit addresses throughout (S2 data, S8 termination).
    if (!intel && bytes.size() > 0x10000) out->address_length_set(3);
    out->write_data(0, bytes.data(), bytes.size());
    // Intel HEX ends with its end-of-file record alone; S-records need their termination.
    if (!intel) {
      const srecord::record start(srecord::record::type_execution_start_address, 0);
      out->write_execution_start_address(&start);
    }
  }
  return file.ReadAll(text, error);
}

}  // namespace sorvell::buffers
