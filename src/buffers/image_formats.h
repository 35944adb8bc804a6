#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvell::buffers {

// How a code file holds its bytes: the plain image, or records with addresses and checksums.
enum class ImageFormat { kBinary, kIntelHex, kSRecord };

// The file dialogs' filter for code files: every file, then each format by its usual extensions.
inline constexpr const char* kCodeFileFilter =
    "All Files (*.*)|*.*|Binary (*.bin)|*.bin|Intel HEX (*.hex *.ihx *.ihex)|*.hex;*.ihx;*.ihex|"
    "Motorola S-record (*.s19 *.s28 *.s37 *.srec *.mot)|*.s19;*.s28;*.s37;*.srec;*.mot";

// "binary", "Intel HEX", "Motorola S-record".
const char* FormatName(ImageFormat format);

// A format named by a word such as a command line takes: bin, binary, hex, ihex, intel, srec,
// s19, s28, s37, mot, motorola (any case); none for other words.
std::optional<ImageFormat> FormatFromWord(std::string_view word);

// The format the file name's extension stands for; none for other extensions.
std::optional<ImageFormat> FormatFromExtension(const std::filesystem::path& file);

// The format whose record the file's first line (after blank lines) is, checksum and all; none
// when it is neither.
std::optional<ImageFormat> FormatFromContent(std::string_view contents);

// A format given wins; then what the contents show; then the extension; else a plain image.
ImageFormat ChooseFormat(std::optional<ImageFormat> given, const std::filesystem::path& file,
                         std::string_view contents);

// Where a record file's data may lie: below `bytes`, the size of the selected part (named by
// `part`) or, with no part selected (`part` empty), of the code buffer.
struct ImageLimit {
  std::size_t bytes = 0;
  std::string part;
};

struct CodeImage {
  std::vector<std::uint8_t> bytes;
  ImageFormat format = ImageFormat::kBinary;
  // Record files only: the first and last address their data covers.
  std::uint32_t lowest = 0;
  std::uint32_t highest = 0;
};

// Reads a code file of any format (`given`, or chosen as ChooseFormat does). A plain image is the
// file's bytes (1 to the code buffer's size). A record file gives the bytes of the whole part,
// or up to its last data address when no part is selected, every address without data at FFh.
// False with `error` naming the file and why (with the line of a bad record), `image` untouched.
bool ReadCodeImage(const std::filesystem::path& file, std::optional<ImageFormat> given,
                   const ImageLimit& limit, CodeImage& image, std::string& error);

// Writes `bytes` (from address 0) to `file` in `format`, atomically. False with `error` set.
bool WriteCodeImage(const std::filesystem::path& file, ImageFormat format,
                    std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace sorvell::buffers
