#include "gui/render.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTextCursor>
#include <algorithm>

#include "catalogue/device_table.h"
#include "gui/colors.h"
#include "gui/text.h"

namespace sorvell::gui {

namespace {

using panel::Control;
using panel::ControlKind;

void RenderCommon(const Control& control, QWidget& widget) {
  widget.setEnabled(control.Enabled());
  if (widget.isHidden() == control.Visible()) widget.setVisible(control.Visible());
  widget.setToolTip(ToQt(control.ToolTip()));
}

// Disabled text keeps the palette's greyed colour; only the active and inactive looks change.
void RenderForeColor(const Control& control, QWidget& widget) {
  if (control.ForeColor() == panel::kButtonText && !widget.testAttribute(Qt::WA_SetPalette)) {
    return;  // the default colour: leave the widget on the desktop palette
  }
  const QColor color = ResolveColor(control.ForeColor(), QApplication::palette(&widget));
  QPalette palette = widget.palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, widget.foregroundRole(), color);
  }
  widget.setPalette(palette);
}

// Buttons show a back colour other than the button face while an operation marks them busy (the
// Verify button during a verify).
void RenderBackColor(const Control& control, QWidget& widget) {
  if (control.Kind() != ControlKind::kButton) return;
  if (control.BackColor() == panel::kButtonFace && !widget.testAttribute(Qt::WA_SetPalette)) return;
  const QColor color = ResolveColor(control.BackColor(), QApplication::palette(&widget));
  QPalette palette = widget.palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Button, color);
  }
  widget.setPalette(palette);
}

void SetTextIfChanged(QLabel& label, const QString& text) {
  if (label.text() != text) label.setText(text);
}

Qt::CheckState CheckState(int value) {
  if (value == 0) return Qt::Unchecked;
  return value == 1 ? Qt::Checked : Qt::PartiallyChecked;  // 2: greyed
}

void RenderCheckBox(const Control& control, QCheckBox& box) {
  box.setText(ToQt(control.Caption()));
  box.setTristate(control.Value() == 2);
  box.setCheckState(CheckState(control.Value()));
}

// Entries the operator cannot choose look unavailable and cannot be picked.
void GreyUnselectable(const Control& control, QComboBox& list) {
  auto* model = qobject_cast<QStandardItemModel*>(list.model());
  if (model == nullptr) return;
  for (int i = 0; i < model->rowCount(); ++i) {
    if (catalogue::SelectableEntry(control.Items()[static_cast<std::size_t>(i)])) continue;
    QStandardItem* item = model->item(i);
    item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
  }
}

// A list shows the entry its caption names; before one is chosen the caption is a prompt.
void RenderList(const Control& control, QComboBox& list) {
  QStringList items;
  for (const auto& item : control.Items()) items << ToQt(item);
  QStringList shown;
  for (int i = 0; i < list.count(); ++i) shown << list.itemText(i);
  if (shown != items) {
    list.clear();
    list.addItems(items);
    GreyUnselectable(control, list);
  }
  const QString caption = ToQt(control.Caption());
  int index = control.Value();
  if (index < 0 || index >= items.size() || items[index] != caption) index = items.indexOf(caption);
  list.setPlaceholderText(index < 0 ? caption : QString());
  list.setCurrentIndex(index);
}

void RenderRange(const Control& control, QAbstractSlider& slider) {
  slider.setRange(control.Minimum(), std::max(control.Minimum(), control.Maximum()));
  slider.setValue(control.Value());
}

// An empty range would turn the bar into a busy indicator; the model means "nothing done".
void RenderProgress(const Control& control, QProgressBar& bar) {
  const bool empty = control.Maximum() <= control.Minimum();
  bar.setRange(control.Minimum(), empty ? control.Minimum() + 1 : control.Maximum());
  bar.setValue(std::clamp(control.Value(), bar.minimum(), bar.maximum()));
}

