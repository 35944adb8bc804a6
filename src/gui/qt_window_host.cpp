#include "gui/qt_window_host.h"

#include <QWidget>

#include "gui/form_dialog.h"

namespace sorvell::gui {

FormDialog* QtWindowHost::OpenWindow(const std::string& formName) const {
  const auto it = open_.find(formName);
  return it == open_.end() ? nullptr : it->second.data();
}

void QtWindowHost::ShowWindow(panel::Form& form, bool modal) {
  FormDialog* window = OpenWindow(form.Name());
  if (window == nullptr) {
    window = new FormDialog(form, main_, clicks_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    open_[form.Name()] = window;
  }
  if (modal) {
    window->exec();
    return;
  }
  window->show();
  window->raise();
  window->activateWindow();
}

void QtWindowHost::CloseOtherWindows() {
  for (auto& [name, window] : open_) {
    if (window) window->close();
  }
  open_.clear();
}

void QtWindowHost::CloseMainWindow() {
  if (main_) main_->close();
}

}  // namespace sorvell::gui
