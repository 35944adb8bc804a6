#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sorvell::common {

// Writes `contents` to `target` so that the target is either left as it was or replaced whole:
// the bytes go to a temporary file beside it, which is flushed and renamed over the target only
// when every byte is written. False with `error` set (naming the file and the cause) otherwise;
// the temporary file is removed.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         std::string& error);

}  // namespace sorvell::common
