#pragma once

#include "buffers/buffer_view.h"
#include "operation/operation.h"
#include "serial/two_wire_bus.h"

namespace sorvell::serial {

// Reading, programming, erasing and verifying the 24Cxx serial EEPROMs over the two-wire bus.
// The code image is the device image: element k is device address k.
class SerialEeprom {
 public:
  SerialEeprom(operation::Operation& operation, TwoWireBus& bus, buffers::BufferView& view);

  void Read24CXX();
  void ReadDevice24CXX();
  // One address byte, the block bits in the device address (24C01 to 24C16); FFh instead of the
  // image while erasing. Pages of the part's own size (8 or 16 bytes).
  void Program24CXX();
  // Two address bytes (24C32 to 24C512), pages of 32 to 128 bytes.
  void Program24C32();
  void Verify24CXX();
  void Report24CXXAckError();

 private:
  // The page routines count in 16-bit integers: a larger part is refused, nothing sent.
  bool SizeFits(std::int32_t size);
  // Send b: false (the transaction abandoned, no STOP) when the device did not acknowledge.
  bool Send(int byte);
  bool ReadAddressPhase();
  void ProgramPages(bool twoAddressBytes, const std::string& eraseLine);
  void WaitForWriteCycle(int deviceAddress);
  void StepByteProgress(std::int32_t address);
  void AcknowledgeReceived(bool more);
  void LeaveAfterRead();

  operation::Operation& op_;
  board::Board& board_;
  catalogue::Selection& device_;
  operation::RunState& run_;
  panel::Panel& panel_;
  TwoWireBus& bus_;
  buffers::BufferView& view_;
};

}  // namespace sorvell::serial
