#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sorvell::panel {

enum class ControlKind {
  kFrame,
  kLabel,
  kButton,
  kCheckBox,
  kOptionButton,
  kTextBox,
  kMultiLineTextBox,
  kDropDownList,
  kScrollBar,
  kSlider,
  kProgressBar,
  kToolbar,
  kToolbarButton,
  kToolbarSeparator,
  kStatusBar,
  kFileDialog,
  kTimer,
  kPicture,
  kMenu,
  kMenuItem,
  kMenuSeparator,
};

std::string_view KindName(ControlKind kind);

// Colours as the window system numbers them: 00BBGGRRh for plain colours, 80000000h plus an
// index for the system's own colours, which a view maps to its palette.
inline constexpr std::uint32_t kRed = 255;
inline constexpr std::uint32_t kGreen = 32768;
inline constexpr std::uint32_t kButtonFace = 0x8000000F;
inline constexpr std::uint32_t kButtonText = 0x80000012;

class Form;

// One control of a window, by its own name ("Read_button", "LPTSelection(1)",
// "tbToolBar:OpenCode"). Every change goes through a setter, which tells the views at once: the
// operations run on the one thread and lamps and progress must move while they run.
// A span of a text box's text shown marked: a byte of the dump that differs from the part.
struct TextMark {
  int line;
  int column;
  int length;

  bool operator==(const TextMark&) const = default;
};

class Control {
 public:
  Control(Form& form, std::string name, ControlKind kind, std::string caption, std::string toolTip,
          std::string container);

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  const std::string& Caption() const { return caption_; }  // caption, or a text box's text
  const std::string& ToolTip() const { return toolTip_; }
  const std::string& Container() const { return container_; }  // frame, menu or toolbar
  bool Enabled() const { return enabled_; }
  bool Visible() const { return visible_; }
  // Check box 0/1, option 0/1 (False/True), slider or scroll position, progress, list index.
  int Value() const { return value_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  std::uint32_t ForeColor() const { return foreColor_; }
  std::uint32_t BackColor() const { return backColor_; }
  const std::vector<std::string>& Items() const { return items_; }  // a list's entries
  const std::vector<TextMark>& Marks() const { return marks_; }     // a text box's marked spans

  void SetCaption(std::string caption);
  void AppendText(std::string_view text);  // a text box that only grows, such as the log
  void SetEnabled(bool enabled);
  void SetVisible(bool visible);
  void SetValue(int value);
  void SetRange(int minimum, int maximum);
  void SetForeColor(std::uint32_t color);
  void SetBackColor(std::uint32_t color);
  void SetItems(std::vector<std::string> items);
  void SetMarks(std::vector<TextMark> marks);

  // The value as the console shows it: True/False for options, a number otherwise.
  std::string ValueText() const;

 private:
  void Changed();

  Form& form_;
  std::string name_;
  ControlKind kind_;
  std::string caption_;
  std::string toolTip_;
  std::string container_;
  bool enabled_ = true;
  bool visible_ = true;
  int value_ = 0;
  int minimum_ = 0;
  int maximum_ = 0;
  std::uint32_t foreColor_ = kButtonText;
  std::uint32_t backColor_ = kButtonFace;
  std::vector<std::string> items_;
  std::vector<TextMark> marks_;
};

// A window as data: its caption, its controls in design order, and listeners that views attach
// to repaint what changed.
class Form {
 public:
  Form(std::string name, std::string caption);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  // The window's title; views take it up when they next render.
  void SetCaption(std::string caption) { caption_ = std::move(caption); }

  Control& Add(std::string name, ControlKind kind, std::string caption = "",
               std::string toolTip = "", std::string container = "");
  Control& operator[](std::string_view name);  // the control must exist
  const Control& operator[](std::string_view name) const;
  Control* Find(std::string_view name);
  const std::deque<Control>& Controls() const { return controls_; }

  // Views listen here. `appended` carries only the new text of an AppendText.
  std::function<void(const Control&)> onChanged;
  std::function<void(const Control&, std::string_view appended)> onAppended;

 private:
  friend class Control;
  std::string name_;
  std::string caption_;
  std::deque<Control> controls_;
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace sorvell::panel
