#pragma once

#include <cstdint>
#include <memory>

namespace sorvell::board {

// The processor's I/O instructions and the privilege they need, behind one interface so the
// direct backend's register handling can be checked against a fake port layer.
class RawPorts {
 public:
  virtual ~RawPorts() = default;
  // Grants (or gives back) `count` ports from `first` to this process: 0, or the errno.
  virtual int Grant(std::uint16_t first, std::uint16_t count, bool on) = 0;
  virtual std::uint8_t In(std::uint16_t port) = 0;
  virtual void Out(std::uint16_t port, std::uint8_t value) = 0;
  // Root, or holding CAP_SYS_RAWIO: a refused grant is then not a missing privilege.
  virtual bool Privileged() = 0;
  // Gives up every capability; grants already made stay.
  virtual void DropCapabilities() = 0;
};

// The machine's own ports (inb/outb/ioperm); nullptr where the processor has no I/O instructions.
std::unique_ptr<RawPorts> MachinePorts();

}  // namespace sorvell::board
