#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "panel/form.h"
#include "panel/run_control.h"

namespace sorvell::console {

// The console's side of a long operation: a signal (Ctrl-C, SIGTERM, SIGHUP) stops it at the next
// safe point, and on a terminal a progress line on standard error shows how far it is once it has
// run for more than a moment. The log lines keep going to standard output as they are added.
class ConsoleRunControl final : public panel::RunControl {
 public:
  // `progress` null: no progress line (standard error is not a terminal).
  ConsoleRunControl(const panel::Form& frmMain, std::FILE* progress);

  void Breathe() override;
  bool StopRequested() override;
  // After an operator event: the progress line goes away.
  void Finish();
  // The selected part's size, for the bytes done (null: percent only).
  const std::int32_t* partBytes = nullptr;

 private:
  using Clock = std::chrono::steady_clock;
  const panel::Form& form_;
  std::FILE* progress_;
  Clock::time_point runStart_{};
  Clock::time_point lastShown_{};
  bool running_ = false;
  bool shown_ = false;
};

}  // namespace sorvell::console
