// The operator's hands on the image view: the cursor keys, clicks, and bytes typed over the
// image, which reach the model as typed bytes (one undoable change each).
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "gui/image_view.h"

namespace sorvell::gui {

namespace {

constexpr int kLineBytes = 16;
constexpr int kPageLines = 16;  // the model's dump pages 256 bytes

std::optional<int> HexDigit(QChar typed) {
  bool ok = false;
  const int digit = QString(typed).toInt(&ok, 16);
  return ok ? std::optional(digit) : std::nullopt;
}

// What may be typed in the character column: any printable character, the blank too, though the
// dump shows a few of them (blank, quote, grave, tilde) as dots.
bool Printable(QChar typed) {
  return typed.unicode() >= 0x20 && typed.unicode() < 0x7F;
}

}  // namespace

// A key held with Ctrl or Alt is the menus' (their shortcuts), never a byte.
void ImageView::keyPressEvent(QKeyEvent* event) {
  const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (MoveByKey(*event) || (plain && TypeKey(event->text()))) return;
  QAbstractScrollArea::keyPressEvent(event);
}

bool ImageView::focusNextPrevChild(bool) {
  return false;
}

bool ImageView::MoveByKey(const QKeyEvent& event) {
  const bool control = event.modifiers() & Qt::ControlModifier;
  const std::int64_t lineStart = cursor_ - cursor_ % kLineBytes;
  const int page = ShownLines() * kLineBytes;
  switch (event.key()) {
    case Qt::Key_Left:
      MoveCursorTo(std::int64_t{cursor_} - 1);
      break;
    case Qt::Key_Right:
      MoveCursorTo(std::int64_t{cursor_} + 1);
      break;
    case Qt::Key_Up:
      MoveCursorTo(std::int64_t{cursor_} - kLineBytes);
      break;
    case Qt::Key_Down:
      MoveCursorTo(std::int64_t{cursor_} + kLineBytes);
      break;
    case Qt::Key_PageUp:  // the view and the cursor move together: the line keeps its place
      verticalScrollBar()->setValue(TopLine() - ShownLines());
      MoveCursorTo(std::int64_t{cursor_} - page);
      break;
    case Qt::Key_PageDown:
      verticalScrollBar()->setValue(TopLine() + ShownLines());
      MoveCursorTo(std::int64_t{cursor_} + page);
      break;
    case Qt::Key_Home:
      MoveCursorTo(control ? 0 : lineStart);
      break;
    case Qt::Key_End:
      MoveCursorTo(control ? std::int64_t{LineCount()} * kLineBytes : lineStart + kLineBytes - 1);
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      inCharacters_ = !inCharacters_;
      viewport()->update();
      break;
    default:
      return false;
  }
  pendingDigit_.reset();
  return true;
}

// Nothing is typed while an operation runs: the image may be what it burns or compares.
bool ImageView::TypeKey(const QString& text) {
  if (text.size() != 1 || model_.OperationRunning()) return false;
  const QChar typed = text[0];
  if (inCharacters_) {
    if (!Printable(typed)) return false;
    Type(static_cast<std::uint8_t>(typed.unicode()));
    return true;
  }
  const std::optional<int> digit = HexDigit(typed);
  if (!digit) return false;
  if (!pendingDigit_) {
    pendingDigit_ = digit;
    viewport()->update();
    return true;
  }
  Type(static_cast<std::uint8_t>(*pendingDigit_ * 16 + *digit));
  return true;
}

// The model moves its own cursor to a byte it took; a byte it refused leaves the cursor where it
// was, on the byte the operator is looking at.
void ImageView::Type(std::uint8_t byte) {
  pendingDigit_.reset();
  const std::uint32_t movesBefore = model_.buffers.CursorMoves;
  model_.TypeCodeBytes(cursor_, {byte});
  if (model_.buffers.CursorMoves != movesBefore) {
    seenCursorMoves_ = model_.buffers.CursorMoves;
    seenPage_ = model_.frmMain["VScroll1"].Value();
    MoveCursorTo(std::int64_t{cursor_} + 1);
  }
  viewport()->update();
  if (afterEvent) afterEvent();
}

void ImageView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const int line = LineAt(*event);
  const int x = event->position().toPoint().x();
  for (int index = 0; index < kLineBytes; ++index) {
    for (const bool characters : {false, true}) {
      if (x < Cell(index, characters, 0).left() || x > Cell(index, characters, 0).right()) continue;
      inCharacters_ = characters;
      pendingDigit_.reset();
      MoveCursorTo(std::int64_t{line} * kLineBytes + index);
      return;
    }
  }
}

// A double click saves the dump's page as it always has: the page of the line clicked, which the
// view keeps where it is.
void ImageView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || model_.OperationRunning()) return;
  model_.SetValue("VScroll1", LineAt(*event) / kPageLines);
  seenPage_ = model_.frmMain["VScroll1"].Value();
  model_.DblClick("BufferDisplay");
  if (afterEvent) afterEvent();
}

int ImageView::LineAt(const QMouseEvent& event) const {
  return TopLine() + event.position().toPoint().y() / LineHeight();
}

}  // namespace sorvell::gui
