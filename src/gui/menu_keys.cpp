#include "gui/menu_keys.h"

#include <QAction>
#include <QKeySequence>

#include "gui/form_view.h"

namespace sorvell::gui {

namespace {

struct MenuKey {
  const char* entry;
  const char* keys;
};

constexpr MenuKey kMenuKeys[] = {
    {"mnuFileOpenCode", "Ctrl+O"},
    {"mnuFileSaveCode", "Ctrl+S"},
    {"mnuFileSaveCodeAs", "Ctrl+Shift+S"},
    {"mnuFileExit", "Ctrl+Q"},
    {"mnuHelpContents", "F1"},
    {"mnuImageUndo", "Ctrl+Z"},
    {"mnuImageRedo", "Ctrl+Y"},
    {"mnuImageGoTo", "Ctrl+G"},
    {"mnuImageFind", "Ctrl+F"},
    {"mnuImageFindNext", "F3"},
};

}  // namespace

void AddMenuKeys(const FormView& view) {
  for (const MenuKey& key : kMenuKeys) {
    if (QAction* action = view.Action(key.entry)) {
      action->setShortcut(QKeySequence(QString::fromLatin1(key.keys)));
    }
  }
}

}  // namespace sorvell::gui
