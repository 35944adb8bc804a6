#include <algorithm>
#include <cctype>
#include <string>

#include "common/atomic_file.h"
#include "common/trim.h"
#include "shell/main_form.h"
#include "shell/window_layouts.h"

namespace sorvell::shell {

namespace {

constexpr const char* kAllFiles = "All Files (*.*)|*.*";

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

void MainForm::mnuFileOpenCode_Click() {
  ErrorLabelOff();
  DataFlowLabelOff();
  buffers.DisplayMode = "Read";
  const auto file = edges_.dialogs.File({false, "Open Code File", kAllFiles, ""});
  if (!file || file->empty()) return;
  const std::string previous = buffers.CodeFileName;
  buffers.CodeFileName = file->string();
  if (!ReadBinaryFile()) buffers.CodeFileName = previous;
}

// A file that cannot be loaded is reported and changes nothing; the caller puts the previous
// file name back.
void MainForm::RefuseFile(const std::string& error) {
  DataFlowLabelOff();
  edges_.dialogs.Message({"The file was not loaded: " + error, "File Not Loaded",
                          MessageButtons::kOk, MessageIcon::kExclamation, Answer::kOk});
}

bool MainForm::ReadBinaryFile() {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!buffers::ReadImageFile(buffers.CodeFileName, buffers::kCodeBufferSize, bytes, error)) {
    RefuseFile(error);
    return false;
  }
  const std::string& name = buffers.CodeFileName;
  frmMain["FileNameCodeText"].SetCaption(UpperCase(name));
  frmMain["BufferDisplay"].SetCaption(
      "\r\n\r\n\r\n\r\n\r\n\r\n                      READING FILE ... WAIT");
  DataFlowLabelOn();
  frmMain["sbStatusBar"].SetCaption("Reading Code File " + name + " into Buffer... Wait");
  device.DeviceSize = static_cast<std::int32_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), buffers.CodeBuffer.begin());
  buffers.FileCRC = buffers::FileChecksum(bytes);
  buffers.FileCRCText = buffers::ChecksumText(buffers.FileCRC);
  DataFlowLabelOff();
  AddLog("File " + name + " - was read into Buffer. " + std::to_string(device.DeviceSize) +
         " bytes long.");
  AddLog("Read File CRC = $" + buffers.FileCRCText);
  AddLog("You can Install a Blank Eprom for Programming");
  DisplayPageMemory();
  frmMain["VScroll1"].SetRange(0, device.DeviceSize / 256 - 1);
  frmMain["ProgressBar1"].SetValue(0);
  frmMain["sbStatusBar"].SetCaption("");
  if (!device.DeviceFamily.empty()) {
    for (const char* n : {"Verify_button", "menuVerifyCode", "Program_button", "menuProgramCode"}) {
      frmMain[n].SetEnabled(true);
    }
  }
  frmMain["FileNameCodeSize"].SetCaption("(" + std::to_string(device.DeviceSize) + ")");
  ToolbarButton(frmMain, 2).SetEnabled(true);
  for (const char* n : {"mnuFileSaveCode", "mnuFileSaveCodeAs", "menuEraseCode", "Erase_button"}) {
    frmMain[n].SetEnabled(true);
  }
  const bool microcontroller = device.DeviceFamily == "MJ";
  frmMain["CheckCode"].SetEnabled(microcontroller);
  frmMain["CheckData"].SetEnabled(microcontroller);
  frmMain["CheckCode"].SetValue(1);
  frmMain["CheckData"].SetValue(0);
  buffers.CodeBufferLoaded = 1;
  PlayEventSound("DONE");
  return true;
}

void MainForm::mnuFileOpenData_Click() {
  ErrorLabelOff();
  DataFlowLabelOff();
  buffers.DisplayMode = "Read";
  const auto file = edges_.dialogs.File({false, "Open Data File (eeprom)", kAllFiles, ""});
  if (!file || file->empty()) return;
  const std::string previous = buffers.DataFileName;
  buffers.DataFileName = file->string();
  if (!ReadBinaryFileData()) buffers.DataFileName = previous;
}

