#pragma once

#include <exception>

namespace sorvell::panel {

// What a front end does while an operation runs. The operations call it only between units of
// work (a byte programmed, a page written and its write cycle over, a page read), where no bus
// timing is running: there the window may repaint and the operator's stop may take effect.
class RunControl {
 public:
  virtual ~RunControl() = default;
  // Lets the front end keep its window or its progress line current.
  virtual void Breathe() {}
  // A stop asked for from outside the window's controls (a signal to the console).
  virtual bool StopRequested() { return false; }
};

// Thrown at a safe point once a stop was asked for; the shell catches it where the operator's
// event began, leaves the board idle and logs the stop.
struct OperationStopped : std::exception {
  const char* what() const noexcept override { return "operation stopped by the operator"; }
};

}  // namespace sorvell::panel
