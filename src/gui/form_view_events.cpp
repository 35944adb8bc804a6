// The two directions of a FormView: the operator's events to the model, the model's changes to
// the widgets.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "gui/colors.h"
#include "gui/control_widgets.h"
#include "gui/form_view.h"
#include "gui/render.h"
#include "gui/text.h"

namespace sorvell::gui {

namespace {

using panel::Control;
using panel::ControlKind;

// A control that appears or disappears changes the layout, which Qt would otherwise redo only
// on return to the event loop; during a long operation that is too late.
void Relayout(QWidget& widget) {
  for (QWidget* parent = widget.parentWidget(); parent; parent = parent->parentWidget()) {
    if (parent->layout()) parent->layout()->activate();
  }
  widget.window()->repaint();
}

void RepaintAction(QAction& action) {
  for (QObject* object : action.associatedObjects()) {
    if (auto* widget = qobject_cast<QWidget*>(object)) widget->repaint();
  }
}

}  // namespace

void FormView::Wire(const Control& control, const Binding& binding) {
  const std::string name = control.Name();
  if (binding.action) {
    connect(binding.action, &QAction::triggered, this,
            [this, name] { Forward(name, [&] { return events_.click && events_.click(name); }); });
  }
  if (binding.menu) {
    connect(binding.menu, &QMenu::aboutToShow, this,
            [this, name] { Forward(name, [&] { return events_.click && events_.click(name); }); });
  }
  if (binding.widget) WireWidget(name, control.Kind(), *binding.widget);
}

void FormView::WireWidget(const std::string& name, ControlKind kind, QWidget& widget) {
  const auto click = [this, name] {
    Forward(name, [&] { return events_.click && events_.click(name); });
  };
  const auto setValue = [this, name](int value) {
    Forward(name, [&] { return events_.setValue && events_.setValue(name, value); });
  };
  switch (kind) {
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
      connect(static_cast<QAbstractButton*>(&widget), &QAbstractButton::clicked, this, click);
      break;
    case ControlKind::kLabel:
      widget.installEventFilter(new MouseForwarder(&widget, click, {}));
      break;
    case ControlKind::kMultiLineTextBox: {
      QWidget* viewport = static_cast<QPlainTextEdit&>(widget).viewport();
      viewport->installEventFilter(new MouseForwarder(viewport, {}, [this, name] {
        Forward(name, [&] { return events_.dblClick && events_.dblClick(name); });
      }));
      break;
    }
    case ControlKind::kSlider:
    case ControlKind::kScrollBar:
      connect(static_cast<QAbstractSlider*>(&widget), &QAbstractSlider::valueChanged, this,
              setValue);
      break;
    case ControlKind::kDropDownList:
      connect(static_cast<QComboBox*>(&widget), &QComboBox::activated, this, setValue);
      break;
    case ControlKind::kTextBox:
      connect(static_cast<QLineEdit*>(&widget), &QLineEdit::textEdited, this,
              [this, name](const QString& text) {
                Forward(name,
                        [&] { return events_.setText && events_.setText(name, ToStd(text)); });
              });
      break;
    default:
      break;
  }
}

// A signal raised while rendering is the view talking to itself and never reaches the model.
// After the event the control is rendered again, so a value the model refused or changed does
// not stay as Qt left it.
void FormView::Forward(const std::string& name, const std::function<bool()>& event) {
  if (rendering_) return;
  const QPointer<FormView> alive(this);
  event();
  if (!alive) return;
  if (const Control* control = form_.Find(name)) Render(*control);
  if (afterEvent) afterEvent();
}

namespace {

// What the operator could start something with; lamps, logs and bars stay as they are.
bool LockedWhileRunning(const Control& control) {
  switch (control.Kind()) {
    case ControlKind::kButton:
      return control.Name() != "Stop_button";
    case ControlKind::kCheckBox:
    case ControlKind::kOptionButton:
    case ControlKind::kTextBox:
    case ControlKind::kDropDownList:
    case ControlKind::kSlider:
    case ControlKind::kToolbarButton:
    case ControlKind::kMenu:
    case ControlKind::kMenuItem:
      return true;
    default:
      return false;
  }
}

// The system log grows at its end; every other box holds a page to read from its top.
bool FollowsEnd(const Control& control) {
  return control.Name() == "SystemLog";
}

}  // namespace

void FormView::SetLocked(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  for (const Control& control : form_.Controls()) Render(control);
}

void FormView::Render(const Control& control) {
  const auto it = bindings_.find(control.Name());
  if (it == bindings_.end()) return;
  Binding& binding = it->second;
  const bool wasRendering = rendering_;
  rendering_ = true;
  if (binding.widget) {
    const QSignalBlocker blocker(binding.widget);
    RenderWidget(control, *binding.widget);
    if (control.Kind() == ControlKind::kMultiLineTextBox) {
      RenderText(control, binding);
      RenderMarks(control, static_cast<QPlainTextEdit&>(*binding.widget));
    }
  }
  if (binding.action) RenderAction(control, *binding.action);
  if (binding.menu) RenderMenu(control, *binding.menu);
  if (locked_ && LockedWhileRunning(control)) {
    if (binding.widget) binding.widget->setEnabled(false);
    if (binding.action) binding.action->setEnabled(false);
    if (binding.menu) binding.menu->menuAction()->setEnabled(false);
  }
  rendering_ = wasRendering;
}

void FormView::RenderText(const Control& control, Binding& binding) {
  const TextFingerprint shown = TextFingerprint::Of(control.Caption());
  if (shown == binding.text) return;
  SetLines(static_cast<QPlainTextEdit&>(*binding.widget), control.Caption(), FollowsEnd(control));
  binding.text = shown;
}

// Marked spans (the dump's differing bytes) on a light red ground; the text is not touched.
void FormView::RenderMarks(const Control& control, QPlainTextEdit& box) {
  QList<QTextEdit::ExtraSelection> selections;
  // The box does not show a text's leading line break (SetLines): the lines move up by one.
  const std::string& text = control.Caption();
  const int hiddenBreak = text.starts_with('\n') || text.starts_with("\r\n") ? 1 : 0;
  for (const panel::TextMark& mark : control.Marks()) {
    const QTextBlock block = box.document()->findBlockByNumber(mark.line - hiddenBreak);
    if (!block.isValid() || mark.column + mark.length > block.length()) continue;
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(block);
    selection.cursor.setPosition(block.position() + mark.column);
    selection.cursor.setPosition(block.position() + mark.column + mark.length,
                                 QTextCursor::KeepAnchor);
    selection.format.setBackground(kMarkedGround);
    selections.append(selection);
  }
  if (!selections.isEmpty() || !box.extraSelections().isEmpty()) box.setExtraSelections(selections);
}

void FormView::OnChanged(const Control& control) {
  const Binding* binding = Find(control.Name());
  if (binding == nullptr) return;
  const bool wasHidden = binding->widget && binding->widget->isHidden();
  Render(control);
  if (binding->action) RepaintAction(*binding->action);
  if (binding->widget == nullptr) return;
  if (binding->widget->isHidden() != wasHidden) {
    Relayout(*binding->widget);
  } else {
    binding->widget->repaint();
  }
}

void FormView::OnAppended(const Control& control, std::string_view appended) {
  const auto it = bindings_.find(control.Name());
  if (it == bindings_.end()) return;
  auto* box = qobject_cast<QPlainTextEdit*>(it->second.widget);
  if (box == nullptr) return;
  it->second.text.Add(appended);
  {
    const QSignalBlocker blocker(box);
    AppendLines(*box, appended, FollowsEnd(control));
  }
  box->repaint();
}

}  // namespace sorvell::gui
