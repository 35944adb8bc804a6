#pragma once

#include <QDialog>

#include "panel/form.h"

namespace sorvell::gui {

class FormView;

// A secondary window (the About box, the second buffer display) rendered from its Form with the
// same control rendering as the main window: a picture beside the labels and frames, the
// buttons in a row below. The model has no events of its own for these windows, so clicks go
// nowhere except OK, which closes the window.
class FormDialog final : public QDialog {
 public:
  FormDialog(panel::Form& form, QWidget* parent);

  FormView& View() const { return *view_; }

 private:
  void LayOut();
  bool Click(std::string_view name);

  FormView* view_;
};

}  // namespace sorvell::gui
