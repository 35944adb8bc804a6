// The dump window's sources: the code or data image, or the device in the socket, live.
#include "dispatch/dispatcher.h"

#include "catalogue/routines.h"

namespace sorvell::dispatch {

namespace {

constexpr int kPageBytes = 256;

}  // namespace

void Dispatcher::ScrollTo(int page) {
  panel::Control& scroll = panel_.frmMain["VScroll1"];
  if (page < scroll.Minimum() || page > scroll.Maximum() || page == scroll.Value()) return;
  scroll.SetValue(page);
  VScroll1_Change();
}

void Dispatcher::VScroll1_Change() {
  if (op_.buffers.DisplayMode == "DisplayEprom") {
    parallel_.DisplayEprom();
  } else {
    view_.DisplayPageMemory();
  }
}

void Dispatcher::Show_button_Click() {
  panel::Control& show = panel_.frmMain["Show_button"];
  panel::Control& scroll = panel_.frmMain["VScroll1"];
  if (!device_.Routines().dataArea) {
    panel_.frmMain["Frame3"].SetCaption("Code Buffer Hex/Ascii Display");
    op_.buffers.DisplayMode = "Read";
    scroll.SetRange(0, device_.DeviceSize / kPageBytes - 1);
  } else if (show.Caption() == "Show Data") {
    show.SetCaption("Show Code");
    scroll.SetRange(0, 63);
    panel_.frmMain["Frame3"].SetCaption("Data Buffer Hex/Ascii Display");
  } else if (show.Caption() == "Show Code") {
    show.SetCaption("Show Data");
    scroll.SetRange(0, device_.DeviceSize / kPageBytes - 1);
    panel_.frmMain["Frame3"].SetCaption("Code Buffer Hex/Ascii Display");
  }
  ScrollTo(0);
  view_.DisplayPageMemory();
  panel_.ReportDone();
}

void Dispatcher::Display_button_Click() {
  if (!panel_.frmMain["CheckCode"].Value()) {
    panel_.ReportNotDone(panel::NotDoneReason::kRefused, "Display shows the code area: tick Code");
    return;
  }
  if (!detection_.PortChosen()) return;
  op_.buffers.DisplayMode = "DisplayEprom";
  // The device view pages through the part, never past it, whatever the loaded file's size.
  panel_.SetDumpPages(op_.PartBytes() / kPageBytes);
  ScrollTo(0);
  panel_.AddLog("Fetching Device Binary Contents to Screen");
  panel_.frmMain["Frame3"].SetCaption("Device Memory Hex/Ascii Display");
  using R = catalogue::DisplayRoutine;
  const R routine = device_.Routines().display;
  if (routine == R::kParallel) {
    parallel_.DisplayEprom();
  } else if (routine == R::kNotReady) {
    MissingRoutine("Please Write AT90S2313 Code Display ROutine", "Routine Not Ready");
  } else {
    panel_.ReportNotDone(panel::NotDoneReason::kNotSupported,
                         "Display does not show a " + device_.DeviceName);
  }
}

}  // namespace sorvell::dispatch
