#include "board/backends/ppdev_port.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include "board/backends/parport_proc.h"

namespace sorvell::board {
namespace {

constexpr std::uint8_t kNothingAnswers = 0xFF;

bool IsOpen(int descriptor) {
  return descriptor >= 0;
}

std::string NothingListedMessage(const std::string& procRoot) {
  return "No parallel port is listed in " + procRoot +
         ": the kernel modules parport_pc and ppdev are not loaded. Load them with: sudo modprobe "
         "parport_pc ppdev (if nothing is listed after that, the kernel finds no parallel port "
         "on this machine).";
}

std::string Describe(const ParportEntry& entry) {
  const std::string name = "parport" + std::to_string(entry.number);
  return entry.base ? name + " at " + FormatAddress(*entry.base)
                    : name + " at an unreadable address";
}

std::string NoBoardBaseMessage(const std::vector<ParportEntry>& listed) {
  std::string ports;
  for (const ParportEntry& entry : listed) ports += (ports.empty() ? "" : ", ") + Describe(entry);
  return "No parallel port is at a board address (378h, 278h or 3BCh); the kernel lists " + ports +
         ". Map one to a board address, e.g. --board ppdev:/dev/parport" +
         std::to_string(listed.front().number) +
         "@378 (the board is then addressed at 378h), or set the port to a board address in the "
         "BIOS setup.";
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : "\n") + line;
  return joined;
}

std::string DevicePath(const PpdevPaths& paths, int number) {
  return paths.devRoot + "/parport" + std::to_string(number);
}

}  // namespace

bool PpdevPort::Claim(int slot, const PpdevPaths& paths, const std::string& device,
                      const std::string& role, std::vector<std::string>& failures) {
  PpdevClaim claim = paths.claim(device, role);
  if (!IsOpen(claim.descriptor)) {
    failures.push_back(std::move(claim.failure));
    return false;
  }
  descriptors_[slot] = claim.descriptor;
  names_[slot] = device + " (" + role + ")";
  return true;
}

std::unique_ptr<PpdevPort> PpdevPort::OpenMapped(std::string& error, const PpdevPaths& paths) {
  auto port = std::unique_ptr<PpdevPort>(new PpdevPort());  // releases on failure
  std::vector<std::string> failures;
  for (const PpdevMapping& mapping : paths.mapped) {
    const int slot = BaseSlot(mapping.base);
    if (slot == kNoSlot || IsOpen(port->descriptors_[slot])) {
      failures.push_back(mapping.device + ": " + FormatAddress(mapping.base) +
                         " is not a free board address (378h, 278h or 3BCh, each once).");
      continue;
    }
    port->Claim(slot, paths, mapping.device, "mapped to " + FormatAddress(mapping.base), failures);
  }
  error = JoinLines(failures);
  if (!failures.empty()) return nullptr;
  return port;
}

std::unique_ptr<PpdevPort> PpdevPort::Open(std::string& error, const PpdevPaths& paths) {
  if (!paths.mapped.empty()) return OpenMapped(error, paths);
  const std::vector<ParportEntry> listed = ListParports(paths.procRoot);
  if (listed.empty()) {
    error = NothingListedMessage(paths.procRoot);
    return nullptr;
  }
  auto port = std::unique_ptr<PpdevPort>(new PpdevPort());
  std::vector<std::string> failures;
  bool anyAtBoardBase = false;
  for (const ParportEntry& entry : listed) {
    const int slot = entry.base ? BaseSlot(*entry.base) : kNoSlot;
    if (slot == kNoSlot || IsOpen(port->descriptors_[slot])) continue;
    anyAtBoardBase = true;
    port->Claim(slot, paths, DevicePath(paths, entry.number),
                "the port at " + FormatAddress(kBoardBases[slot]), failures);
  }
  error = anyAtBoardBase ? JoinLines(failures) : NoBoardBaseMessage(listed);
  if (std::ranges::none_of(port->descriptors_, IsOpen)) return nullptr;
  return port;
}

PpdevPort::~PpdevPort() {
  for (const int descriptor : descriptors_) {
    if (IsOpen(descriptor)) ReleasePpdevDevice(descriptor);
  }
}

void PpdevPort::Call(int slot, unsigned long request, unsigned char& byte, bool write,
                     std::uint16_t offset) const {
  int result = 0;
  do {
    result = ::ioctl(descriptors_[slot], request, &byte);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return;
  const int error = errno;
  // Nothing read can be trusted and nothing written reached the board: the operation must end
  // here, not take FFh for an erased cell.
  throw PortFault(names_[slot] + ": " + AccessText(write, offset) + ": " +
                  std::system_category().message(error));
}

void PpdevPort::PortOut(std::uint16_t port, std::uint8_t value) {
  const PortSlot at = FindPortSlot(port);
  if (at.slot == kNoSlot || !IsOpen(descriptors_[at.slot])) return;
  unsigned char byte = value;
  // The status register has no outputs; a write there reaches nothing on the board.
  if (at.offset == 0) Call(at.slot, PPWDATA, byte, true, at.offset);
  if (at.offset == kControlOffset) Call(at.slot, PPWCONTROL, byte, true, at.offset);
}

std::uint8_t PpdevPort::PortIn(std::uint16_t port) {
  const PortSlot at = FindPortSlot(port);
  if (at.slot == kNoSlot || !IsOpen(descriptors_[at.slot])) return kNothingAnswers;
  // Control reads come from the kernel's copy of the four output lines the board uses.
  const unsigned long request = at.offset == 0               ? PPRDATA
                                : at.offset == kStatusOffset ? PPRSTATUS
                                                             : PPRCONTROL;
  unsigned char byte = kNothingAnswers;
  Call(at.slot, request, byte, false, at.offset);
  return byte;
}

std::vector<std::uint16_t> PpdevPort::Bases() const {
  std::vector<std::uint16_t> bases;
  for (int slot = 0; slot < kBoardBaseCount; ++slot) {
    if (IsOpen(descriptors_[slot])) bases.push_back(kBoardBases[slot]);
  }
  return bases;
}

}  // namespace sorvell::board
