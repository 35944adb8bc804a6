#include "board/backends/direct_port.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#define SORVELL_DIRECT_IO 1
#include <sys/io.h>
#else
#define SORVELL_DIRECT_IO 0
#endif

namespace sorvell::board {
namespace {

constexpr std::uint8_t kNothingAnswers = 0xFF;

constexpr const char* kPreferPpdev =
    " The ppdev backend (/dev/parportN) is the better choice: it needs only membership of the "
    "lp group.";

// The running program's path, so the operator can paste the setcap line as it stands.
std::string ProgramPath() {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "<program>";
}

[[maybe_unused]] std::string RefusedMessage(int errorNumber) {
  const std::string cause = "(ioperm: " + std::system_category().message(errorNumber) + ")";
  if (errorNumber == EPERM || errorNumber == EACCES) {
    return "Direct port access was refused " + cause +
           ": it needs root or the CAP_SYS_RAWIO capability, e.g. sudo setcap cap_sys_rawio+ep " +
           ProgramPath() + "." + kPreferPpdev;
  }
  if (errorNumber == ENOSYS) {
    return "Direct port access is not available: this kernel was built without it " + cause + "." +
           kPreferPpdev;
  }
  return "Direct port access failed " + cause + "." + kPreferPpdev;
}

}  // namespace

#if SORVELL_DIRECT_IO

std::unique_ptr<DirectPort> DirectPort::Open(std::string& error) {
  Grants granted{};
  int refusal = 0;
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    granted[slot] = ::ioperm(kBoardBases[slot], kRegistersPerBase, 1) == 0;
    if (!granted[slot]) refusal = errno;
  }
  if (std::ranges::none_of(granted, std::identity{})) {
    error = RefusedMessage(refusal);
    return nullptr;
  }
  error.clear();
  return std::unique_ptr<DirectPort>(new DirectPort(granted));
}

DirectPort::~DirectPort() {
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    if (granted_[slot]) ::ioperm(kBoardBases[slot], kRegistersPerBase, 0);
  }
}

void DirectPort::PortOut(std::uint16_t port, std::uint8_t value) noexcept {
  if (Granted(port)) ::outb(value, port);
}

std::uint8_t DirectPort::PortIn(std::uint16_t port) noexcept {
  return Granted(port) ? ::inb(port) : kNothingAnswers;
}

#else  // Port I/O instructions exist only on x86; elsewhere this backend never opens.

std::unique_ptr<DirectPort> DirectPort::Open(std::string& error) {
  error = std::string("Direct port I/O exists only on x86 machines.") + kPreferPpdev;
  return nullptr;
}

DirectPort::~DirectPort() = default;

void DirectPort::PortOut(std::uint16_t, std::uint8_t) noexcept {}

std::uint8_t DirectPort::PortIn(std::uint16_t) noexcept {
  return kNothingAnswers;
}

#endif

bool DirectPort::Granted(std::uint16_t port) const noexcept {
  const PortSlot at = FindPortSlot(port);
  return at.slot != kNoSlot && granted_[at.slot];
}

std::vector<std::uint16_t> DirectPort::Bases() const {
  std::vector<std::uint16_t> bases;
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    if (granted_[slot]) bases.push_back(kBoardBases[slot]);
  }
  return bases;
}

}  // namespace sorvell::board
