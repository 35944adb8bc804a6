#pragma once

#include <functional>
#include <span>

#include "board/board.h"
#include "buffers/buffers.h"
#include "catalogue/selection.h"
#include "diagnosis/diagnosis.h"
#include "operation/run_state.h"
#include "panel/panel.h"

namespace sorvell::operation {

// What every device operation works on, and the services the device classes share: the
// programming image, the progress bar, the failure report, the read-back of one byte.
class Operation {
 public:
  Operation(board::Board& board, catalogue::Selection& device, buffers::Buffers& buffers,
            RunState& run, panel::Panel& panel);

  board::Board& board;
  catalogue::Selection& device;
  buffers::Buffers& buffers;
  RunState& run;
  panel::Panel& panel;

  // The bytes that go to this device: the whole image, or one half of a 16-bit image.
  void BuildProgramBuffer();
  void ProgrammingFailure();
  // A difference at run.ErrorAddress: the alert, the log lines, the board reset.
  void ReportVerifyError(std::uint8_t expected);
  // What a part read against what it should hold, after the whole part (or, when `stopped`, the
  // part up to where the stop came) was read: true when every byte matches. Otherwise the first
  // difference goes to `reportFirst` (the compare's own lines and alert, with run.ErrorAddress and
  // board.ReadByte set and the diagnosis as the alert's further text); the whole difference and
  // its diagnosis are logged after it and kept in the run state. With `stopped` it is called from
  // the handler of the stop, which it lets go on when the part read so far matches.
  bool JudgeWholeCompare(std::span<const std::uint8_t> wanted, std::span<const std::uint8_t> read,
                         diagnosis::Check check, bool stopped,
                         const std::function<void()>& reportFirst);
  // After a read: a part of nothing but FFh may be blank, or not there at all.
  void NoteAllErased(std::span<const std::uint8_t> read);
  // A programmed byte is read back in two steps around the moment the part's outputs come on.
  // First the data latch lets go of the data lines (FFh latched, then released), while the part's
  // outputs are still off: were both to drive at once they would fight on every line where they
  // differ. Then, with output enable active, the settling wait and the read into board.ReadByte.
  void ReleaseDataLines();
  void ReadBackByte();
  // Both are called after a whole unit of work (a byte programmed, a page done): they are the
  // operation's safe points, where the window breathes and a stop takes effect.
  void GoProgressiveBar1();
  void StepProgress();
  void ComputeLastBankAndPage();
  void StartReadingAtZero();
  // The extent of every whole-device operation: the selected part's own size, whatever the size
  // of the loaded file, and never past the board's address lines or the code buffer.
  std::int32_t PartBytes() const;
  // After a device read: the code image counts as loaded, and what it allows is enabled.
  void TakeReadImage();
  // The "Safety Question" every erase asks first; false (the cancel logged and reported) when the
  // operator does not answer OK.
  bool EraseConfirmed();
  // Before an operation's success line: the board must still answer (its power and cable), or the
  // operation ends here as a device error, by a board::PortFault, and no success is logged.
  void ConfirmBoardAnswers();
  // The window lamp and the board's LED blink together.
  void ToggleProgramLed();
};

}  // namespace sorvell::operation
