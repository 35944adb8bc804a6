// Record files come from compilers, other programmers and the network: whatever their text, the
// reader returns an image within its limit or refuses with a reason, leaving the image alone;
// an image it returns survives being written and read again.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "buffers/image_formats.h"
#include "buffers/record_files.h"

namespace sorvell::fuzz {

// The first two bytes choose the limit (1 to 65536 bytes), the rest is the file.
inline int FuzzRecords(const std::uint8_t* data, std::size_t size, buffers::RecordFormat format) {
  using namespace sorvell::buffers;
  if (size < 2) return 0;
  const std::size_t limit = (data[0] | data[1] << 8) + std::size_t{1};
  const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
  (void)FormatFromContent(text);

  RecordImage image{{7}, 1, 2};
  RecordError error;
  if (!ReadRecords(text, format, limit, "the part", image, error)) {
    if (error.reason.empty() || error.line < 0) std::abort();
    if (image.bytes.size() != 1 || image.bytes[0] != 7 || image.lowest != 1) std::abort();
    return 0;
  }
  if (image.bytes.empty() || image.bytes.size() > limit) std::abort();
  if (image.lowest > image.highest || image.highest + std::size_t{1} != image.bytes.size()) {
    std::abort();
  }
  std::string written;
  std::string reason;
  if (!WriteRecords(image.bytes, format, written, reason)) std::abort();
  RecordImage again;
  if (!ReadRecords(written, format, limit, "the part", again, error)) std::abort();
  if (again.bytes != image.bytes) std::abort();
  return 0;
}

}  // namespace sorvell::fuzz
