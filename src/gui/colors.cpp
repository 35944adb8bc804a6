#include "gui/colors.h"

#include <optional>

namespace sorvell::gui {

namespace {

constexpr std::uint32_t kSystemColorFlag = 0x80000000;

// The system colour indices the window system numbers, as Qt palette roles.
std::optional<QPalette::ColorRole> SystemRole(std::uint32_t index) {
  switch (index) {
    case 4:
      return QPalette::Window;  // menu background
    case 5:
      return QPalette::Base;  // window background
    case 7:
      return QPalette::WindowText;  // menu text
    case 8:
      return QPalette::Text;  // window text
    case 13:
      return QPalette::Highlight;  // selection
    case 14:
      return QPalette::HighlightedText;  // selected text
    case 15:
      return QPalette::Button;  // button face
    case 16:
      return QPalette::Mid;  // button shadow
    case 17:
      return QPalette::PlaceholderText;  // grey text
    case 18:
      return QPalette::ButtonText;  // button text
    case 20:
      return QPalette::Light;  // button highlight
    case 21:
      return QPalette::Shadow;  // 3D dark shadow
    case 22:
      return QPalette::Midlight;  // 3D light
    case 23:
      return QPalette::ToolTipText;  // tool tip text
    case 24:
      return QPalette::ToolTipBase;  // tool tip background
    default:
      return std::nullopt;
  }
}

}  // namespace

QColor ResolveColor(std::uint32_t color, const QPalette& palette) {
  if ((color & kSystemColorFlag) != 0) {
    const auto role = SystemRole(color & 0xFF).value_or(QPalette::WindowText);
    return palette.color(QPalette::Active, role);
  }
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace sorvell::gui
