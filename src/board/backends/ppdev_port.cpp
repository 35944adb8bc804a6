#include "board/backends/ppdev_port.h"

#include <algorithm>

#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include "board/backends/parport_proc.h"
#include "board/backends/ppdev_device.h"

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

std::unique_ptr<PpdevPort> PpdevPort::OpenMapped(std::string& error, const PpdevPaths& paths) {
  Descriptors descriptors;
  descriptors.fill(-1);
  auto port = std::unique_ptr<PpdevPort>(new PpdevPort(descriptors));  // releases on failure
  std::vector<std::string> failures;
  for (const PpdevMapping& mapping : paths.mapped) {
    const int slot = BaseSlot(mapping.base);
    if (slot == kNoSlot || IsOpen(port->descriptors_[slot])) {
      failures.push_back(mapping.device + ": " + FormatAddress(mapping.base) +
                         " is not a free board address (378h, 278h or 3BCh, each once).");
      continue;
    }
    PpdevClaim claim = ClaimPpdevDevice(mapping.device, "mapped to " + FormatAddress(mapping.base));
    port->descriptors_[slot] = claim.descriptor;
    if (!IsOpen(claim.descriptor)) failures.push_back(std::move(claim.failure));
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
  Descriptors descriptors;
  descriptors.fill(-1);
  std::vector<std::string> failures;
  bool anyAtBoardBase = false;
  for (const ParportEntry& entry : listed) {
    const int slot = entry.base ? BaseSlot(*entry.base) : kNoSlot;
    if (slot == kNoSlot || IsOpen(descriptors[slot])) continue;
    anyAtBoardBase = true;
    PpdevClaim claim = ClaimPpdevDevice(DevicePath(paths, entry.number),
                                        "the port at " + FormatAddress(kBoardBases[slot]));
    descriptors[slot] = claim.descriptor;
    if (!IsOpen(claim.descriptor)) failures.push_back(std::move(claim.failure));
  }
  error = anyAtBoardBase ? JoinLines(failures) : NoBoardBaseMessage(listed);
  if (std::ranges::none_of(descriptors, IsOpen)) return nullptr;
  return std::unique_ptr<PpdevPort>(new PpdevPort(descriptors));
}

PpdevPort::~PpdevPort() {
  for (const int descriptor : descriptors_) {
    if (IsOpen(descriptor)) ReleasePpdevDevice(descriptor);
  }
}

void PpdevPort::PortOut(std::uint16_t port, std::uint8_t value) noexcept {
  const PortSlot at = FindPortSlot(port);
  if (at.slot == kNoSlot || !IsOpen(descriptors_[at.slot])) return;
  unsigned char byte = value;
  // The status register has no outputs; a write there reaches nothing on the board.
  if (at.offset == 0) ::ioctl(descriptors_[at.slot], PPWDATA, &byte);
  if (at.offset == kControlOffset) ::ioctl(descriptors_[at.slot], PPWCONTROL, &byte);
}

std::uint8_t PpdevPort::PortIn(std::uint16_t port) noexcept {
  const PortSlot at = FindPortSlot(port);
  if (at.slot == kNoSlot || !IsOpen(descriptors_[at.slot])) return kNothingAnswers;
  // Control reads come from the kernel's copy of the four output lines the board uses.
  const unsigned long request = at.offset == 0               ? PPRDATA
                                : at.offset == kStatusOffset ? PPRSTATUS
                                                             : PPRCONTROL;
  unsigned char byte = kNothingAnswers;
  if (::ioctl(descriptors_[at.slot], request, &byte) != 0) return kNothingAnswers;
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
