#pragma once

#include <functional>
#include <span>

#include "buffers/buffer_view.h"
#include "operation/operation.h"

namespace sorvell::parallel {

// Whole-device reads, the blank check, the compare with the image and the live page view of
// every part on the parallel bus (UV-EPROMs, Flash, page-write EEPROMs).
class ParallelDevice {
 public:
  ParallelDevice(operation::Operation& operation, buffers::BufferView& view);

  void ReadParallelCode();
  void BlankCheckParallel();
  // False when the part differs from the image (already reported, with the whole difference).
  bool VerifyParallel();
  // Reads the page the scroll bar chooses from the device into the dump.
  void DisplayEprom();

 private:
  void ReportNotBlank();
  bool ReadWholePart(std::int32_t size, std::span<const std::uint8_t> wanted,
                     diagnosis::Check check, const std::function<void()>& reportFirst);
  void SetDisplayAddress();

  operation::Operation& op_;
  board::Board& board_;
  catalogue::Selection& device_;
  operation::RunState& run_;
  panel::Panel& panel_;
  buffers::BufferView& view_;
};

}  // namespace sorvell::parallel
