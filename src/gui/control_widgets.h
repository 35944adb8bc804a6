#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QObject>
#include <QRadioButton>
#include <functional>

class QEvent;
class QPlainTextEdit;

namespace sorvell::gui {

// Check boxes and option buttons whose state only the model sets. A click does not toggle them:
// it asks the model, and the value the model settles on is rendered back. Option buttons are not
// auto-exclusive either, since the model clears an option's siblings itself.
class ModelCheckBox final : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

class ModelRadioButton final : public QRadioButton {
 public:
  explicit ModelRadioButton(QWidget* parent);

 protected:
  void nextCheckState() override {}
};

// A label for a text that may be far longer than the room it has (a file's path, a status line):
// it shows what fits, shortened where `mode` says, and never asks the window to grow for it.
// text() is still the whole text.
class ElidedLabel final : public QLabel {
 public:
  ElidedLabel(Qt::TextElideMode mode, QWidget* parent);
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Qt::TextElideMode mode_;
};

// Turns left-button presses and double clicks on a widget into the model's Click and DblClick;
// either callback may be empty.
class MouseForwarder final : public QObject {
 public:
  MouseForwarder(QObject* parent, std::function<void()> onPress,
                 std::function<void()> onDoubleClick);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> onPress_;
  std::function<void()> onDoubleClick_;
};

// Makes a text box at least large enough for `lines` lines of `columns` characters of its font.
void FitText(QPlainTextEdit& box, int columns, int lines);

}  // namespace sorvell::gui
