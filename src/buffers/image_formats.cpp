#include "buffers/image_formats.h"

#include <cctype>

#include "buffers/buffers.h"
#include "buffers/record_files.h"
#include "common/atomic_file.h"
#include "common/plain_text.h"
#include "common/read_file.h"

namespace sorvell::buffers {

namespace {

// A full 2 MB image takes under 6 MB as Intel HEX with 16-byte records; 64 MB leaves room for
// one-byte records and long line ends without reading a file of any size.
constexpr std::size_t kMaxRecordFile = 64 * 1024 * 1024;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes that pairs of hex digits spell; none when anything else is there.
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view digits) {
  if (digits.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexValue(digits[i]);
    const int low = HexValue(digits[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
  }
  return bytes;
}

unsigned Sum(const std::vector<std::uint8_t>& bytes) {
  unsigned sum = 0;
  for (const std::uint8_t b : bytes) sum += b;
  return sum & 0xFF;
}

// ":LLAAAATT<data>CC": length, address, type, data, and a checksum that brings the sum to 0.
bool IsIntelRecord(std::string_view line) {
  if (!line.starts_with(':')) return false;
  const auto bytes = HexBytes(line.substr(1));
  return bytes && bytes->size() >= 5 && bytes->size() == (*bytes)[0] + 5u && Sum(*bytes) == 0;
}

// "SnLL<address><data>CC": the count covers address, data and checksum; all sum to FFh.
bool IsSRecord(std::string_view line) {
  if (line.size() < 2 || line[0] != 'S' || !std::isdigit(static_cast<unsigned char>(line[1]))) {
    return false;
  }
  const auto bytes = HexBytes(line.substr(2));
  return bytes && bytes->size() >= 4 && bytes->size() == (*bytes)[0] + 1u && Sum(*bytes) == 0xFF;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view FirstLine(std::string_view contents) {
  std::size_t start = 0;
  while (start < contents.size() && IsBlank(contents[start])) ++start;
  contents.remove_prefix(start);
  std::string_view line = contents.substr(0, contents.find('\n'));
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  return line;
}

RecordFormat AsRecordFormat(ImageFormat format) {
  return format == ImageFormat::kIntelHex ? RecordFormat::kIntelHex : RecordFormat::kSRecord;
}

std::string BeyondText(const ImageLimit& limit) {
  const std::string bytes = std::to_string(limit.bytes) + " bytes of the ";
  return "the " + bytes + (limit.part.empty() ? std::string("code buffer") : limit.part);
}

bool ReadRecordImage(const std::filesystem::path& file, std::string_view contents,
                     ImageFormat format, const ImageLimit& limit, CodeImage& image,
                     std::string& error) {
  RecordImage records;
  RecordError bad;
  if (!ReadRecords(contents, AsRecordFormat(format), limit.bytes, BeyondText(limit), records,
                   bad)) {
    const std::string where = bad.line > 0 ? ", line " + std::to_string(bad.line) + ":" : "";
    error = file.string() + " (" + FormatName(format) + ")" + where + " " + bad.reason;
    return false;
  }
  // A selected part is described whole: what the file leaves out stays erased.
  if (!limit.part.empty() && records.bytes.size() < limit.bytes) {
    records.bytes.resize(limit.bytes, 0xFF);
  }
  image = {std::move(records.bytes), format, records.lowest, records.highest};
  return true;
}

}  // namespace

const char* FormatName(ImageFormat format) {
  switch (format) {
    case ImageFormat::kIntelHex:
      return "Intel HEX";
    case ImageFormat::kSRecord:
      return "Motorola S-record";
    case ImageFormat::kBinary:
      break;
  }
  return "binary";
}

std::optional<ImageFormat> FormatFromWord(std::string_view word) {
  const std::string lower = common::LowerCase(word);
  for (const char* name : {"bin", "binary", "raw"}) {
    if (lower == name) return ImageFormat::kBinary;
  }
  for (const char* name : {"hex", "ihex", "ihx", "intel"}) {
    if (lower == name) return ImageFormat::kIntelHex;
  }
  for (const char* name : {"srec", "s19", "s28", "s37", "mot", "motorola"}) {
    if (lower == name) return ImageFormat::kSRecord;
  }
  return std::nullopt;
}

std::optional<ImageFormat> FormatFromExtension(const std::filesystem::path& file) {
  const std::string extension = common::LowerCase(file.extension().string());
  for (const char* name : {".hex", ".ihx", ".ihex"}) {
    if (extension == name) return ImageFormat::kIntelHex;
  }
  for (const char* name : {".s19", ".s28", ".s37", ".srec", ".mot"}) {
    if (extension == name) return ImageFormat::kSRecord;
  }
  if (extension == ".bin") return ImageFormat::kBinary;
  return std::nullopt;
}

std::optional<ImageFormat> FormatFromContent(std::string_view contents) {
  const std::string_view line = FirstLine(contents);
  if (IsIntelRecord(line)) return ImageFormat::kIntelHex;
  if (IsSRecord(line)) return ImageFormat::kSRecord;
  return std::nullopt;
}

ImageFormat ChooseFormat(std::optional<ImageFormat> given, const std::filesystem::path& file,
                         std::string_view contents) {
  if (given) return *given;
  if (const auto shown = FormatFromContent(contents)) return *shown;
  return FormatFromExtension(file).value_or(ImageFormat::kBinary);
}

bool ReadCodeImage(const std::filesystem::path& file, std::optional<ImageFormat> given,
                   const ImageLimit& limit, CodeImage& image, std::string& error) {
  std::string contents;
  std::string reason;
  if (!common::ReadRegularFile(file, kMaxRecordFile, contents, reason)) {
    error = FileError(file, reason);
    return false;
  }
  const ImageFormat format = ChooseFormat(given, file, contents);
  if (format != ImageFormat::kBinary) {
    return ReadRecordImage(file, contents, format, limit, image, error);
  }
  if (contents.size() > kCodeBufferSize) {
    error = FileError(file, "larger than " + std::to_string(kCodeBufferSize) + " bytes");
    return false;
  }
  image = {std::vector<std::uint8_t>(contents.begin(), contents.end()), format, 0, 0};
  return true;
}

bool WriteCodeImage(const std::filesystem::path& file, ImageFormat format,
                    std::span<const std::uint8_t> bytes, std::string& error) {
  if (format == ImageFormat::kBinary) {
    const std::string_view plain(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return common::WriteFileAtomically(file, plain, error);
  }
  std::string text;
  if (!WriteRecords(bytes, AsRecordFormat(format), text, error)) {
    error = file.string() + ": " + error;
    return false;
  }
  return common::WriteFileAtomically(file, text, error);
}

}  // namespace sorvell::buffers
