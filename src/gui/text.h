#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace sorvell::gui {

inline QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStd(const QString& text) {
  return text.toStdString();
}

// The model keeps a text box's line breaks as CR LF; Qt's text widgets break lines on LF alone.
inline QString ToQtLines(std::string_view text) {
  QString converted = ToQt(text);
  converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return converted;
}

}  // namespace sorvell::gui
