#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "board/port_io.h"

namespace sorvell::board {

// A port that remembers every access in order; reads answer from a queue of scripted values and
// then FFh, as a port with nothing connected.
class RecordingPort final : public PortIo {
 public:
  struct Access {
    bool isWrite;
    std::uint16_t port;
    std::uint8_t value;
    bool operator==(const Access&) const = default;
  };

  void PortOut(std::uint16_t port, std::uint8_t value) override;
  std::uint8_t PortIn(std::uint16_t port) override;

  void QueueReads(std::initializer_list<std::uint8_t> values);
  const std::vector<Access>& Accesses() const { return accesses_; }
  void Clear() { accesses_.clear(); }

 private:
  std::vector<Access> accesses_;
  std::deque<std::uint8_t> replies_;
};

}  // namespace sorvell::board
