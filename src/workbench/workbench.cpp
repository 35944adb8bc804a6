#include "workbench/workbench.h"

#include <algorithm>

#include "panel/window_layouts.h"

namespace sorvell::workbench {

namespace {

constexpr std::int32_t kPageBytes = 256;
constexpr std::int32_t kLargestPart = 1 << 20;

// What the operator typed, quoted once.
std::string Shown(const std::string& pattern) {
  return pattern.starts_with('"') ? pattern : "\"" + pattern + "\"";
}

}  // namespace

Workbench::Workbench(buffers::Buffers& buffers, buffers::ImageEditor& editor,
                     buffers::ImageFiles& images, buffers::BufferView& view,
                     catalogue::Selection& device, panel::Panel& panel)
    : buffers_(buffers),
      editor_(editor),
      images_(images),
      view_(view),
      device_(device),
      panel_(panel) {}

std::int32_t Workbench::Extent() const {
  const std::int32_t part = device_.DeviceFamily.empty() ? 0 : device_.DeviceBytes;
  return std::max(buffers_.CodeImageSize, part);
}

std::int32_t Workbench::Reach() const {
  return device_.DeviceFamily.empty() ? kLargestPart : device_.DeviceBytes;
}

void Workbench::mnuImageUndo_Click() {
  ShowStep(editor_.Undo(), "Undone: ", "Nothing to undo");
}

void Workbench::mnuImageRedo_Click() {
  ShowStep(editor_.Redo(), "Redone: ", "Nothing to redo");
}

void Workbench::ShowStep(const std::optional<std::string>& step, const char* done,
                         const char* none) {
  if (step) return ShowChange(done + *step);
  panel_.AddLog(none);
  panel_.ReportNotDone(panel::NotDoneReason::kRefused, none);
}

void Workbench::mnuImageGoTo_Click() {
  const auto text = Ask("Address (hex, e.g. 1FF0):", "Go To Address",
                        AddressText(static_cast<std::uint32_t>(buffers_.CursorAddress)));
  if (!text) return Cancelled("Go To Address");
  const auto address = ParseAddress(*text);
  if (!address || *address >= static_cast<std::uint32_t>(std::max(Extent(), 1))) {
    return Refuse("Go To Address",
                  "\"" + *text + "\" is not an address of the image (0 to " +
                      AddressText(static_cast<std::uint32_t>(std::max(Extent(), 1) - 1)) + ")");
  }
  MoveCursor(static_cast<std::int32_t>(*address));
  panel_.ReportDone("Showing " + AddressText(*address));
}

void Workbench::mnuImageFind_Click() {
  const auto text = Ask("Find hex bytes (A9 00 8D) or text (\"READY\"):", "Find", lastFindText_);
  if (!text) return Cancelled("Find");
  const auto pattern = ParseBytes(*text);
  if (!pattern) return Refuse("Find", Shown(*text) + " is neither hex bytes nor a text");
  lastFind_ = *pattern;
  lastFindText_ = *text;
  FindFrom(buffers_.CursorAddress);
}

void Workbench::mnuImageFindNext_Click() {
  if (lastFind_.empty()) return mnuImageFind_Click();
  FindFrom(buffers_.CursorAddress + 1);
}

// From `from` to the end, then from the start: a find never misses what lies above the cursor.
void Workbench::FindFrom(std::int32_t from) {
  const std::span<const std::uint8_t> image =
      std::span(buffers_.CodeBuffer).first(static_cast<std::size_t>(Extent()));
  auto found = Find(image, lastFind_, static_cast<std::size_t>(from), true);
  const bool wrapped = !found && from > 0;
  if (wrapped) found = Find(image, lastFind_, 0, true);
  if (!found) {
    const std::string line = Shown(lastFindText_) + " was not found in the image";
    panel_.AddLog(line);
    panel_.ReportDone(line);
    return;
  }
  MoveCursor(static_cast<std::int32_t>(*found));
  const std::string line = Shown(lastFindText_) + " found at " +
                           AddressText(static_cast<std::uint32_t>(*found)) +
                           (wrapped ? " (searched on from the start)" : "");
  panel_.AddLog(line);
  panel_.ReportDone(line);
}

void Workbench::mnuImageChangeBytes_Click() {
  const auto text =
      Ask("Address and bytes (hex), e.g. 1FF0: A9 00 8D or 1FF0: \"TEXT\":", "Change Bytes", "");
  if (!text) return Cancelled("Change Bytes");
  const auto colon = text->find(':');
  const auto address = ParseAddress(text->substr(0, colon));
  const auto bytes =
      colon == std::string::npos ? std::nullopt : ParseBytes(text->substr(colon + 1));
  if (!address || !bytes) {
    return Refuse("Change Bytes", Shown(*text) + " is not an address, a colon and bytes");
  }
  TypeBytes(static_cast<std::int32_t>(*address), *bytes);
}

void Workbench::TypeBytes(std::int32_t address, std::span<const std::uint8_t> bytes) {
  const std::int64_t end = std::int64_t{address} + static_cast<std::int64_t>(bytes.size());
  if (address < 0 || bytes.empty() || end > Reach()) {
    return Refuse("Change Bytes",
                  "the bytes would reach past the end of the " +
                      (device_.DeviceFamily.empty() ? std::string("buffer") : device_.DeviceName) +
                      " (" + std::to_string(Reach()) + " bytes)");
  }
  Change(std::to_string(bytes.size()) + " byte(s) changed at " +
             AddressText(static_cast<std::uint32_t>(address)),
         address, bytes);
  MoveCursor(address);
}

void Workbench::Change(const std::string& what, std::int32_t start,
                       std::span<const std::uint8_t> bytes) {
  editor_.Replace(what, start, bytes);
  ShowChange(what);
}

void Workbench::ShowChange(const std::string& logLine) {
  panel::Form& form = panel_.frmMain;
  buffers_.CodeBufferLoaded = 1;
  images_.EnableLoadedBufferControls();
  for (const char* n : {"mnuFileSaveCode", "mnuFileSaveCodeAs", "menuEraseCode", "Erase_button"}) {
    form[n].SetEnabled(true);
  }
  panel::ToolbarButton(form, 2).SetEnabled(true);
  images_.ShowChangedMark();
  // Saving and the whole-part loops take the image's size, as after loading a file of it.
  device_.DeviceSize = buffers_.CodeImageSize > 0 ? buffers_.CodeImageSize : device_.DeviceBytes;
  form["FileNameCodeSize"].SetCaption("(" + std::to_string(device_.DeviceSize) + ")");
  const std::int32_t pages = std::max(Extent(), kPageBytes) / kPageBytes - 1;
  form["VScroll1"].SetRange(0, std::max(pages, form["VScroll1"].Maximum()));
  view_.DisplayPageMemory();
  const std::string line = logLine + ", Buffer CRC = $" + buffers_.FileCRCText;
  panel_.AddLog(line);
  panel_.ReportDone(line);
}

void Workbench::MoveCursor(std::int32_t address) {
  buffers_.CursorAddress = address;
  ++buffers_.CursorMoves;
  panel_.frmMain["VScroll1"].SetValue(address / kPageBytes);
  view_.DisplayPageMemory();
}

std::optional<std::span<const std::uint8_t>> Workbench::Image(const char* action) {
  if (buffers_.CodeImageSize > 0) {
    return std::span<const std::uint8_t>(buffers_.CodeBuffer)
        .first(static_cast<std::size_t>(buffers_.CodeImageSize));
  }
  Refuse(action, "the code buffer holds no image: load a file or read a part first");
  return std::nullopt;
}

std::optional<std::string> Workbench::Ask(const std::string& prompt, const std::string& title,
                                          const std::string& initial) {
  return panel_.dialogs.Input(prompt, title, initial);
}

void Workbench::Refuse(const std::string& title, const std::string& reason) {
  const std::string text = title + ": " + reason;
  panel_.dialogs.Message({text, title, panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                          panel::Answer::kOk});
  panel_.AddLog(text);
  panel_.ReportNotDone(panel::NotDoneReason::kRefused, text);
}

void Workbench::Cancelled(const std::string& what) {
  panel_.AddLog(what + " was Canceled by Operator");
  panel_.ReportNotDone(panel::NotDoneReason::kCancelled, what + " was Canceled by Operator");
}

}  // namespace sorvell::workbench
