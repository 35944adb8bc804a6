#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "board/detection.h"
#include "buffers/buffer_view.h"
#include "flash/flash_programmer.h"
#include "flash/page_writer.h"
#include "operation/operation.h"
#include "parallel/eprom_programmer.h"
#include "parallel/parallel_device.h"
#include "serial/serial_eeprom.h"

namespace sorvell::dispatch {

// The operation buttons and their menu entries: each chooses the routine of the selected
// device's class and family, and frames it (confirmation, blank check before, verify after).
class Dispatcher {
 public:
  Dispatcher(operation::Operation& operation, board::Detection& detection,
             buffers::BufferView& view, parallel::ParallelDevice& parallelDevice,
             parallel::EpromProgrammer& eprom, flash::FlashProgrammer& flash,
             flash::PageWriter& pages, serial::SerialEeprom& serial);

  void Read_button_Click();
  void Blank_button_Click();
  void Program_button_Click();
  void Verify_button_Click();
  void Display_button_Click();
  void EraseFlash_button_Click();
  void Show_button_Click();
  void VScroll1_Change();

  void READCODE();
  void READDATA();
  void BLANKCODE();
  void BLANKDATA();
  void VerifyCode();
  void VerifyData();
  void ProgramCode();
  // Fills the part beyond a shorter image with FFh, as an undoable change of the image; the
  // programming question offers it.
  std::function<void()> PadImageToPart;
  void ProgramData();
  // Keeps the part's contents before an erase or a burn changes them (`before`: "erasing",
  // "programming"); false, with the event's outcome saying why, when they could not be kept: then
  // nothing may change in the part. Unset, nothing is kept.
  std::function<bool(std::string_view before)> KeepPartContents;

 private:
  // Under the question: the part, the voltage, the image and what the rest of the part gets.
  std::string ProgrammingDetails() const;
  // The safety question before a burn; with an image shorter than the part it offers FFh for
  // the rest (Yes, the default) over what the buffer holds there (No).
  bool ConfirmProgramming();
  // False when the blank check found data: nothing is programmed.
  bool PrepareAndRunAlgorithm();
  // True when nothing must be kept or it was kept; the hook asked only after the question.
  bool KeptBefore(std::string_view before);
  void RunFamilyAlgorithm();
  void FinishProgramming();
  void LeaveSocketIdle();
  // Moves the scroll bar as the operator would, showing the new page.
  void ScrollTo(int page);

  // The selected part sits on the two-wire adapter (its bus lines stay idle, not reset).
  bool OnTwoWireBus() const;
  // The serial part has a programming routine to write its FFh with.
  bool SerialErasable() const;
  void EraseSerial();
  void MissingRoutine(const std::string& text, const std::string& title);
  // Read and verify passes (dispatch/passes.cpp).
  int Passes() const;
  void ReadCodeOnce();
  void VerifyCodeOnce();
  void ReportChangedBits(const std::vector<std::uint8_t>& changed, int passes);

  operation::Operation& op_;
  board::Board& board_;
  catalogue::Selection& device_;
  operation::RunState& run_;
  panel::Panel& panel_;
  board::Detection& detection_;
  buffers::BufferView& view_;
  parallel::ParallelDevice& parallel_;
  parallel::EpromProgrammer& eprom_;
  flash::FlashProgrammer& flash_;
  flash::PageWriter& pages_;
  serial::SerialEeprom& serial_;
};

}  // namespace sorvell::dispatch
