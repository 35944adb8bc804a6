#pragma once

#include <QPointer>
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

  void ShowWindow(panel::Form& form, bool modal) override;
  void CloseOtherWindows() override;
  void CloseMainWindow() override;

  // The open window of a form, or null.
  FormDialog* OpenWindow(const std::string& formName) const;

 private:
  QPointer<QWidget> main_;
  std::map<std::string, QPointer<FormDialog>> open_;
};

}  // namespace sorvell::gui
