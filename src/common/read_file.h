#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace sorvell::common {

enum class EmptyFile { kRefused, kAccepted };

// Reads a whole regular file of 1 to `maxBytes` bytes (0 to `maxBytes` when empty files are
// accepted) into `out`. Anything else that a path can
// name (a folder, a FIFO, a device such as /dev/zero, a socket, or a link to one of them) is
// refused without blocking and without reading it. False with `error` set to a short reason
// ("not a regular file", "larger than N bytes", "empty", "could not be read: ...", "could not be
// opened: ..."), the path not included, and `out` untouched.
bool ReadRegularFile(const std::filesystem::path& file, std::size_t maxBytes, std::string& out,
                     std::string& error, EmptyFile empty = EmptyFile::kRefused);

}  // namespace sorvell::common