// A refused data file keeps neither its name nor its label: a later Save Data would otherwise
// overwrite the file that was refused with the old buffer.
bool MainForm::ReadBinaryFileData() {
  const std::string name = buffers.DataFileName;
  std::vector<std::uint8_t> bytes;
  std::string error;
  DataFlowLabelOn();
  std::error_code code;
  const auto length = std::filesystem::file_size(name, code);
  if (!code && length > buffers::kMaxDataFile) {
    AddLog("Data File Size is " + std::to_string(length) +
           " bytes, bigger than the 8192 allowed - Will Not Open");
    DataFlowLabelOff();
    edges_.dialogs.Message({"Can't Open Data File Bigger than 8192 Bytes", "Data File to Big",
                            MessageButtons::kOk, MessageIcon::kExclamation, Answer::kOk});
    return false;
  }
  if (!buffers::ReadImageFile(name, buffers::kMaxDataFile, bytes, error)) {
    RefuseFile(error);
    return false;
  }
  frmMain["FileNameDataText"].SetCaption(name);
  buffers.DataFileSize = static_cast<std::int32_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), buffers.DataBuffer.begin());
  DataFlowLabelOff();
  AddLog("File " + name + " - was read into DataBuffer. " + std::to_string(buffers.DataFileSize) +
         " bytes long.");
  AddLog("You can Install a Blank Eprom for Programming");
  DisplayPageMemory();
  frmMain["VScroll1"].SetRange(0, device.DeviceSize / 256 - 1);
  frmMain["ProgressBar1"].SetValue(0);
  frmMain["sbStatusBar"].SetCaption("");
  ToolbarButton(frmMain, 5).SetEnabled(true);
  for (const char* n : {"Verify_button", "menuVerifyData", "Program_button", "menuProgramData",
                        "mnuFileSaveData", "mnuFileSaveDataAs", "Erase_button", "menuEraseData"}) {
    frmMain[n].SetEnabled(true);
  }
  buffers.DataBufferLoaded = 1;
  return true;
}

void MainForm::mnuFileSaveCode_Click() {
  SaveImage(buffers.CodeFileName, "Save CODE BUFFER ...", "FileNameCodeText",
            "Writing Binary File ", buffers.CodeBuffer.data(), device.DeviceSize,
            buffers.CodeFileName.empty());
}

void MainForm::mnuFileSaveCodeAs_Click() {
  SaveImage(buffers.CodeFileName, "Save CODE BUFFER As...", "FileNameCodeText",
            "Writing Binary File ", buffers.CodeBuffer.data(), device.DeviceSize, true);
}

void MainForm::mnuFileSaveData_Click() {
  SaveImage(buffers.DataFileName, "Save DATA Buffer ...", "FileNameDataText",
            "Writing Data Binary File ", buffers.DataBuffer.data(), buffers.DataFileSize,
            buffers.DataFileName.empty());
}

// The image goes to a temporary file beside the target, renamed over it only when every byte
// is written: a failed save leaves the old file whole.
void MainForm::SaveImage(std::string& fileName, const char* title, const char* label,
                         const char* statusText, const std::uint8_t* bytes, std::int32_t count,
                         bool ask) {
  if (ask) {
    const auto file = edges_.dialogs.File({true, title, kAllFiles, fileName});
    if (!file || file->empty()) return;
    fileName = file->string();
    frmMain[label].SetCaption(fileName);
  }
  frmMain["sbStatusBar"].SetCaption(statusText + fileName + " ... Wait");
  const std::string_view contents(reinterpret_cast<const char*>(bytes),
                                  static_cast<std::size_t>(std::max(count, 0)));
  std::string error;
  const bool saved = common::WriteFileAtomically(fileName, contents, error);
  frmMain["sbStatusBar"].SetCaption("");
  if (!saved) {
    edges_.dialogs.Message({"The file was not saved: " + error, "File Not Saved",
                            MessageButtons::kOk, MessageIcon::kExclamation, Answer::kOk});
    return;
  }
  AddLog("File Sucessfully Saved as " + fileName);
}

void MainForm::Erase_button_Click() {
  if (frmMain["CheckCode"].Value()) EraseCodeBuffer();
  if (frmMain["CheckData"].Value()) EraseDataBuffer();
}

void MainForm::EraseCodeBuffer() {
  std::fill_n(buffers.CodeBuffer.begin(), buffers::kCodeEraseCount, 0xFF);
  for (const char* n : {"Verify_button", "menuVerifyCode", "Program_button", "menuProgramCode"}) {
    frmMain[n].SetEnabled(false);
  }
  AddLog("Buffer has been Erased");
  buffers.DisplayMode = "Read";
  DisplayPageMemory();
}

void MainForm::EraseDataBuffer() {
  std::fill_n(buffers.DataBuffer.begin(), buffers::kDataEraseCount, 0xFF);
  for (const char* n : {"Verify_button", "menuVerifyData", "Program_button", "menuProgramData"}) {
    frmMain[n].SetEnabled(false);
  }
  AddLog("Buffer has been Erased");
  buffers.DisplayMode = "Read";
  DisplayPageMemory();
}

void MainForm::FileNameCodeText_Click() {
  if (common::TrimBlanks(frmMain["FileNameCodeText"].Caption()) == "Click To Select a File") {
    mnuFileOpenCode_Click();
  }
}

}  // namespace sorvell::shell
