#include "panel/form.h"

#include <cstdio>
#include <cstdlib>

namespace sorvell::panel {

std::string_view KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kFrame:
      return "frame";
    case ControlKind::kLabel:
      return "label";
    case ControlKind::kButton:
      return "button";
    case ControlKind::kCheckBox:
      return "checkbox";
    case ControlKind::kOptionButton:
      return "option";
    case ControlKind::kTextBox:
      return "textbox";
    case ControlKind::kMultiLineTextBox:
      return "multiline";
    case ControlKind::kDropDownList:
      return "list";
    case ControlKind::kScrollBar:
      return "scrollbar";
    case ControlKind::kSlider:
      return "slider";
    case ControlKind::kProgressBar:
      return "progressbar";
    case ControlKind::kToolbar:
      return "toolbar";
    case ControlKind::kToolbarButton:
      return "toolbutton";
    case ControlKind::kToolbarSeparator:
      return "toolseparator";
    case ControlKind::kStatusBar:
      return "statusbar";
    case ControlKind::kFileDialog:
      return "filedialog";
    case ControlKind::kTimer:
      return "timer";
    case ControlKind::kPicture:
      return "picture";
    case ControlKind::kMenu:
      return "menu";
    case ControlKind::kMenuItem:
      return "menuitem";
    case ControlKind::kMenuSeparator:
      return "separator";
  }
  return "control";
}

Control::Control(Form& form, std::string name, ControlKind kind, std::string caption,
                 std::string toolTip, std::string container)
    : form_(form),
      name_(std::move(name)),
      kind_(kind),
      caption_(std::move(caption)),
      toolTip_(std::move(toolTip)),
      container_(std::move(container)) {}

void Control::Changed() {
  if (form_.onChanged) form_.onChanged(*this);
}

void Control::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}

void Control::AppendText(std::string_view text) {
  caption_.append(text);
  if (form_.onAppended) form_.onAppended(*this, text);
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

void Control::SetValue(int value) {
  if (value == value_) return;
  value_ = value;
  Changed();
}

void Control::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  Changed();
}

void Control::SetForeColor(std::uint32_t color) {
  if (color == foreColor_) return;
  foreColor_ = color;
  Changed();
}

void Control::SetBackColor(std::uint32_t color) {
  if (color == backColor_) return;
  backColor_ = color;
  Changed();
}

void Control::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  Changed();
}

void Control::SetMarks(std::vector<TextMark> marks) {
  if (marks == marks_) return;
  marks_ = std::move(marks);
  Changed();
}

std::string Control::ValueText() const {
  if (kind_ == ControlKind::kOptionButton) return value_ ? "True" : "False";
  return std::to_string(value_);
}

Form::Form(std::string name, std::string caption)
    : name_(std::move(name)), caption_(std::move(caption)) {}

Control& Form::Add(std::string name, ControlKind kind, std::string caption, std::string toolTip,
                   std::string container) {
  index_.emplace(name, controls_.size());
  return controls_.emplace_back(*this, std::move(name), kind, std::move(caption),
                                std::move(toolTip), std::move(container));
}

Control* Form::Find(std::string_view name) {
  const auto it = index_.find(std::string(name));
  return it == index_.end() ? nullptr : &controls_[it->second];
}

Control& Form::operator[](std::string_view name) {
  Control* control = Find(name);
  if (control == nullptr) {
    // A misspelt control name is a programming error: stop loudly rather than act on nothing.
    std::fprintf(stderr, "internal error: no control named %.*s on %s\n",
                 static_cast<int>(name.size()), name.data(), name_.c_str());
    std::abort();
  }
  return *control;
}

const Control& Form::operator[](std::string_view name) const {
  return const_cast<Form&>(*this)[name];
}

}  // namespace sorvell::panel
