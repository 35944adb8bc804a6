// Arranging an image before a burn: files placed at offsets, ranges saved and filled, the part
// filled out with FFh, byte swaps, the two ROMs of a 16-bit bus, copies to fill a larger part,
// and a compare with a file.
#include <algorithm>

#include "buffers/image_formats.h"
#include "diagnosis/diagnosis.h"
#include "diagnosis/difference.h"
#include "workbench/workbench.h"

namespace sorvell::workbench {

namespace {

std::string Hex2(std::uint32_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[(byte >> 4) & 0xF], kDigits[byte & 0xF], 'h'};
}

std::string RangeWords(std::uint32_t first, std::size_t count) {
  return AddressText(first) + " to " + AddressText(first + static_cast<std::uint32_t>(count) - 1);
}

}  // namespace

// The file's bytes from address 0; a record file's reach its last data address.
std::optional<buffers::CodeImage> Workbench::ReadFile(const std::string& title, std::string& name) {
  const auto file = panel_.dialogs.File({false, title, buffers::kCodeFileFilter, ""});
  if (!file) {
    Cancelled(title);
    return std::nullopt;
  }
  buffers::CodeImage image;
  std::string error;
  if (!buffers::ReadCodeImage(*file, std::nullopt, {static_cast<std::size_t>(Reach()), ""}, image,
                              error)) {
    Refuse(title, error);
    return std::nullopt;
  }
  name = file->string();
  return image;
}

bool Workbench::WriteFile(const std::string& title, std::span<const std::uint8_t> bytes,
                          std::string& written) {
  const auto file = panel_.dialogs.File({true, title, buffers::kCodeFileFilter, ""});
  if (!file) {
    Cancelled(title);
    return false;
  }
  const auto format = buffers::FormatFromExtension(*file).value_or(buffers::ImageFormat::kBinary);
  std::string error;
  if (!buffers::WriteCodeImage(*file, format, bytes, error)) {
    panel_.AddLog(title + ": " + file->string() + " was NOT written: " + error);
    panel_.ReportNotDone(panel::NotDoneReason::kFileNotSaved,
                         file->string() + " was NOT written: " + error);
    return false;
  }
  written = file->string();
  return true;
}

void Workbench::mnuImageLoadAt_Click() {
  std::string name;
  const auto image = ReadFile("Load File at Offset", name);
  if (!image) return;
  // A record file names where its data goes: the offset moves it from there, and the addresses
  // below its first record keep what the buffer holds.
  const std::uint32_t first = image->format == buffers::ImageFormat::kBinary ? 0 : image->lowest;
  const auto bytes = std::span(image->bytes).subspan(first);
  const auto text = Ask("Offset (hex) where " + name + " goes:", "Load File at Offset", "0");
  if (!text) return Cancelled("Load File at Offset");
  const auto offset = ParseAddress(*text);
  if (!offset || *offset + first + bytes.size() > static_cast<std::size_t>(Reach())) {
    return Refuse("Load File at Offset",
                  "the " + std::to_string(bytes.size()) + " bytes of " + name + " at \"" + *text +
                      "\" do not fit in the " + std::to_string(Reach()) + " bytes of the " +
                      (device_.DeviceFamily.empty() ? "buffer" : device_.DeviceName));
  }
  Change(name + " placed at " + RangeWords(*offset + first, bytes.size()),
         static_cast<std::int32_t>(*offset + first), bytes);
}

void Workbench::mnuImageSaveRange_Click() {
  const auto image = Image("Save Range");
  if (!image) return;
  const auto text = Ask("Range to save (hex, first-last):", "Save Range",
                        "0-" + AddressText(static_cast<std::uint32_t>(image->size()) - 1));
  if (!text) return Cancelled("Save Range");
  const auto range = ParseRange(*text);
  if (!range || range->last >= image->size()) {
    return Refuse("Save Range", "\"" + *text + "\" is not a range inside the image (0 to " +
                                    AddressText(static_cast<std::uint32_t>(image->size()) - 1) +
                                    ")");
  }
  std::string written;
  if (!WriteFile("Save Range As...", image->subspan(range->first, range->Size()), written)) return;
  const std::string line =
      "Bytes " + RangeWords(range->first, range->Size()) + " saved to " + written;
  panel_.AddLog(line);
  panel_.ReportDone(line);
}

void Workbench::mnuImageFill_Click() {
  const auto text = Ask("Range and byte (hex), e.g. 0-3FFF FF:", "Fill Range", "");
  if (!text) return Cancelled("Fill Range");
  const auto blank = text->find_last_of(' ');
  const auto range = blank == std::string::npos ? std::nullopt : ParseRange(text->substr(0, blank));
  const auto byte = blank == std::string::npos ? std::nullopt : ParseAddress(text->substr(blank));
  if (!range || !byte || *byte > 0xFF || range->last >= static_cast<std::uint32_t>(Reach())) {
    return Refuse("Fill Range", "\"" + *text + "\" is not a range below " +
                                    AddressText(static_cast<std::uint32_t>(Reach())) +
                                    " and a byte");
  }
  const Bytes fill(range->Size(), static_cast<std::uint8_t>(*byte));
  Change(RangeWords(range->first, range->Size()) + " filled with " + Hex2(*byte),
         static_cast<std::int32_t>(range->first), fill);
}

