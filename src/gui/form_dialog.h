#pragma once

#include <QDialog>
#include <functional>
#include <string_view>

#include "panel/form.h"

namespace sorvell::gui {

class FormView;

// A secondary window (the About box, the second buffer display) rendered from its Form with the
// same control rendering as the main window: a picture beside the labels and frames, the
// buttons in a row below. OK closes the window; other clicks go to `onClick` (the About box's
// System Info), which says whether the control took it.
class FormDialog final : public QDialog {
 public:
  using ClickHandler = std::function<bool(std::string_view)>;
  FormDialog(panel::Form& form, QWidget* parent, ClickHandler onClick = {});

  FormView& View() const { return *view_; }

 private:
  void LayOut();
  bool Click(std::string_view name);

  FormView* view_;
  ClickHandler onClick_;
};

}  // namespace sorvell::gui
