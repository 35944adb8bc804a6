#include "board/backends/direct_refusals.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <fstream>
#include <sstream>
#include <system_error>

#include "board/backends/parport_proc.h"
#include "board/backends/port_slots.h"

namespace sorvell::board {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPreferPpdev =
    " The ppdev backend (/dev/parportN) is the better choice: it needs only membership of the "
    "lp group.";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The running program's path, so the operator can paste the setcap line as it stands.
std::string ProgramPath() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "<program>";
}

std::optional<std::uint32_t> Hex(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A proc/ioports line ("  0378-037a : parport0") naming a parport driver over a board base.
std::optional<std::uint32_t> ParportRange(std::string_view line) {
  const auto colon = line.find(" : ");
  if (colon == std::string_view::npos || !line.substr(colon + 3).starts_with("parport")) {
    return std::nullopt;
  }
  std::string_view range = line.substr(0, colon);
  range.remove_prefix(std::min(range.find_first_not_of(' '), range.size()));
  const auto dash = range.find('-');
  const auto first = Hex(range.substr(0, dash));
  const auto last = dash == std::string_view::npos ? first : Hex(range.substr(dash + 1));
  if (!first || !last) return std::nullopt;
  for (const std::uint16_t base : kBoardBases) {
    if (*first <= base && base <= *last) return base;
  }
  return std::nullopt;
}

std::string OwnedBy(const std::string& driver, std::uint32_t base) {
  return "The port at " + FormatAddress(base) + " belongs to the kernel's parallel-port driver (" +
         driver +
         "), which may write its control port while the program works and so change the board's "
         "registers. Use the ppdev backend (--board ppdev), or unload the drivers first: sudo "
         "modprobe -r lp ppdev parport_pc.";
}

}  // namespace

std::string SelectedLockdown(const fs::path& root) {
  // The file lists every mode and brackets the one in force: "none [integrity] confidentiality".
  const std::string text = ReadAll(root / "sys/kernel/security/lockdown");
  const auto open = text.find('[');
  const auto close = text.find(']', open);
  if (open == std::string::npos || close == std::string::npos) return {};
  return text.substr(open + 1, close - open - 1);
}

std::string NoDirectIoMessage() {
  return std::string("Direct port I/O exists only on x86 machines.") + kPreferPpdev;
}

std::string KernelOwnedMessage(const fs::path& root) {
  for (const ParportEntry& entry : ListParports((root / "proc/sys/dev/parport").string())) {
    if (entry.base && BaseSlot(*entry.base) != kNoSlot) {
      return OwnedBy("parport" + std::to_string(entry.number), *entry.base);
    }
  }
  std::istringstream ioports(ReadAll(root / "proc/ioports"));
  for (std::string line; std::getline(ioports, line);) {
    if (const auto base = ParportRange(line))
      return OwnedBy(line.substr(line.find(" : ") + 3), *base);
  }
  return {};
}

std::string RefusedMessage(int errorNumber, bool privileged, const fs::path& root) {
  const std::string cause = "(ioperm: " + std::system_category().message(errorNumber) + ")";
  if (errorNumber == EPERM && privileged) {
    const std::string mode = SelectedLockdown(root);
    if (!mode.empty() && mode != "none") {
      return "Direct port access was refused " + cause +
             " although the program has the "
             "privilege: the kernel is locked down [" +
             mode +
             "], as under Secure Boot, and "
             "lockdown blocks raw port access for every process, root included." +
             kPreferPpdev;
    }
  }
  if (errorNumber == EPERM || errorNumber == EACCES) {
    return "Direct port access was refused " + cause +
           ": it needs root or the CAP_SYS_RAWIO capability, e.g. sudo setcap cap_sys_rawio+ep " +
           ProgramPath() +
           " (the console program only: never the window, which runs a whole "
           "toolkit)." +
           kPreferPpdev;
  }
  if (errorNumber == ENOSYS) {
    return "Direct port access is not available: this kernel was built without it " + cause + "." +
           kPreferPpdev;
  }
  return "Direct port access failed " + cause + "." + kPreferPpdev;
}

}  // namespace sorvell::board
