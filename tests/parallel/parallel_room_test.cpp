// The parallel room on its own: a board, the operator panel and the rooms the parallel device
// class stands on, wired by hand, with no main window. Selecting, reading, programming and
// verifying a 27C256 on a simulated model 6 board.
#include <gtest/gtest.h>

#include <numeric>

#include "../panel/panel_fakes.h"
#include "board/board.h"
#include "buffers/buffer_view.h"
#include "catalogue/device_selection.h"
#include "operation/operation.h"
#include "panel/panel.h"
#include "panel/window_layouts.h"
#include "parallel/eprom_programmer.h"
#include "parallel/parallel_device.h"
#include "sim/eprom_chip.h"
#include "sim/sim_port.h"
#include "sim/virtual_timing.h"

namespace sorvell::parallel {
namespace {

using namespace panel::testing;

constexpr int k27C256Row = 11;

// Stands in for the image files room, which sits above the device selection.
struct NoImages final : catalogue::LoadedImages {
  void EnableLoadedBufferControls() override {}
  void ForgetDataImage() override {}
  void ReportImageFit() override {}
};

struct ParallelRoomRig {
  ParallelRoomRig() {
    panel::BuildMainWindow(frmMain);
    simBoard.Insert(std::move(part));
    board.InitStrobeTable();
    board.InitDecodeTables();
    board.DataPort = board::kLpt378;
    board.StatusPort = board::kLpt378 + board::kStatusOffset;
    board.ControlPort = board::kLpt378 + board::kControlOffset;
    board.BoardModel = 6;
    board.SelectModelStrobes();
    board.Reset();
    selection.FillDeviceList();
    frmMain["Device"].SetValue(k27C256Row);
    frmMain["Device"].SetCaption(frmMain["Device"].Items()[k27C256Row]);
    selection.Device_Click();
  }
  std::string Log() const { return frmMain["SystemLog"].Caption(); }

  sim::VirtualClock virtualClock;
  sim::VirtualTiming timing{virtualClock};
  sim::SimulatedPort port{virtualClock};
  sim::SimBoard& simBoard = port.PlaceBoard(6, board::kLpt378);
  std::unique_ptr<sim::EpromChip> part = sim::MakeEprom("27C256");
  sim::EpromChip* chip = part.get();
  FakeDialogs dialogs;
  RecordingSounds sounds;
  FixedClock clock;
  panel::Folders folders{"/nonexistent", "/nonexistent", "/nonexistent"};
  panel::Form frmMain{"frmMain", "test"};
  panel::Form frmDisplay1{"frmDisplay1", "test"};
  panel::Panel panel{frmMain, dialogs, sounds, clock, folders};
  board::Board board{port, timing};
  catalogue::Selection device;
  buffers::Buffers images;
  operation::RunState run;
  NoImages noImages;
  catalogue::DeviceSelection selection{device, board, panel, noImages};
  buffers::BufferView view{images, device, board, panel, frmDisplay1};
  operation::Operation operation{board, device, images, run, panel};
  ParallelDevice parallelDevice{operation, view};
  EpromProgrammer eprom{operation};
};

TEST(ParallelRoomTest, ProgramsVerifiesAndReadsBackWithoutAMainWindow) {
  ParallelRoomRig rig;
  ASSERT_EQ(rig.device.DeviceFamily, "P4");
  ASSERT_EQ(rig.device.DeviceSize, 32768);

  std::iota(rig.images.CodeBuffer.begin(), rig.images.CodeBuffer.begin() + 32768, 0);
  rig.operation.BuildProgramBuffer();
  rig.eprom.P27256_040();
  EXPECT_EQ(rig.run.ProgramFailed, 0);
  EXPECT_EQ(rig.chip->Contents()[0x1234], 0x34);
  EXPECT_FALSE(rig.chip->Damaged()) << rig.chip->DamageReport();

  EXPECT_TRUE(rig.parallelDevice.VerifyParallel());
  EXPECT_EQ(rig.run.VerifyFailed, 0);

  std::fill_n(rig.images.CodeBuffer.begin(), 32768, 0);
  rig.parallelDevice.ReadParallelCode();
  EXPECT_EQ(rig.images.CodeBuffer[0x7FFF], 0xFF);
  EXPECT_EQ(rig.images.CodeBuffer[0x0101], 0x01);
  EXPECT_NE(rig.Log().find("32768 bytes Read from Device"), std::string::npos);
}

TEST(ParallelRoomTest, AMismatchRaisesTheAlertThroughThePanel) {
  ParallelRoomRig rig;
  std::fill_n(rig.images.CodeBuffer.begin(), 32768, 0x00);
  rig.operation.BuildProgramBuffer();

  EXPECT_FALSE(rig.parallelDevice.VerifyParallel());
  EXPECT_EQ(rig.run.VerifyFailed, 1);
  EXPECT_EQ(rig.panel.ErrorAlertsRaised(), 1);
  EXPECT_NE(rig.Log().find("Address: 0 ][ Buffer Data: 0 ][ Device Data: FF"), std::string::npos)
      << rig.Log();
  ASSERT_FALSE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.dialogs.messages.back().title, "Critical Message");
}

}  // namespace
}  // namespace sorvell::parallel
