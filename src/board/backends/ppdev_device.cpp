#include "board/backends/ppdev_device.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace sorvell::board {
namespace {

std::string Describe(int errorNumber) {
  return std::system_category().message(errorNumber);
}

std::string OpenFailure(const std::string& where, bool named, int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
      // A node the operator typed may simply be misspelt; one taken from the kernel's list is not.
      if (named) {
        return where + " does not exist: check the name (ls /dev/parport*), or load the ppdev " +
               "kernel module: sudo modprobe ppdev";
      }
      return where + " does not exist: the ppdev kernel module is not loaded. Load it with: " +
             "sudo modprobe ppdev";
    case EACCES:
    case EPERM:
      return "Permission denied opening " + where +
             ": add your user to the lp group (sudo usermod -aG lp $USER) and log in again.";
    default:
      return "Cannot open " + where + ": " + Describe(errorNumber) + ".";
  }
}

std::string ClaimFailure(const std::string& where, int errorNumber) {
  switch (errorNumber) {
    case ENOTTY:
    case EINVAL:
      return where + " is not a ppdev parallel port device (" + Describe(errorNumber) + ").";
    case EBUSY:
    case ENXIO:
      return where + " is busy: another driver holds the port, usually the printer driver lp. " +
             "Unload it with: sudo rmmod lp (or close the other program using the port).";
    default:
      return "Cannot claim " + where + ": " + Describe(errorNumber) + ".";
  }
}

PpdevClaim Fail(int descriptor, std::string failure) {
  if (descriptor >= 0) ::close(descriptor);
  return {-1, std::move(failure)};
}

}  // namespace

PpdevClaim ClaimPpdevDevice(const std::string& device, const std::string& role) {
  const std::string where = device + " (" + role + ")";
  const int descriptor = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (descriptor < 0) return Fail(-1, OpenFailure(where, role.starts_with("mapped"), errno));
  // Exclusive, because a shared claim sleeps for as long as another driver holds the port, and
  // because the board must not see another driver's traffic between two of our accesses.
  if (::ioctl(descriptor, PPEXCL) != 0 || ::ioctl(descriptor, PPCLAIM) != 0) {
    return Fail(descriptor, ClaimFailure(where, errno));
  }
  return {descriptor, {}};
}

void ReleasePpdevDevice(int descriptor) {
  ::ioctl(descriptor, PPRELEASE);
  ::close(descriptor);
}

}  // namespace sorvell::board
