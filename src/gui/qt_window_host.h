#pragma once

#include <QPointer>
#include <functional>
#include <map>
#include <string>

#include "panel/edges.h"

#include <QWidget>

namespace sorvell::gui {

class FormDialog;

// The windows as Qt has them: secondary windows are FormDialogs over the main window, opened
// once each (showing one that is open brings it to the front) and deleted when closed.
class QtWindowHost final : public panel::WindowHost {
 public:
  void SetMainWindow(QWidget* window) { main_ = window; }
  // Where clicks in secondary windows go (the model's handlers for them).
  void SetClickHandler(std::function<bool(std::string_view)> handler) {
    clicks_ = std::move(handler);
  }

  void ShowWindow(panel::Form& form, bool modal) override;
  void CloseOtherWindows() override;
  void CloseMainWindow() override;

  // The open window of a form, or null.
  FormDialog* OpenWindow(const std::string& formName) const;

 private:
  QPointer<QWidget> main_;
  std::function<bool(std::string_view)> clicks_;
  std::map<std::string, QPointer<FormDialog>> open_;
};

}  // namespace sorvell::gui
