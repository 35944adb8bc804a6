#pragma once

#include <string>

#include "board/board.h"
#include "buffers/buffers.h"
#include "catalogue/selection.h"
#include "panel/panel.h"

namespace sorvell::buffers {

// The hex/ASCII dump of the code and data images, one page at a time, and its saved copy.
class BufferView {
 public:
  BufferView(Buffers& buffers, const catalogue::Selection& device, board::Board& board,
             panel::Panel& panel, panel::Form& frmDisplay1);

  // The page the scroll bar chooses (0 when the device or file is under one page).
  int CurrentPage() const;
  void DisplayPageMemory();
  void DisplayCodeMemory();
  void DisplayDataMemory();
  void BufferDisplay_DblClick();
  // Shows the page of the next (or previous) differing address past the page shown; false when
  // there is none.
  bool ShowDifference(bool next);
  // Shows the code page again with its differing bytes marked (after a compare that found some,
  // or to clear the marks of one before).
  void MarkDifferences();
  void Command1_Click();
  // True while the dump shows the code page this view put up last: not the live device, the
  // data memory, a message or a cleared box. The window then shows its view of the whole image.
  bool ShowsCodeBuffer() const;

 private:
  bool ShowsData() const;

  Buffers& buffers_;
  const catalogue::Selection& device_;
  board::Board& board_;
  panel::Panel& panel_;
  panel::Form& frmDisplay1_;
  std::string shownCodePage_;
};

}  // namespace sorvell::buffers
