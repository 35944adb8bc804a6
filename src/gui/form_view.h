#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "panel/form.h"

class QAction;
class QGroupBox;
class QMenu;
class QMenuBar;
class QWidget;

class QPlainTextEdit;

namespace sorvell::gui {

// What the operator does to a window's controls, passed on by control name. Each answers false
// when the control has no such event; an empty function drops the event.
struct FormEvents {
  std::function<bool(std::string_view name)> click;
  std::function<bool(std::string_view name)> dblClick;
  std::function<bool(std::string_view name, int value)> setValue;
  std::function<bool(std::string_view name, std::string text)> setText;
};

// The length and a running FNV-1a hash of what a multi-line box shows: enough to tell whether a
// change notice carries new text without keeping a second copy of a long log.
struct TextFingerprint {
  std::size_t size = 0;
  std::uint64_t hash = 14695981039346656037ull;

  void Add(std::string_view text);
  static TextFingerprint Of(std::string_view text);
  bool operator==(const TextFingerprint&) const = default;
};

// Renders every control of a Form as a Qt widget, action or menu named after the control, keeps
// each in step with the model through the form's listeners, and passes the operator's events
// back. Widgets are created as children of `root` (frames hold their own controls in a row);
// the window places the rest. Operations run long loops on the one thread, so every change is
// painted at once rather than on return to the event loop.
class FormView final : public QObject {
 public:
  FormView(panel::Form& form, QWidget& root, FormEvents events);

  QWidget* Widget(std::string_view name) const;
  QAction* Action(std::string_view name) const;  // menu entries and toolbar buttons
  QMenu* Menu(std::string_view name) const;
  QMenuBar* MenuBar() const { return menuBar_; }  // null when the form has no menus
  template <typename T>
  T* As(std::string_view name) const {
    return qobject_cast<T*>(Widget(name));
  }

  // The widgets that sit on the window itself rather than in a frame, in design order.
  std::vector<const panel::Control*> TopLevelControls() const;

  // Brings one control's widget to the model's state.
  void Render(const panel::Control& control);

  // While an operation runs, every control that could start something else is shown inactive
  // (the Stop button excepted), whatever the model says; unlocking renders all from the model.
  void SetLocked(bool locked);
  bool Locked() const { return locked_; }
  // Run after each operator event the view passed on has been handled.
  std::function<void()> afterEvent;

 private:
  struct Binding {
    QWidget* widget = nullptr;
    QAction* action = nullptr;
    QMenu* menu = nullptr;
    TextFingerprint text;  // multi-line boxes
  };

  void RenderMarks(const panel::Control& control, QPlainTextEdit& box);
  void Create(const panel::Control& control);
  QWidget* CreateWidget(const panel::Control& control, QWidget& parent);
  void CreateEntry(const panel::Control& control, Binding& binding);
  void PlaceInFrame(const panel::Control& control, QWidget& widget, QGroupBox& frame);
  void FinishFrames();
  void Wire(const panel::Control& control, const Binding& binding);
  void WireWidget(const std::string& name, panel::ControlKind kind, QWidget& widget);
  void RenderText(const panel::Control& control, Binding& binding);
  void OnChanged(const panel::Control& control);
  void OnAppended(const panel::Control& control, std::string_view appended);
  void Forward(const std::string& name, const std::function<bool()>& event);
  const Binding* Find(std::string_view name) const;

  panel::Form& form_;
  QWidget& root_;
  FormEvents events_;
  QMenuBar* menuBar_ = nullptr;
  std::unordered_map<std::string, Binding> bindings_;
  std::vector<QGroupBox*> framesWithoutStretch_;
  bool rendering_ = false;
  bool locked_ = false;
};

}  // namespace sorvell::gui
