#pragma once

#include <cstdio>
#include <string>

#include "panel/edges.h"

namespace sorvell::panel {

// hh:mm:ss, 24-hour.
inline std::string TimeText(const LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

// mm-dd-yyyy.
inline std::string DateText(const LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", t.month, t.day, t.year);
  return text;
}

}  // namespace sorvell::panel
