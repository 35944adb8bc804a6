#pragma once

#include <string_view>

#include "panel/form.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace sorvell::gui {

// Push the model's state of one control into its widget, action or menu. The caller blocks the
// widget's signals, so nothing done here travels back to the model. A multi-line text box's text
// is left to the caller, which knows whether it changed (re-setting a long log is slow).
void RenderWidget(const panel::Control& control, QWidget& widget);
void RenderAction(const panel::Control& control, QAction& action);
void RenderMenu(const panel::Control& control, QMenu& menu);

// A multi-line box's whole text, and text appended to it (which starts a new line with CR LF):
// the caret and the view follow the newest line.
// A log follows its newest line to the end; a page of a dump is shown from its top.
void SetLines(QPlainTextEdit& box, std::string_view text, bool followEnd);
void AppendLines(QPlainTextEdit& box, std::string_view appended, bool followEnd);

// The object name of the label inside a status bar that shows the status bar's caption.
inline constexpr const char* kStatusCaptionName = "caption";

}  // namespace sorvell::gui
