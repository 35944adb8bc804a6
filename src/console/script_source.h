#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace sorvell::console {

// The longest operator script read: far more than any operator writes, little enough to hold.
inline constexpr std::size_t kMaxScriptBytes = 1024 * 1024;

// Reads a whole operator script before any line runs, so a script that cannot be read whole runs
// not at all: `name` is a regular file of at most kMaxScriptBytes, or "-" for `standardInput`.
// False with `error` saying why ("the script NAME is not a regular file").
bool ReadScript(const std::string& name, std::istream& standardInput, std::string& text,
                std::string& error);

}  // namespace sorvell::console
