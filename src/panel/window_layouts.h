#pragma once

#include "panel/form.h"

namespace sorvell::panel {

// The maker's banner and version, in the window caption, the saved log and the About box.
inline constexpr const char* kMakerBanner = "Sorvell Device Programmers";
inline constexpr const char* kVersionText = "1.0.66";
inline constexpr const char* kApplicationTitle = "Sorvell";
inline constexpr const char* kMainWindowCaption =
    "SORVELL-6 Eprom Programmer - Sorvell Device Programmers - (Version 1.0.66)";

// Adds the main window's controls, menu bar and toolbar with their design-time state.
void BuildMainWindow(Form& form);
// The About box and the second display window.
void BuildAboutWindow(Form& form);
void BuildDisplayWindow(Form& form);
// The record of the parts: a filter box, the table of the last records, Filter and OK.
void BuildHistoryWindow(Form& form);

// The toolbar's buttons by their 1-based index (3 is the separator).
Control& ToolbarButton(Form& form, int index);

}  // namespace sorvell::panel
