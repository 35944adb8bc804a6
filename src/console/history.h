#pragma once

#include <cstdio>
#include <filesystem>

#include "console/options.h"

namespace sorvell::console {

// `sorvell-cli history`: the records of the data folder that the filters let through, newest
// first, as a table, JSON or CSV. Needs no board. Returns the exit status.
int PrintHistory(const Command& command, const std::filesystem::path& dataFolder, std::FILE* out,
                 std::FILE* err);

}  // namespace sorvell::console
