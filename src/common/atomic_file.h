#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace sorvell::common {

// Writes `contents` to `target` so that the target is either left as it was or replaced whole:
// the bytes go to a temporary file beside it (".NAME.sorvell-tmp-XXXXXX"), which is flushed and
// renamed over the target only when every byte is written. A replaced file keeps its mode; a new
// one gets 0666 less the umask. A target without any write permission (mode 0444, even for root,
// as editors do) or that the user may not write is left alone. A target that is a link is written
// through: the file it points to is replaced. False with `error` set (naming the file and the
// cause) otherwise; the temporary file is removed.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         std::string& error);

// Removes temporary files that a save killed half way left in `folder`: regular files named like
// the temporaries above, nothing else. Only one instance of the program writes into a folder at
// a time, so at start-up any such file is stale. Returns how many were removed.
int RemoveStaleTemporaries(const std::filesystem::path& folder);

// The temporary's name for `target`, without the six random characters.
std::string TemporaryPrefix(const std::filesystem::path& target);

namespace detail {
// The write(2) the saver calls; tests hand in one that fails in ways a disk rarely does.
using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view contents,
                         std::string& error, WriteFunction write);
}  // namespace detail

}  // namespace sorvell::common
