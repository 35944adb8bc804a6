#include "board/backends/extended_control.h"

#include "board/port_io.h"

namespace sorvell::board {
namespace {

constexpr std::uint8_t kFifoBits = 0x03;   // bit 1 FIFO full, bit 0 FIFO empty
constexpr std::uint8_t kFifoEmpty = 0x01;  // what an idle ECR reads there
constexpr std::uint8_t kAutoFeed = 0x02;   // control bit 1, toggled to unmask an alias

// On a card that decodes only ten address bits, base + 402h reads the control port. The ECR's
// two FIFO bits then follow control bits 1..0; a real ECR's do not follow a change of bit 1.
bool FollowsControl(RawPorts& ports, std::uint16_t base, std::uint8_t ecr) {
  const std::uint16_t control = base + kControlOffset;
  const std::uint8_t was = ports.In(control);
  if ((ecr & kFifoBits) != (was & kFifoBits)) return false;
  ports.Out(control, was ^ kAutoFeed);
  const bool follows = (ports.In(base + kEcrOffset) & kAutoFeed) == (ports.In(control) & kAutoFeed);
  ports.Out(control, was);
  return follows;
}

}  // namespace

// The probe of the kernel's parport_pc: an ECR that is no alias of the control port, reads an
// empty idle FIFO, and reads back a written PS/2 mode with the FIFO still empty.
std::optional<std::uint8_t> EnterByteMode(RawPorts& ports, std::uint16_t base) {
  const std::uint16_t ecr = base + kEcrOffset;
  const std::uint8_t saved = ports.In(ecr);
  if (FollowsControl(ports, base, saved) || (saved & kFifoBits) != kFifoEmpty) return std::nullopt;
  ports.Out(ecr, kEcrByteMode);
  if (ports.In(ecr) == (kEcrByteMode | kFifoEmpty)) return saved;
  ports.Out(ecr, saved);  // whatever answers there is left as found
  return std::nullopt;
}

void RestoreEcr(RawPorts& ports, std::uint16_t base, std::uint8_t saved) {
  ports.Out(base + kEcrOffset, saved);
}

}  // namespace sorvell::board
