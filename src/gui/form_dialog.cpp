#include "gui/form_dialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/control_widgets.h"
#include "gui/form_view.h"
#include "gui/text.h"

namespace sorvell::gui {

namespace {

using panel::ControlKind;

constexpr int kDumpColumns = 66;
constexpr int kDumpLines = 16;
constexpr int kHistoryColumns = 130;
constexpr int kHistoryLines = 20;

void StyleLabel(QLabel& label, bool title) {
  label.setWordWrap(true);
  if (!title) return;
  QFont font = label.font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.3);
  label.setFont(font);
}

}  // namespace

FormDialog::FormDialog(panel::Form& form, QWidget* parent, ClickHandler onClick)
    : QDialog(parent), onClick_(std::move(onClick)) {
  FormEvents events;
  events.click = [this](std::string_view name) { return Click(name); };
  // A box the operator types in (the History window's filter) holds what was typed; the model
  // reads it when a button of the window is clicked.
  events.setText = [&form](std::string_view name, std::string text) {
    panel::Control* control = form.Find(name);
    if (control == nullptr || control->Kind() != ControlKind::kTextBox) return false;
    control->SetCaption(std::move(text));
    return true;
  };
  view_ = new FormView(form, *this, std::move(events));
  setWindowTitle(ToQt(form.Caption()));
  LayOut();
}

bool FormDialog::Click(std::string_view name) {
  if (name == "cmdOK") {
    accept();
    return true;
  }
  return onClick_ && onClick_(name);
}

void FormDialog::LayOut() {
  auto* picture = new QVBoxLayout;
  auto* body = new QVBoxLayout;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (const panel::Control* control : view_->TopLevelControls()) {
    QWidget& widget = *view_->Widget(control->Name());
    switch (control->Kind()) {
      case ControlKind::kPicture:
        picture->addWidget(&widget);
        break;
      case ControlKind::kButton:
        buttons->addWidget(&widget);
        if (control->Name() == "cmdOK") static_cast<QPushButton&>(widget).setDefault(true);
        break;
      case ControlKind::kLabel:
        StyleLabel(static_cast<QLabel&>(widget), control->Name() == "lblTitle");
        body->addWidget(&widget);
        break;
      default:
        body->addWidget(&widget, 1);
        break;
    }
  }
  if (auto* dump = view_->As<QPlainTextEdit>("BufferDisplay")) {
    dump->setLineWrapMode(QPlainTextEdit::NoWrap);
    FitText(*dump, kDumpColumns, kDumpLines);
  }
  if (auto* table = view_->As<QPlainTextEdit>("txtHistory")) {
    table->setLineWrapMode(QPlainTextEdit::NoWrap);
    table->setReadOnly(true);
    FitText(*table, kHistoryColumns, kHistoryLines);
  }
  picture->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(picture);
  top->addLayout(body, 1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(top, 1);
  column->addLayout(buttons);
}

}  // namespace sorvell::gui
