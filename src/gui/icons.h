#pragma once

#include <QIcon>

namespace sorvell::gui {

// The program's own pictures, drawn here rather than shipped or downloaded: the toolbar's
// "Open" (a folder) and "Save" (a disk), and the application's icon (a chip in its socket).
QIcon OpenIcon();
QIcon SaveIcon();
QIcon ApplicationIcon();

}  // namespace sorvell::gui
