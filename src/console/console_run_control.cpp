#include "console/console_run_control.h"

#include "shell/stop_signals.h"

namespace sorvell::console {

namespace {

// A run shorter than this shows no progress line; after it the line changes at most this often.
constexpr auto kQuietStart = std::chrono::milliseconds(700);
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

std::string MinutesSeconds(long long seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
  return text;
}

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
  const double done = span > 0 ? static_cast<double>(bar.Value() - bar.Minimum()) / span : 0;
  const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - runStart_).count();
  std::string bytes;
  if (partBytes != nullptr && *partBytes > 0) {
    bytes = "  " + std::to_string(static_cast<std::int64_t>(done * *partBytes)) + "/" +
            std::to_string(*partBytes) + " bytes";
  }
  // The rest at the pace so far; none until there is a pace to go by.
  const std::string left =
      done > 0.01
          ? ", " + MinutesSeconds(static_cast<long long>(elapsed * (1 - done) / done)) + " left"
          : "";
  std::fprintf(progress_, "\r%3d%%%s  %s elapsed%s  (Ctrl-C stops safely)\033[K",
               static_cast<int>(done * 100), bytes.c_str(), MinutesSeconds(elapsed).c_str(),
               left.c_str());
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
