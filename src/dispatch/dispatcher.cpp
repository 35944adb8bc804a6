// Read, blank check and verify: the buttons, and the choice of routine by device class.
#include "dispatch/dispatcher.h"

#include "buffers/buffers.h"
#include "catalogue/routines.h"

namespace sorvell::dispatch {

namespace {

constexpr std::uint32_t k3DHighlight = 0x80000014;

bool OnParallelBus(const catalogue::Selection& device) {
  return device.Routines().bus == catalogue::Bus::kParallel;
}

}  // namespace

Dispatcher::Dispatcher(operation::Operation& operation, board::Detection& detection,
                       buffers::BufferView& view, parallel::ParallelDevice& parallelDevice,
                       parallel::EpromProgrammer& eprom, flash::FlashProgrammer& flash,
                       flash::PageWriter& pages, serial::SerialEeprom& serial)
    : op_(operation),
      board_(operation.board),
      device_(operation.device),
      run_(operation.run),
      panel_(operation.panel),
      detection_(detection),
      view_(view),
      parallel_(parallelDevice),
      eprom_(eprom),
      flash_(flash),
      pages_(pages),
      serial_(serial) {}

bool Dispatcher::OnTwoWireBus() const {
  return device_.Routines().bus == catalogue::Bus::kTwoWire;
}

void Dispatcher::Read_button_Click() {
  if (!detection_.PortChosen()) return;
  if (panel_.frmMain["CheckCode"].Value()) READCODE();
  if (panel_.frmMain["CheckData"].Value()) READDATA();
}

void Dispatcher::ReadCodeOnce() {
  if (OnParallelBus(device_)) {
    parallel_.ReadParallelCode();
  } else if (OnTwoWireBus()) {
    serial_.Read24CXX();
  } else {
    MissingRoutine("Please Write Missing Routines at READCODE", "Routine Not Ready");
  }
}

void Dispatcher::READDATA() {
  op_.buffers.DisplayMode = "Read";
  board_.REG4OFF();
  board_.CEOEON();
  panel_.DataFlowLabelOn();
  panel_.AddLog("Start Device Reading Operation");
  panel_.frmMain["sbStatusBar"].SetCaption("Reading Device... Wait");
  MissingRoutine("Please Write AT90S2313 Eeprom Read Routine", "Routine Not Ready");
}

void Dispatcher::Blank_button_Click() {
  run_.BlankCheckFoundData = false;
  if (!detection_.PortChosen()) return;
  if (panel_.frmMain["CheckCode"].Value()) BLANKCODE();
  if (panel_.frmMain["CheckData"].Value()) BLANKDATA();
  view_.MarkDifferences();
}

void Dispatcher::BLANKCODE() {
  if (OnParallelBus(device_)) {
    parallel_.BlankCheckParallel();
    return;
  }
  MissingRoutine("Please Write Missing Routines at BLANKCODE", "Missing Routine");
}

void Dispatcher::BLANKDATA() {
  MissingRoutine("Please Write AT90S2313 Check Blank Eeprom Routine", "Routine Not Ready");
}

void Dispatcher::Verify_button_Click() {
  run_.VerifyFailed = 0;
  if (!detection_.PortChosen()) return;
  if (panel_.frmMain["CheckCode"].Value()) VerifyCode();
  if (panel_.frmMain["CheckData"].Value()) VerifyData();
  view_.MarkDifferences();
}

void Dispatcher::VerifyData() {
  MissingRoutine("Please Write AT90S2313 VerifyData Routine", panel_.frmMain.Caption());
}

void Dispatcher::VerifyCodeOnce() {
  run_.DeviceChecksum = 0;
  panel_.frmMain["Verify_button"].SetBackColor(k3DHighlight);
  panel_.DataFlowLabelOn();
  panel_.AddLog("Verify Function Started... Wait");
  // With no device chosen there is nothing to compare: that is no match.
  if (op_.PartBytes() == 0) {
    panel_.AddLog("No Device Selected - Nothing Verified");
    panel_.DataFlowLabelOff();
    run_.VerifyFailed = 1;
    panel_.ReportNotDone(panel::NotDoneReason::kRefused, "No Device Selected - Nothing Verified");
    return;
  }
  if (device_.Routines().verify == catalogue::VerifyRoutine::kSerial) {
    run_.AckCount = 0;
    serial_.Verify24CXX();
    // A part that does not answer was not compared: the no-response failure, never a match.
    if (run_.AckCount != 0) {
      serial_.Report24CXXAckError();
      run_.VerifyFailed = 1;
    }
  } else if (!parallel_.VerifyParallel()) {
    return;
  }
  if (run_.VerifyFailed == 0) {
    op_.ConfirmBoardAnswers();
    panel_.DataFlowLabelOff();
    panel_.AddLog("Device Contents MATCHES with Buffer Contents");
    panel_.ReportDone("Device Contents MATCHES with Buffer Contents");
    run_.DeviceChecksumText = buffers::ChecksumText(run_.DeviceChecksum);
    panel_.AddLog("Device CHKSUMM = $" + run_.DeviceChecksumText);
    panel_.PlayEventSound("OK");
    board_.Reset();
  }
  panel_.ResetProgress();
  panel_.frmMain["Verify_button"].SetBackColor(panel::kButtonFace);
}

// A device class without a routine for the button: the box, and nothing done.
void Dispatcher::MissingRoutine(const std::string& text, const std::string& title) {
  panel_.Notice(text, title);
  panel_.ReportNotDone(panel::NotDoneReason::kNotSupported, text);
}

}  // namespace sorvell::dispatch
