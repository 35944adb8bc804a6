#include "gui/form_view.h"

#include "gui/icons.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "gui/control_widgets.h"
#include "gui/render.h"

namespace sorvell::gui {

namespace {

using panel::Control;
using panel::ControlKind;

QWidget* NewTextBox(QWidget& parent) {
  auto* box = new QPlainTextEdit(&parent);
  box->setReadOnly(true);
  box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return box;
}

// The speed setting moves in whole steps and reports only where the operator lets go.
QWidget* NewSlider(QWidget& parent) {
  auto* slider = new QSlider(Qt::Horizontal, &parent);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  slider->setPageStep(5);
  slider->setTracking(false);
  return slider;
}

// A list as wide as its longest entry or prompt, from the start rather than once first shown.
QWidget* NewList(QWidget& parent) {
  auto* list = new QComboBox(&parent);
  list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return list;
}

QWidget* NewStatusBar(QWidget& parent) {
  auto* bar = new QStatusBar(&parent);
  auto* caption = new ElidedLabel(Qt::ElideRight, bar);
  caption->setObjectName(kStatusCaptionName);
  bar->addWidget(caption, 1);
  return bar;
}

QWidget* NewPicture(QWidget& parent) {
  auto* picture = new QLabel(&parent);
  picture->setPixmap(ApplicationIcon().pixmap(48, 48));
  return picture;
}

// Labels that show a file's path keep its end, the file's own name, in view; the last outcome
// keeps its start.
QWidget* NewLabel(const Control& control, QWidget& parent) {
  const std::string& name = control.Name();
  if (name == "FileNameCodeText" || name == "FileNameDataText") {
    return new ElidedLabel(Qt::ElideMiddle, &parent);
  }
  if (name == "sbOutcome") return new ElidedLabel(Qt::ElideRight, &parent);
  auto* label = new QLabel(&parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// The toolbar's image list has two pictures: "Open" for the open buttons, "Save" for the saves.
QIcon ToolbarIcon(const Control& control) {
  const std::string& name = control.Name();
  if (name.find("Open") != std::string::npos) return OpenIcon();
  if (name.find("Save") != std::string::npos) return SaveIcon();
  return {};
}

// Controls that take up the spare width of the frame they sit in.
bool Stretches(ControlKind kind) {
  return kind == ControlKind::kTextBox || kind == ControlKind::kMultiLineTextBox ||
         kind == ControlKind::kDropDownList;
}

}  // namespace

void TextFingerprint::Add(std::string_view text) {
  size += text.size();
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
}

TextFingerprint TextFingerprint::Of(std::string_view text) {
  TextFingerprint fingerprint;
  fingerprint.Add(text);
  return fingerprint;
}

FormView::FormView(panel::Form& form, QWidget& root, FormEvents events)
    : QObject(&root), form_(form), root_(root), events_(std::move(events)) {
  for (const Control& control : form_.Controls()) Create(control);
  FinishFrames();
  for (const Control& control : form_.Controls()) {
    if (const Binding* binding = Find(control.Name())) Wire(control, *binding);
    Render(control);
  }
  // The form outlives this view when a secondary window closes: a listener left behind by a
  // view that is gone does nothing.
  QPointer<FormView> self(this);
  form_.onChanged = [self](const Control& control) {
    if (self) self->OnChanged(control);
  };
  form_.onAppended = [self](const Control& control, std::string_view appended) {
    if (self) self->OnAppended(control, appended);
  };
}

void FormView::Create(const Control& control) {
  Binding binding;
  const Binding* container = Find(control.Container());
  auto* frame = container ? qobject_cast<QGroupBox*>(container->widget) : nullptr;
  CreateEntry(control, binding);
  if (binding.action == nullptr && binding.menu == nullptr) {
    binding.widget = CreateWidget(control, frame ? *frame : root_);
  }
  if (binding.widget && frame) PlaceInFrame(control, *binding.widget, *frame);
  for (QObject* object :
       {static_cast<QObject*>(binding.widget), static_cast<QObject*>(binding.action),
        static_cast<QObject*>(binding.menu)}) {
    if (object) object->setObjectName(QString::fromStdString(control.Name()));
  }
  if (binding.widget || binding.action || binding.menu) bindings_[control.Name()] = binding;
}

QWidget* FormView::CreateWidget(const Control& control, QWidget& parent) {
  switch (control.Kind()) {
    case ControlKind::kFrame: {
      auto* frame = new QGroupBox(&parent);
      new QHBoxLayout(frame);
      framesWithoutStretch_.push_back(frame);
      return frame;
    }
    case ControlKind::kLabel:
      return NewLabel(control, parent);
    case ControlKind::kButton:
      return new QPushButton(&parent);
    case ControlKind::kCheckBox:
      return new ModelCheckBox(&parent);
    case ControlKind::kOptionButton:
      return new ModelRadioButton(&parent);
    case ControlKind::kTextBox:
      return new QLineEdit(&parent);
    case ControlKind::kMultiLineTextBox:
      return NewTextBox(parent);
    case ControlKind::kDropDownList:
      return NewList(parent);
    case ControlKind::kScrollBar:
      return new QScrollBar(Qt::Vertical, &parent);
    case ControlKind::kSlider:
      return NewSlider(parent);
    case ControlKind::kProgressBar:
      return new QProgressBar(&parent);
    case ControlKind::kToolbar:
      return new QToolBar(&parent);
    case ControlKind::kStatusBar:
      return NewStatusBar(parent);
    case ControlKind::kPicture:
      return NewPicture(parent);
    default:
      return nullptr;  // the file dialog and the timer have nothing to show
  }
}

// Menu entries and toolbar buttons live in the menu or toolbar named as their container, which
// comes before them in design order.
void FormView::CreateEntry(const Control& control, Binding& binding) {
  const Binding* container = Find(control.Container());
  QMenu* menu = container ? container->menu : nullptr;
  auto* toolbar = container ? qobject_cast<QToolBar*>(container->widget) : nullptr;
  switch (control.Kind()) {
    case ControlKind::kMenu:
      if (menu) {
        binding.menu = menu->addMenu(QString());
      } else {
        if (menuBar_ == nullptr) menuBar_ = new QMenuBar(&root_);
        binding.menu = menuBar_->addMenu(QString());
      }
      break;
    case ControlKind::kMenuItem:
      if (menu) binding.action = menu->addAction(QString());
      break;
    case ControlKind::kMenuSeparator:
      if (menu) binding.action = menu->addSeparator();
      break;
    case ControlKind::kToolbarButton:
      if (toolbar) binding.action = toolbar->addAction(ToolbarIcon(control), {});
      break;
    case ControlKind::kToolbarSeparator:
      if (toolbar) binding.action = toolbar->addSeparator();
      break;
    default:
      break;
  }
}

void FormView::PlaceInFrame(const Control& control, QWidget& widget, QGroupBox& frame) {
  const bool stretches = Stretches(control.Kind());
  frame.layout()->addWidget(&widget);
  static_cast<QHBoxLayout*>(frame.layout())->setStretchFactor(&widget, stretches ? 1 : 0);
  if (stretches) std::erase(framesWithoutStretch_, &frame);
}

// A frame of fixed-size controls keeps them together at its left.
void FormView::FinishFrames() {
  for (QGroupBox* frame : framesWithoutStretch_) {
    static_cast<QHBoxLayout*>(frame->layout())->addStretch(1);
  }
  framesWithoutStretch_.clear();
}

const FormView::Binding* FormView::Find(std::string_view name) const {
  const auto it = bindings_.find(std::string(name));
  return it == bindings_.end() ? nullptr : &it->second;
}

QWidget* FormView::Widget(std::string_view name) const {
  const Binding* binding = Find(name);
  return binding ? binding->widget : nullptr;
}

QAction* FormView::Action(std::string_view name) const {
  const Binding* binding = Find(name);
  return binding ? binding->action : nullptr;
}

QMenu* FormView::Menu(std::string_view name) const {
  const Binding* binding = Find(name);
  return binding ? binding->menu : nullptr;
}

std::vector<const Control*> FormView::TopLevelControls() const {
  std::vector<const Control*> controls;
  for (const Control& control : form_.Controls()) {
    const Binding* binding = Find(control.Name());
    if (binding && binding->widget && control.Container().empty()) controls.push_back(&control);
  }
  return controls;
}

}  // namespace sorvell::gui
