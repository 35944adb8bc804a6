#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "shell/main_form.h"

class QPainter;

namespace sorvell::gui {

// Where byte `index` (0 to 15) of a dump line sits in its text: two hex digits after the address
// and "| ", a blank after every fourth byte; the characters follow after " | ".
constexpr int HexColumn(int index) {
  return 8 + 2 * index + index / 4;
}
constexpr int CharColumn(int index) {
  return 46 + index;
}

// The code image as one scrolling dump, sixteen bytes to a line, over the bytes the image and the
// part span. Only the lines in sight are painted, so a 1 MB image scrolls as lightly as a small
// one. A cursor sits on one byte, in the hex or the character column; what the operator types
// there goes to the model as typed bytes, one undoable change per byte.
class ImageView final : public QAbstractScrollArea {
 public:
  explicit ImageView(shell::MainForm& model, QWidget* parent = nullptr);

  // After each operator event: the extent may have grown, the bytes changed, go-to or find moved
  // the cursor, or Next Difference chose another page.
  void Follow();

  std::int32_t Cursor() const { return cursor_; }
  bool CursorInCharacters() const { return inCharacters_; }
  int TopLine() const;
  int LineCount() const;
  int ShownLines() const;  // whole lines the view has room for
  QString LineText(int line) const;
  // Where a byte's hex digits or character sit in the viewport (above or below it when out of
  // sight).
  QRect ByteCell(std::int32_t address, bool characters) const;

  // Run after the view passed an event to the model (the window then takes up its title).
  std::function<void()> afterEvent;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // Tab switches between the hex and the character column instead of leaving the view.
  bool focusNextPrevChild(bool next) override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 private:
  void UpdateScrollRange();
  void PaintMarks(QPainter& painter, int line, int y) const;
  void PaintCursor(QPainter& painter, int line, int y) const;
  QRect Cell(int index, bool characters, int y) const;
  bool MoveByKey(const QKeyEvent& event);
  bool TypeKey(const QString& text);
  void Type(std::uint8_t byte);
  void MoveCursorTo(std::int64_t address);
  void EnsureCursorVisible();
  int LineAt(const QMouseEvent& event) const;
  int CharWidth() const;
  int LineHeight() const;

  shell::MainForm& model_;
  std::int32_t cursor_ = 0;
  bool inCharacters_ = false;
  std::optional<int> pendingDigit_;  // the first hex digit of a byte being typed
  std::uint32_t seenCursorMoves_;
  int seenPage_;
};

}  // namespace sorvell::gui
