#include "gui/control_widgets.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace sorvell::gui {

ModelRadioButton::ModelRadioButton(QWidget* parent) : QRadioButton(parent) {
  setAutoExclusive(false);
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