void Workbench::mnuImagePad_Click() {
  if (!Image("Pad with FFh")) return;
  if (device_.DeviceFamily.empty() || buffers_.CodeImageSize >= device_.DeviceBytes) {
    return Refuse("Pad with FFh", "the image does not end before the part does");
  }
  const std::size_t rest = static_cast<std::size_t>(device_.DeviceBytes - buffers_.CodeImageSize);
  Change("The rest of the part, " +
             RangeWords(static_cast<std::uint32_t>(buffers_.CodeImageSize), rest) +
             ", filled with FFh",
         buffers_.CodeImageSize, Bytes(rest, 0xFF));
}

void Workbench::mnuImageSwap_Click() {
  const auto image = Image("Swap Bytes");
  if (!image) return;
  Bytes swapped(image->begin(), image->end());
  SwapBytes(swapped);
  Change("The bytes of each 16-bit word swapped" +
             std::string(swapped.size() % 2 != 0 ? " (the odd last byte stays)" : ""),
         0, swapped);
}

void Workbench::mnuImageSplit_Click() {
  const auto image = Image("Split");
  if (!image) return;
  const Halves halves = SplitEvenOdd(*image);
  std::string even, odd;
  if (!WriteFile("Save the Even Bytes (D0-D7) As...", halves.even, even)) return;
  if (!WriteFile("Save the Odd Bytes (D8-D15) As...", halves.odd, odd)) {
    panel_.AddLog("Only the even bytes were saved, to " + even);
    return;
  }
  const std::string line = "Even bytes saved to " + even + ", odd bytes to " + odd + " (" +
                           std::to_string(halves.even.size()) + " and " +
                           std::to_string(halves.odd.size()) + " bytes)";
  panel_.AddLog(line);
  panel_.ReportDone(line);
}

void Workbench::mnuImageInterleave_Click() {
  std::string evenName, oddName, error;
  const auto even = ReadFile("Open the Even Bytes (D0-D7)", evenName);
  if (!even) return;
  const auto odd = ReadFile("Open the Odd Bytes (D8-D15)", oddName);
  if (!odd) return;
  const Bytes image = Interleave(even->bytes, odd->bytes, error);
  if (image.empty()) return Refuse("Interleave", error);
  if (image.size() > static_cast<std::size_t>(Reach())) {
    return Refuse("Interleave", "the " + std::to_string(image.size()) +
                                    " bytes do not fit in the " + std::to_string(Reach()) +
                                    " bytes of the " +
                                    (device_.DeviceFamily.empty() ? "buffer" : device_.DeviceName));
  }
  // A new image: Save Code must not write it over the file that was loaded before.
  buffers_.CodeFileName.clear();
  editor_.Replace(evenName + " and " + oddName + " interleaved", 0, image,
                  static_cast<std::int32_t>(image.size()));
  ShowChange(evenName + " and " + oddName + " interleaved into " + std::to_string(image.size()) +
             " bytes");
}

void Workbench::mnuImageRepeat_Click() {
  const auto image = Image("Repeat");
  if (!image) return;
  std::string error;
  const Bytes copies = device_.DeviceFamily.empty()
                           ? Bytes{}
                           : RepeatTo(*image, static_cast<std::size_t>(device_.DeviceBytes), error);
  if (copies.empty()) {
    return Refuse("Repeat", device_.DeviceFamily.empty() ? "select the part to fill first" : error);
  }
  Change("The image repeated " + std::to_string(copies.size() / image->size()) +
             " times to fill the " + device_.DeviceName,
         0, copies);
}

void Workbench::mnuImageCompare_Click() {
  const auto image = Image("Compare");
  if (!image) return;
  std::string name;
  const auto file = ReadFile("Compare the Code Buffer with", name);
  if (!file) return;
  const Bytes& wanted = file->bytes;
  const diagnosis::Difference difference = diagnosis::Compare(wanted, *image);
  buffers_.DifferingAddresses.clear();
  for (const auto& byte : difference.bytes) buffers_.DifferingAddresses.push_back(byte.address);
  view_.MarkDifferences();
  std::string line = "Buffer and " + name + ": ";
  line += difference.Any()
              ? std::to_string(difference.Count()) + " of " + std::to_string(difference.compared) +
                    " bytes differ, the first at " +
                    AddressText(static_cast<std::uint32_t>(difference.bytes[0].address))
              : "the same over " + std::to_string(difference.compared) + " bytes";
  if (wanted.size() != image->size()) {
    line += " (the file holds " + std::to_string(wanted.size()) + " bytes, the image " +
            std::to_string(image->size()) + ")";
  }
  panel_.AddLog(line);
  if (difference.Any()) {
    for (const std::string& summary : diagnosis::SummaryLines(difference)) panel_.AddLog(summary);
    const auto findings =
        diagnosis::Diagnose(difference, wanted, *image, diagnosis::Check::kVerify);
    for (const std::string& finding : diagnosis::FindingLines(findings)) panel_.AddLog(finding);
  }
  panel_.ReportDone(line);
}

}  // namespace sorvell::workbench
