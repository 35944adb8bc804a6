#pragma once

#include "../board/board_fixture.h"
#include "../panel/panel_fakes.h"
#include "operation/operation.h"
#include "panel/window_layouts.h"

namespace sorvell::operation::testing {

// A board on a recording port with the operator panel and the shared operation services, for
// tests of a device room's wire level without a main window.
struct OperationRig {
  explicit OperationRig(int model) : rb(model) { panel::BuildMainWindow(frmMain); }

  board::testing::RecordedBoard rb;
  panel::testing::FakeDialogs dialogs;
  panel::testing::RecordingSounds sounds;
  panel::testing::FixedClock clock;
  panel::Folders folders;
  panel::Form frmMain{"frmMain", "test"};
  panel::Panel panel{frmMain, dialogs, sounds, clock, folders};
  catalogue::Selection device;
  buffers::Buffers images;
  RunState run;
  Operation operation{rb.board, device, images, run, panel};
};

}  // namespace sorvell::operation::testing
