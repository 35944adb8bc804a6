#include "buffers/buffer_view.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>

#include "buffers/dump.h"
#include "catalogue/routines.h"
#include "common/atomic_file.h"
#include "panel/time_text.h"
#include "panel/window_layouts.h"

namespace sorvell::buffers {

namespace {

constexpr int kPageBytes = 256;

// A scroll bar whose maximum is below 0 (a device or file under 256 bytes) still shows page 0.
int PageOf(const panel::Control& scroll) {
  return std::max(0, std::min(scroll.Value(), scroll.Maximum()));
}

// A byte's two hex digits and its ASCII character in the page's dump: the page text begins with
// an empty line, each dump line with the address and "| ", and every fourth byte is followed by
// a blank (buffers/dump.cpp).
std::vector<panel::TextMark> DifferenceMarks(const std::vector<std::int32_t>& differing, int page) {
  std::vector<panel::TextMark> marks;
  const std::int32_t start = page * kPageBytes;
  for (auto it = std::ranges::lower_bound(differing, start);
       it != differing.end() && *it < start + kPageBytes; ++it) {
    const int offset = *it - start;
    const int line = 1 + offset / 16, byte = offset % 16;
    marks.push_back({line, 8 + 2 * byte + byte / 4, 2});
    marks.push_back({line, 46 + byte, 1});
  }
  return marks;
}

std::string CodePageLines(const std::vector<std::uint8_t>& buffer, int page) {
  std::string text;
  for (int line = 0; line < 16; ++line) {
    const std::int32_t address = page * kPageBytes + 16 * line;
    text +=
        "\r\n" + DumpLine(address, &buffer[static_cast<std::size_t>(address)], AsciiRule::kBuffer);
  }
  return text;
}

// Whole numbers are written with a blank before and after, as the saved dump has always had.
std::string Spaced(double value) {
  char text[40];
  std::snprintf(text, sizeof text, " %.15g ", value);
  return text;
}

}  // namespace

BufferView::BufferView(Buffers& buffers, const catalogue::Selection& device, board::Board& board,
                       panel::Panel& panel, panel::Form& frmDisplay1)
    : buffers_(buffers), device_(device), board_(board), panel_(panel), frmDisplay1_(frmDisplay1) {}

int BufferView::CurrentPage() const {
  return PageOf(panel_.frmMain["VScroll1"]);
}

// A microcontroller's data memory is shown while its button offers to show the code.
bool BufferView::ShowsData() const {
  return device_.Routines().dataArea && panel_.frmMain["Show_button"].Caption() == "Show Code";
}

void BufferView::DisplayPageMemory() {
  if (ShowsData()) {
    DisplayDataMemory();
  } else {
    DisplayCodeMemory();
  }
}

void BufferView::DisplayCodeMemory() {
  const int page = CurrentPage();
  board_.CurrentAddress = page * kPageBytes;
  board_.Endereco2Adr();
  panel::Control& display = panel_.frmMain["BufferDisplay"];
  shownCodePage_ = CodePageLines(buffers_.CodeBuffer, page);
  display.SetCaption(shownCodePage_);
  display.SetMarks(DifferenceMarks(buffers_.DifferingAddresses, page));
}

void BufferView::MarkDifferences() {
  if (buffers_.DisplayMode == "DisplayEprom" || ShowsData()) return;
  if (buffers_.DifferingAddresses.empty() && panel_.frmMain["BufferDisplay"].Marks().empty()) {
    return;
  }
  DisplayCodeMemory();
}

bool BufferView::ShowDifference(bool next) {
  const std::vector<std::int32_t>& differing = buffers_.DifferingAddresses;
  const std::int32_t pageStart = CurrentPage() * kPageBytes;
  std::optional<std::int32_t> found;
  if (next) {
    const auto it = std::ranges::lower_bound(differing, pageStart + kPageBytes);
    if (it != differing.end()) found = *it;
  } else {
    const auto it = std::ranges::lower_bound(differing, pageStart);
    if (it != differing.begin()) found = *std::prev(it);
  }
  if (!found) return false;
  panel_.frmMain["VScroll1"].SetValue(*found / kPageBytes);
  DisplayPageMemory();
  return true;
}

void BufferView::DisplayDataMemory() {
  // The data image is 8 KB: 64 pages of 128 bytes.
  const int page = std::min(CurrentPage(), 63);
  board_.CurrentAddress = page * 128;
  board_.Endereco2Adr();
  std::string text = "             *** BUFFER DATA ***\r\n";
  for (int line = 0; line < 8; ++line) {
    const std::int32_t address = page * 128 + 16 * line;
    text += "\r\n" + DumpLine(address, &buffers_.DataBuffer[static_cast<std::size_t>(address)],
                              AsciiRule::kBuffer);
  }
  panel_.frmMain["BufferDisplay"].SetCaption(text);
}

// Whoever writes the dump writes its text: what it shows is known by comparing.
bool BufferView::ShowsCodeBuffer() const {
  return !shownCodePage_.empty() && panel_.frmMain["BufferDisplay"].Caption() == shownCodePage_;
}

// Puts the current address on the socket the way the selected device is wired.
void BufferView::BufferDisplay_DblClick() {
  const std::string& shown = panel_.frmMain["BufferDisplay"].Caption();
  const panel::LocalTime now = panel_.clock.Now();
  std::string file = std::string("SORVELL BUFFER DISPLAY FILE - ") + panel::kMakerBanner + "\r\n";
  file += "The following contents are the contents from Buffer DIsplay\r\n";
  file += panel::DateText(now) + " " + panel::TimeText(now) +
          " StatCode:" + Spaced(StatCode(shown)) + " Model:" + Spaced(board_.BoardModel) + "\r\n";
  file += std::string(60, '-') + "\r\n" + shown + "\r\n";
  std::string error;
  if (!common::WriteFileAtomically(panel_.folders.workingFolder / "SORVELL.BUF", file, error)) {
    panel_.dialogs.Message({"The display was not saved: " + error, "Buffer Display",
                            panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                            panel::Answer::kOk});
    panel_.ReportNotDone(panel::NotDoneReason::kFileNotSaved,
                         "SORVELL.BUF was not saved: " + error);
    return;
  }
  panel_.AddLog("Buffer DIsplay was Saved to SORVELL.BUF file");
  panel_.ReportDone("Buffer DIsplay was Saved to SORVELL.BUF file");
  panel_.PlayEventSound("OK");
}

// Adds page 0 of the code image to the second display window, without showing it.
void BufferView::Command1_Click() {
  panel::Control& scroll = frmDisplay1_["VScroll1"];
  scroll.SetValue(0);
  const int page = scroll.Value();
  board_.CurrentAddress = page * kPageBytes;
  board_.Endereco2Adr();
  panel_.frmMain["BufferDisplay"].SetCaption("");
  frmDisplay1_["BufferDisplay"].AppendText(CodePageLines(buffers_.CodeBuffer, page));
}

}  // namespace sorvell::buffers
