#pragma once

#include <cstdio>

#include "shell/system_check.h"

namespace sorvell::console {

// --system-info: the system report, or the line saying it is unavailable. The exit status.
int PrintSystemInfo(const shell::SystemCheck& check, std::FILE* out);

}  // namespace sorvell::console
