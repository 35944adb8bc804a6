#include "gui/control_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>

namespace sorvell::gui {

ModelRadioButton::ModelRadioButton(QWidget* parent) : QRadioButton(parent) {
  setAutoExclusive(false);
}

namespace {

// Enough of a path or a status line to tell what it is about.
constexpr int kElidedMinimumCharacters = 16;
constexpr int kElidedPreferredCharacters = 40;

}  // namespace

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), mode_(mode) {
  setTextFormat(Qt::PlainText);
}

QSize ElidedLabel::minimumSizeHint() const {
  const int width = fontMetrics().averageCharWidth() * kElidedMinimumCharacters;
  return {width + 2 * margin(), QLabel::minimumSizeHint().height()};
}

QSize ElidedLabel::sizeHint() const {
  const int most = fontMetrics().averageCharWidth() * kElidedPreferredCharacters;
  return {std::min(QLabel::sizeHint().width(), most + 2 * margin()), QLabel::sizeHint().height()};
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  painter.drawText(area, static_cast<int>(alignment()),
                   fontMetrics().elidedText(text(), mode_, area.width()));
}

MouseForwarder::MouseForwarder(QObject* parent, std::function<void()> onPress,
                               std::function<void()> onDoubleClick)
    : QObject(parent), onPress_(std::move(onPress)), onDoubleClick_(std::move(onDoubleClick)) {}

bool MouseForwarder::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick) {
    return QObject::eventFilter(watched, event);
  }
  if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
  const auto& callback = type == QEvent::MouseButtonPress ? onPress_ : onDoubleClick_;
  if (!callback) return false;
  callback();
  return true;
}

void FitText(QPlainTextEdit& box, int columns, int lines) {
  const QFontMetrics metrics = box.fontMetrics();
  const int margins = 2 * box.frameWidth() + 2 * static_cast<int>(box.document()->documentMargin());
  const int width = metrics.horizontalAdvance(QString(columns, QLatin1Char('0')));
  box.setMinimumSize(width + margins + box.verticalScrollBar()->sizeHint().width(),
                     lines * metrics.lineSpacing() + margins);
}

}  // namespace sorvell::gui
