#include "board/recording_port.h"

namespace sorvell::board {

void RecordingPort::PortOut(std::uint16_t port, std::uint8_t value) {
  accesses_.push_back({true, port, value});
}

std::uint8_t RecordingPort::PortIn(std::uint16_t port) {
  std::uint8_t value = 0xFF;
  if (!replies_.empty()) {
    value = replies_.front();
    replies_.pop_front();
  }
  accesses_.push_back({false, port, value});
  return value;
}

void RecordingPort::QueueReads(std::initializer_list<std::uint8_t> values) {
  replies_.insert(replies_.end(), values.begin(), values.end());
}

}  // namespace sorvell::board
