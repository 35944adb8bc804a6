#include "parallel/parallel_device.h"

#include <algorithm>
#include <array>

#include "buffers/dump.h"
#include "catalogue/routines.h"
#include "common/hex_text.h"
#include "parallel/device_walk.h"

namespace sorvell::parallel {

namespace {

constexpr int kPageBytes = 256;

}  // namespace

ParallelDevice::ParallelDevice(operation::Operation& operation, buffers::BufferView& view)
    : op_(operation),
      board_(operation.board),
      device_(operation.device),
      run_(operation.run),
      panel_(operation.panel),
      view_(view) {}

void ParallelDevice::ReadParallelCode() {
  panel_.DataFlowLabelOn();
  board_.Reset();
  run_.DeviceChecksum = 0;
  board_.SETADR();
  board_.Sleep(500);
  op_.buffers.DisplayMode = "Read";
  board_.REG4OFF();
  board_.CEOEON();
  const std::int32_t size = op_.PartBytes();
  panel_.StartProgress(PagesOf(size));
  op_.ComputeLastBankAndPage();
  WalkDevice(
      board_, size, [this] { op_.StepProgress(); },
      [this](std::int32_t address) {
        op_.buffers.CodeBuffer[static_cast<std::size_t>(address)] = board_.ReadByte;
        run_.DeviceChecksum = (run_.DeviceChecksum + board_.ReadByte) & 0xFFFF;
        return true;
      });
  run_.DeviceChecksumText = buffers::ChecksumText(run_.DeviceChecksum);
  op_.ConfirmBoardAnswers();
  panel_.DataFlowLabelOff();
  // The buffer now holds the part's image: saving and scrolling cover the part.
  device_.DeviceSize = size;
  op_.buffers.CodeImageSize = size;
  panel_.AddLog(std::to_string(device_.DeviceSize) + " bytes Read from Device");
  panel_.ReportDone(std::to_string(device_.DeviceSize) + " bytes Read from Device, CHKSUMM $" +
                    run_.DeviceChecksumText);
  panel_.AddLog("Device CHKSUMM = $" + run_.DeviceChecksumText);
  op_.NoteAllErased(std::span(op_.buffers.CodeBuffer).first(static_cast<std::size_t>(size)));
  panel_.SetDumpPages(device_.DeviceSize / 256);
  panel_.AddLog("Data is available at above Window, use Scroll Bar");
  panel_.AddLog("You can Save the file using [FILE - Save As] menu");
  view_.DisplayPageMemory();
  op_.TakeReadImage();
  panel_.PlayEventSound("OK");
  board_.Reset();
}

void ParallelDevice::BlankCheckParallel() {
  panel_.DataFlowLabelOn();
  panel_.AddLog("Checking Device for BLANK (Erased)... Wait");
  op_.StartReadingAtZero();
  const std::int32_t size = op_.PartBytes();
  panel_.StartProgress(PagesOf(size));
  board_.Clock().Spin(100);
  op_.ComputeLastBankAndPage();
  const std::vector<std::uint8_t> erased(static_cast<std::size_t>(size), 0xFF);
  if (!ReadWholePart(size, erased, diagnosis::Check::kBlank, [this] { ReportNotBlank(); })) {
    return;
  }
  op_.ConfirmBoardAnswers();
  panel_.DataFlowLabelOff();
  panel_.AddLog("Device IS BLANK (ERASED)");
  panel_.ReportDone("Device IS BLANK (ERASED)");
  panel_.ResetProgress();
  panel_.PlayEventSound("OK");
  board_.Reset();
}

// Reads every byte, also past a first difference, so that the whole difference can be told; a
// stop ends the read early, and a difference found before it is still reported. False when the
// part differs from `wanted` (reported).
bool ParallelDevice::ReadWholePart(std::int32_t size, std::span<const std::uint8_t> wanted,
                                   diagnosis::Check check,
                                   const std::function<void()>& reportFirst) {
  std::vector<std::uint8_t> read(static_cast<std::size_t>(size));
  std::int32_t done = 0;
  try {
    WalkDevice(
        board_, size, [this] { op_.StepProgress(); },
        [&](std::int32_t address) {
          if (check == diagnosis::Check::kVerify) {
            run_.DeviceChecksum = (run_.DeviceChecksum + board_.ReadByte) & 0xFFFF;
          }
          read[static_cast<std::size_t>(address)] = board_.ReadByte;
          done = address + 1;
          return true;
        });
  } catch (const panel::OperationStopped&) {
    const auto partial = std::span(read).first(static_cast<std::size_t>(done));
    return op_.JudgeWholeCompare(wanted, partial, check, true, reportFirst);
  }
  return op_.JudgeWholeCompare(wanted, read, check, false, reportFirst);
}

void ParallelDevice::ReportNotBlank() {
  run_.BlankCheckFoundData = true;
  panel_.ErrorLockButtons();
  panel_.DataFlowLabelOff();
  panel_.AddLog("Device IS NOT BLANK (ERASED)");
  panel_.AddLog("Address: " + common::HexText(run_.ErrorAddress) +
                " ][ Device Data: " + common::HexText(board_.ReadByte));
  panel_.ReportDeviceError("Device IS NOT BLANK (ERASED) at Address " +
                           common::HexText(run_.ErrorAddress) + "h");
  panel_.PlayEventSound("ERROR");
  panel_.CriticalErrorBox();
}

// False when the part differs from the image (already reported).
bool ParallelDevice::VerifyParallel() {
  op_.BuildProgramBuffer();
  panel_.ResetProgress();
  op_.StartReadingAtZero();
  // Compare what programming writes: the whole part, or of a split image the half that goes to
  // this device.
  const std::int32_t size = std::min(op_.PartBytes(), run_.ProgramLength);
  panel_.StartProgress(PagesOf(size));
  op_.ComputeLastBankAndPage();
  const auto wanted = std::span(run_.ProgramBuffer).first(static_cast<std::size_t>(size));
  return ReadWholePart(size, wanted, diagnosis::Check::kVerify, [&] {
    op_.ReportVerifyError(wanted[static_cast<std::size_t>(run_.ErrorAddress)]);
  });
}

void ParallelDevice::SetDisplayAddress() {
  switch (device_.Routines().address) {
    case catalogue::AddressPath::kEprom:
      board_.SETADR();
      break;
    case catalogue::AddressPath::kXicor:
      board_.SETADR_XICOR();
      break;
    case catalogue::AddressPath::kFlash:
      board_.SETADR_FLASH();
      break;
    case catalogue::AddressPath::kNone:
      break;
  }
}

void ParallelDevice::DisplayEprom() {
  panel_.DataFlowLabelOn();
  board_.Reset();
  SetDisplayAddress();
  board_.Sleep(500);
  board_.REG4OFF();
  // Never a page past the part: its address would reach the register's control bits.
  const int lastPage = std::max(0, op_.PartBytes() / kPageBytes - 1);
  const int page = std::min(view_.CurrentPage(), lastPage);
  board_.CurrentAddress = page * kPageBytes;
  board_.Endereco2Adr();
  board_.Clock().Spin(100);
  std::array<std::uint8_t, kPageBytes> devicePage{};
  for (std::uint8_t& byte : devicePage) {
    SetDisplayAddress();
    board_.OEON();
    board_.CEON();
    board_.GetNibbles();
    board_.CEOFF();
    board_.OEOFF();
    byte = board_.ReadByte;
    board_.IncADR();
  }
  std::string text;
  for (int line = 0; line < 16; ++line) {
    if (!text.empty()) text += "\r\n";
    text += buffers::DumpLine(page * kPageBytes + 16 * line, &devicePage[16 * line],
                              buffers::AsciiRule::kDevice);
  }
  op_.ConfirmBoardAnswers();
  panel_.ShowDump(text);
  panel_.DataFlowLabelOff();
  panel_.ReportDone("Device page " + std::to_string(page) + " shown");
}

}  // namespace sorvell::parallel
