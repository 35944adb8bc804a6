#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

#include "board/backends/raw_ports.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define SORVELL_DIRECT_IO 1
#else
#define SORVELL_DIRECT_IO 0
#endif

namespace sorvell::board {

#if SORVELL_DIRECT_IO
namespace {

// The capability sets by the kernel's own interface (version 3: two 32-bit words per set), so no
// library is needed for two calls.
struct CapabilitySets {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
};

class Machine final : public RawPorts {
 public:
  int Grant(std::uint16_t first, std::uint16_t count, bool on) override {
    return ::ioperm(first, count, on ? 1 : 0) == 0 ? 0 : errno;
  }
  std::uint8_t In(std::uint16_t port) override { return ::inb(port); }
  void Out(std::uint16_t port, std::uint8_t value) override { ::outb(value, port); }

  bool Privileged() override {
    if (::geteuid() == 0) return true;
    CapabilitySets caps;
    if (::syscall(SYS_capget, &caps.header, caps.data) != 0) return false;
    return (caps.data[CAP_TO_INDEX(CAP_SYS_RAWIO)].effective & CAP_TO_MASK(CAP_SYS_RAWIO)) != 0;
  }

  // Empty effective, permitted and inheritable sets, and no ambient ones: nothing this process
  // runs later (a help viewer, a sound player) can inherit raw I/O.
  void DropCapabilities() override {
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    CapabilitySets none;
    ::syscall(SYS_capset, &none.header, none.data);
  }
};

}  // namespace

std::unique_ptr<RawPorts> MachinePorts() {
  return std::make_unique<Machine>();
}

#else

std::unique_ptr<RawPorts> MachinePorts() {
  return nullptr;
}

#endif

}  // namespace sorvell::board
