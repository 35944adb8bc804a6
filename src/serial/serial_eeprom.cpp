#include "serial/serial_eeprom.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/routines.h"
#include "operation/timed_run.h"

namespace sorvell::serial {

namespace {

constexpr int kDeviceAddress = 0xA0;
constexpr int kWritePolls = 50;
// Two word address bytes reach 64 KB, the 24C512; a larger part needs a block bit this adapter
// does not drive.
constexpr std::int32_t kLargestSerialPart = 65536;

std::string HexBytes(const std::vector<std::uint8_t>& bytes, int count) {
  std::string text;
  char hex[4];
  for (int i = 0; i < count; ++i) {
    std::snprintf(hex, sizeof hex, "%02X ", bytes[static_cast<std::size_t>(i)]);
    text += hex;
  }
  return text;
}

// "24C512" of "Eeprom 24C512 Serial (8 pins)": the word that names the part.
std::string PartNumber(const std::string& rowName) {
  const auto start = rowName.find("24C");
  if (start == std::string::npos) return rowName;
  return rowName.substr(start, rowName.find(' ', start) - start);
}

}  // namespace

SerialEeprom::SerialEeprom(operation::Operation& operation, TwoWireBus& bus,
                           buffers::BufferView& view)
    : op_(operation),
      board_(operation.board),
      device_(operation.device),
      run_(operation.run),
      panel_(operation.panel),
      bus_(bus),
      view_(view) {}

bool SerialEeprom::SizeFits(std::int32_t size) {
  if (size <= kLargestSerialPart) return true;
  panel_.Notice("A serial EEPROM of " + std::to_string(size) +
                    " bytes is more than these routines can address (65536): nothing was sent.",
                "Serial EEPROM");
  panel_.ReportNotDone(panel::NotDoneReason::kNotSupported,
                       "a serial EEPROM of " + std::to_string(size) + " bytes: nothing was sent");
  run_.AckCount = 0;
  return false;
}

bool SerialEeprom::Send(int byte) {
  run_.ProgramByte = static_cast<std::uint8_t>(byte);
  bus_.SendByte24CXX();
  return run_.AckCount == 0;
}

// Address 0, then the read direction; from here REG4ON drives SDA low, the master's acknowledge.
bool SerialEeprom::ReadAddressPhase() {
  board_.OEOFF();
  board_.Sleep(50);
  bus_.Start24CXX();
  if (!Send(kDeviceAddress) || !Send(0)) return false;
  if (device_.Routines().wordAddressBytes == 2 && !Send(0)) return false;
  bus_.Start24CXX();
  if (!Send(kDeviceAddress | 1)) return false;
  board_.REG4OFF();
  board_.Reg4Shadow = 0;
  board_.SetReg4();
  return true;
}

// The master's acknowledge asks for the next byte. After the last one SDA is left released (no
// acknowledge): an acknowledged part would go on driving the next byte's first bit, and a 0 there
// holds SDA low so that the STOP that follows never happens and the part stays in its read.
void SerialEeprom::AcknowledgeReceived(bool more) {
  if (more) {
    board_.REG4ON();  // register 4 holds 0: SDA low
  } else {
    board_.REG4OFF();
  }
  board_.CEOFF();
  board_.CEON();
}

void SerialEeprom::StepByteProgress(std::int32_t address) {
  if (address % 16 != 0) return;
  panel_.SafePoint();
  panel_.StepProgress(16);
}

void SerialEeprom::ReadDevice24CXX() {
  if (!ReadAddressPhase()) return;
  const std::int32_t size = op_.PartBytes();
  for (std::int32_t a = 0; a < size; ++a) {
    StepByteProgress(a);
    bus_.ReceiveByte24CXX();
    AcknowledgeReceived(a + 1 < size);
    op_.buffers.CodeBuffer[static_cast<std::size_t>(a)] = board_.ReadByte;
  }
  bus_.Stop24CXX();
}

void SerialEeprom::Read24CXX() {
  const std::int32_t size = op_.PartBytes();
  if (!SizeFits(size)) return;
  panel_.DataFlowLabelOn();
  board_.Reset();
  board_.SETADR();
  board_.Sleep(500);
  op_.buffers.DisplayMode = "Read";
  panel_.SetProgressSteps(size);
  const operation::TimedRun held(op_);
  ReadDevice24CXX();
  panel_.DataFlowLabelOff();
  if (run_.AckCount != 0) {
    Report24CXXAckError();
  } else {
    op_.ConfirmBoardAnswers();
    device_.DeviceSize = size;
    op_.buffers.CodeImageSize = size;
    panel_.AddLog(std::to_string(size) + " bytes Read from Device");
    panel_.ReportDone(std::to_string(size) + " bytes Read from Device");
    op_.NoteAllErased(std::span(op_.buffers.CodeBuffer).first(static_cast<std::size_t>(size)));
    panel_.ShowDump(HexBytes(op_.buffers.CodeBuffer, 257));
    panel_.SetDumpPages(size / 256);
    panel_.AddLog("Data is available at above Window, use Scroll Bar");
    panel_.AddLog("You can Save the file using [FILE - Save As] menu");
    view_.DisplayPageMemory();
    panel_.PlayEventSound("OK");
  }
  LeaveAfterRead();
}

// Whether or not the part answered, the image counts as loaded, as after any read.
void SerialEeprom::LeaveAfterRead() {
  op_.TakeReadImage();
  board_.Reset();
  board_.CEON();
  board_.OEON();
  board_.Reg0Shadow = 0x40;  // the shadow only
  board_.Reg1Shadow = 0;
  board_.Reg2Shadow = 0;
  board_.SetReg1();
  board_.SetReg2();
}

void SerialEeprom::Program24CXX() {
  ProgramPages(false, "Erasing Device 24CXX");
}

// The two-address-byte parts from the 24C32 up to the 24C512 share it; each names itself.
void SerialEeprom::Program24C32() {
  ProgramPages(true, "Erasing Device " + PartNumber(device_.Row.name));
}

// Whole pages of the part's own size, each started at its first byte, so no write wraps round
// within its page over bytes already written.
void SerialEeprom::ProgramPages(bool twoAddressBytes, const std::string& eraseLine) {
  const int pageBytes = std::max(1, device_.Row.pageBytes);
  const std::int32_t size = op_.PartBytes();
  if (!SizeFits(size)) {
    run_.ProgramStatus = 0;  // nothing written: neither a success nor a failure to report
    return;
  }
  const operation::TimedRun held(op_);
  const bool erasing = run_.SerialEraseMode == 1;
  if (erasing) {
    panel_.AddLog(eraseLine);
    panel_.AddLog("Program Buffer will not be erased");
  }
  const int pages = size / pageBytes;
  board_.OEOFF();
  board_.Sleep(50);
  panel_.SetProgressSteps(pages);
  std::int32_t a = 0;
  for (int page = 0; page < pages; ++page) {
    board_.AddrByte1 = a / 256;
    board_.AddrByte0 = a - 256 * board_.AddrByte1;
    // One address byte: the block (A10..A8) rides in bits 3..1 of the device address.
    const int deviceAddress =
        twoAddressBytes ? kDeviceAddress : kDeviceAddress + 2 * board_.AddrByte1;
    bus_.Start24CXX();
    if (!Send(deviceAddress)) return;
    if (twoAddressBytes && !Send(board_.AddrByte1)) return;
    if (!Send(board_.AddrByte0)) return;
    for (int i = 0; i < pageBytes; ++i, ++a) {
      if (!Send(erasing ? 0xFF : op_.buffers.CodeBuffer[static_cast<std::size_t>(a)])) return;
    }
    bus_.Stop24CXX();  // the part starts its internal write
    op_.StepProgress();
    WaitForWriteCycle(deviceAddress);
  }
  board_.Reg4Shadow = 0;
  board_.SetReg4();
  board_.REG4ON();
}

// Acknowledge polling: the part does not answer its address until the write is done. After 50
// refusals AckCount stays 50 and the next page's first byte decides afresh.
void SerialEeprom::WaitForWriteCycle(int deviceAddress) {
  run_.AckCount = 0;
  do {
    bus_.Start24CXX();
    run_.ProgramByte = static_cast<std::uint8_t>(deviceAddress);
    bus_.PollByte24CXX();
    ++run_.AckCount;
    if (board_.ReadByte != 0) board_.Sleep(2);
  } while (board_.ReadByte != 0 && run_.AckCount < kWritePolls);
  if (board_.ReadByte == 0) run_.AckCount = 0;
  board_.CEOFF();
  board_.CEON();
}

// Reads the whole part, also past a first difference, so that the whole difference can be told;
// a stop ends the read early, and a difference found before it is still reported.
void SerialEeprom::Verify24CXX() {
  const std::int32_t size = op_.PartBytes();
  if (!SizeFits(size)) {
    run_.VerifyFailed = 1;
    return;
  }
  panel_.StartProgress(size);
  const operation::TimedRun held(op_);
  if (!ReadAddressPhase()) return;
  std::vector<std::uint8_t> read(static_cast<std::size_t>(size));
  const auto wanted = std::span(op_.buffers.CodeBuffer).first(static_cast<std::size_t>(size));
  const auto report = [&] {
    op_.ReportVerifyError(wanted[static_cast<std::size_t>(run_.ErrorAddress)]);
  };
  std::int32_t a = 0;
  try {
    for (; a < size; ++a) {
      StepByteProgress(a);
      bus_.ReceiveByte24CXX();
      AcknowledgeReceived(a + 1 < size);
      run_.DeviceChecksum = (run_.DeviceChecksum + board_.ReadByte) & 0xFFFF;
      read[static_cast<std::size_t>(a)] = board_.ReadByte;
    }
  } catch (const panel::OperationStopped&) {
    // The bus is left mid-read: the report's board reset idles it.
    const auto partial = std::span(read).first(static_cast<std::size_t>(a));
    op_.JudgeWholeCompare(wanted, partial, diagnosis::Check::kVerify, true, report);
    return;
  }
  bus_.Stop24CXX();
  op_.JudgeWholeCompare(wanted, read, diagnosis::Check::kVerify, false, report);
}

void SerialEeprom::Report24CXXAckError() {
  panel_.ReportDeviceError("Device 24CXX DOES NOT RESPOND - ACK Error");
  panel_.ErrorLockButtons();
  panel_.DataFlowLabelOff();
  panel_.AddLog(std::string(50, '*'));
  panel_.AddLog("Device 24CXX DOES NOT RESPOND - ACK Error");
  panel_.AddLog("Check Chip Installation Position on Socket");
  panel_.PlayEventSound("ERROR");
  panel_.CriticalErrorBox();
  board_.Reset();
}

}  // namespace sorvell::serial
