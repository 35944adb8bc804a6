#pragma once

#include <string>

#include "flash/flash_commands.h"
#include "operation/operation.h"

namespace sorvell::flash {

// Asking a Flash part who it is: autoselect, the maker and device codes at addresses 0 and 1,
// reset, and the code looked up among the known parts.
class FlashIdentity {
 public:
  FlashIdentity(operation::Operation& operation, FlashCommands& commands);

  void menuFlashShowCodeID_Click();
  void ReadFlashID();
  // The autoselect read without results or log (run when the AT29C256 is selected).
  void ProbeFlashID();
  // Whether parts of this maker are erased and programmed: the first edition's makers, and the
  // maker of any Flash part on the AMD command set in the list (built in or the operator's).
  bool SupportedFlashMaker(int maker) const;

  int FlashMakerByte = 0;
  int FlashDeviceByte = 0;
  std::string FlashID;        // maker then device, "01A4"
  std::string FlashReadCode;  // the bytes at 0 and 1 in read mode, the same form
  int FlashPageSize = 0;      // 0 while the code is not a known part

 private:
  // Reads addresses 0 and 1 as they answer now, as four hex digits.
  std::string ReadFirstTwoBytes(int& first, int& second);
  void LookUpFlashID();
  // The list's own row with this code, if any: the parts added since the first edition.
  const catalogue::DeviceRow* ListedPart(int maker, int device) const;

  board::Board& board_;
  const catalogue::Selection& device_;
  panel::Panel& panel_;
  FlashCommands& commands_;
};

}  // namespace sorvell::flash