// A text longer than the bar is cut at its right edge: the tool tip carries all of it.
void RenderStatusBar(const Control& control, QStatusBar& bar) {
  if (auto* caption = bar.findChild<QLabel*>(kStatusCaptionName)) {
    SetTextIfChanged(*caption, ToQt(control.Caption()));
    caption->setToolTip(caption->text());
  }
}

void RenderKind(const Control& control, QWidget& widget) {
  const QString caption = ToQt(control.Caption());
  switch (control.Kind()) {
    case ControlKind::kFrame:
      static_cast<QGroupBox&>(widget).setTitle(caption);
      break;
    case ControlKind::kLabel:
      SetTextIfChanged(static_cast<QLabel&>(widget), caption);
      break;
    case ControlKind::kButton:
      static_cast<QPushButton&>(widget).setText(caption);
      break;
    case ControlKind::kCheckBox:
      RenderCheckBox(control, static_cast<QCheckBox&>(widget));
      break;
    case ControlKind::kOptionButton:
      static_cast<QRadioButton&>(widget).setText(caption);
      static_cast<QRadioButton&>(widget).setChecked(control.Value() != 0);
      break;
    case ControlKind::kTextBox:
      if (auto& box = static_cast<QLineEdit&>(widget); box.text() != caption) box.setText(caption);
      break;
    case ControlKind::kDropDownList:
      RenderList(control, static_cast<QComboBox&>(widget));
      break;
    case ControlKind::kScrollBar:
    case ControlKind::kSlider:
      RenderRange(control, static_cast<QAbstractSlider&>(widget));
      break;
    case ControlKind::kProgressBar:
      RenderProgress(control, static_cast<QProgressBar&>(widget));
      break;
    case ControlKind::kStatusBar:
      RenderStatusBar(control, static_cast<QStatusBar&>(widget));
      break;
    default:
      break;  // pictures, toolbars, multi-line boxes (their text is set by the caller)
  }
}

// The caret goes to the end and the newest line shows whole at the bottom.
void ScrollToEnd(QPlainTextEdit& box) {
  box.moveCursor(QTextCursor::End);
  QScrollBar& bar = *box.verticalScrollBar();
  bar.setValue(bar.maximum());
}

void ScrollToTop(QPlainTextEdit& box) {
  box.moveCursor(QTextCursor::Start);
  box.verticalScrollBar()->setValue(0);
}

}  // namespace

void RenderWidget(const Control& control, QWidget& widget) {
  RenderCommon(control, widget);
  RenderKind(control, widget);
  RenderForeColor(control, widget);
  RenderBackColor(control, widget);
}

// A separator's caption ("-") only marks it as one: given as text, some styles would draw it
// beside the line as a section heading.
void RenderAction(const Control& control, QAction& action) {
  if (!action.isSeparator()) {
    action.setText(ToQt(control.Caption()));
    action.setToolTip(ToQt(control.ToolTip()));
  }
  action.setEnabled(control.Enabled());
  action.setVisible(control.Visible());
}

void RenderMenu(const Control& control, QMenu& menu) {
  menu.setTitle(ToQt(control.Caption()));
  menu.menuAction()->setEnabled(control.Enabled());
  menu.menuAction()->setVisible(control.Visible());
}

// A text that opens with a line break would leave the first line empty; the box starts with the
// first line of text instead.
void SetLines(QPlainTextEdit& box, std::string_view text, bool followEnd) {
  QString lines = ToQtLines(text);
  if (lines.startsWith(QLatin1Char('\n'))) lines.remove(0, 1);
  box.setPlainText(lines);
  followEnd ? ScrollToEnd(box) : ScrollToTop(box);
}

void AppendLines(QPlainTextEdit& box, std::string_view appended, bool followEnd) {
  QString lines = ToQtLines(appended);
  if (box.document()->isEmpty() && lines.startsWith(QLatin1Char('\n'))) lines.remove(0, 1);
  QTextCursor end(box.document());
  end.movePosition(QTextCursor::End);
  end.insertText(lines);
  followEnd ? ScrollToEnd(box) : ScrollToTop(box);
}

}  // namespace sorvell::gui
