#pragma once

#include <chrono>

#include "panel/run_control.h"

class QStatusBar;

namespace sorvell::gui {

class FormView;

// The window's side of a long operation. Between two units of work the operation lets the window
// handle what is waiting: repaints, resizes, the Stop button, Esc and a close. Everything else the
// operator does then reaches the model while it breathes and is refused, so nothing is kept for
// later; the controls that would start something are shown inactive for the whole run. The bus
// is never inside a timed sequence while the window works, and between two pumps the operation
// runs undisturbed for `interval`.
class WindowRunControl final : public panel::RunControl {
 public:
  WindowRunControl(FormView& view, QStatusBar& statusBar,
                   std::chrono::milliseconds interval = std::chrono::milliseconds(40));

  void Breathe() override;
  bool StopRequested() override;
  // After each operator event: the controls go back to what the model says.
  void Finish();
  bool Running() const { return running_; }
  void SetInterval(std::chrono::milliseconds interval) { interval_ = interval; }

 private:
  FormView& view_;
  QStatusBar& statusBar_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point lastPump_{};
  bool running_ = false;
};

}  // namespace sorvell::gui
