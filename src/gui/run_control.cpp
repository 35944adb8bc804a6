#include "gui/run_control.h"

#include <QCoreApplication>
#include <QStatusBar>

#include "gui/form_view.h"
#include "shell/stop_signals.h"

namespace sorvell::gui {

namespace {

// What the window may do inside one pump, so an operation is not held up by a long repaint.
constexpr int kPumpBudgetMs = 25;

}  // namespace

WindowRunControl::WindowRunControl(FormView& view, QStatusBar& statusBar,
                                   std::chrono::milliseconds interval)
    : view_(view), statusBar_(statusBar), interval_(interval) {}

void WindowRunControl::Breathe() {
  const auto now = std::chrono::steady_clock::now();
  if (!running_) {
    running_ = true;
    view_.SetLocked(true);
    statusBar_.showMessage(QStringLiteral(
        "Operation running - Stop (or Esc) ends it at the next safe point with the board idle"));
    lastPump_ = {};
  }
  if (now - lastPump_ < interval_) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents, kPumpBudgetMs);
  lastPump_ = std::chrono::steady_clock::now();
}

bool WindowRunControl::StopRequested() {
  return shell::StopSignalReceived() != 0;
}

void WindowRunControl::Finish() {
  if (!running_) return;
  running_ = false;
  statusBar_.clearMessage();
  view_.SetLocked(false);
}

}  // namespace sorvell::gui
