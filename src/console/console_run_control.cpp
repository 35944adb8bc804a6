#include "console/console_run_control.h"

#include "shell/stop_signals.h"

namespace sorvell::console {

namespace {

// A run shorter than this shows no progress line; after it the line changes at most this often.
constexpr auto kQuietStart = std::chrono::milliseconds(700);
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

}  // namespace

ConsoleRunControl::ConsoleRunControl(const panel::Form& frmMain, std::FILE* progress)
    : form_(frmMain), progress_(progress) {}

void ConsoleRunControl::Breathe() {
  if (progress_ == nullptr) return;
  const Clock::time_point now = Clock::now();
  if (!running_) {
    running_ = true;
    runStart_ = now;
  }
  if (now - runStart_ < kQuietStart || now - lastShown_ < kRedrawEvery) return;
  lastShown_ = now;
  const panel::Control& bar = form_["ProgressBar1"];
  const int span = bar.Maximum() - bar.Minimum();
  const int percent = span > 0 ? (bar.Value() - bar.Minimum()) * 100 / span : 0;
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - runStart_).count();
  std::fprintf(progress_, "\r%3d%%  %lld:%02lld elapsed  (Ctrl-C stops safely)\033[K", percent,
               static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
  std::fflush(progress_);
  shown_ = true;
}

bool ConsoleRunControl::StopRequested() {
  return shell::StopSignalReceived() != 0;
}

void ConsoleRunControl::Finish() {
  running_ = false;
  if (!shown_) return;
  shown_ = false;
  std::fprintf(progress_, "\r\033[K");
  std::fflush(progress_);
}

}  // namespace sorvell::console
