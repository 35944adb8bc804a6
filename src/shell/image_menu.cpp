#include <string>

#include "shell/main_form.h"

namespace sorvell::shell {

void MainForm::WireImageMenu() {
  workbench::Workbench& w = workbench;
  On("mnuImageUndo", [&w] { w.mnuImageUndo_Click(); });
  On("mnuImageRedo", [&w] { w.mnuImageRedo_Click(); });
  On("mnuImageGoTo", [&w] { w.mnuImageGoTo_Click(); });
  On("mnuImageFind", [&w] { w.mnuImageFind_Click(); });
  On("mnuImageFindNext", [&w] { w.mnuImageFindNext_Click(); });
  On("mnuImageChangeBytes", [&w] { w.mnuImageChangeBytes_Click(); });
  On("mnuImageLoadAt", [&w] { w.mnuImageLoadAt_Click(); });
  On("mnuImageSaveRange", [&w] { w.mnuImageSaveRange_Click(); });
  On("mnuImageFill", [&w] { w.mnuImageFill_Click(); });
  On("mnuImagePad", [&w] { w.mnuImagePad_Click(); });
  On("mnuImageSwap", [&w] { w.mnuImageSwap_Click(); });
  On("mnuImageSplit", [&w] { w.mnuImageSplit_Click(); });
  On("mnuImageInterleave", [&w] { w.mnuImageInterleave_Click(); });
  On("mnuImageRepeat", [&w] { w.mnuImageRepeat_Click(); });
  On("mnuImageCompare", [&w] { w.mnuImageCompare_Click(); });
}

void MainForm::TypeCodeBytes(std::int32_t address, std::vector<std::uint8_t> bytes) {
  Operate(
      [&] {
        workbench.TypeBytes(address, bytes);
        return true;
      },
      true);
}

}  // namespace sorvell::shell
