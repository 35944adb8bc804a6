#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace sorvell::gui {

// A model colour as a QColor: plain colours are 00BBGGRRh; 80000000h plus an index names one of
// the system's own colours (button face, button text...), taken from the widget's palette so the
// window follows the desktop theme.
QColor ResolveColor(std::uint32_t color, const QPalette& palette);

// The light red ground under the dump's marked bytes (those that differed in the last compare).
inline const QColor kMarkedGround(255, 170, 170);

}  // namespace sorvell::gui
