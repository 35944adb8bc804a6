#pragma once

namespace sorvell::gui {

class FormView;

// Gives the menu entries that every desktop program has their usual keys (Ctrl+O, Ctrl+S, F1,
// Ctrl+Q...). A key acts only while its entry is enabled, so it is refused during a run and
// before there is something to save, as the entry is.
void AddMenuKeys(const FormView& view);

}  // namespace sorvell::gui
