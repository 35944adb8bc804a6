#include "buffers/image_files.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>

#include "buffers/image_fit.h"
#include "catalogue/routines.h"
#include "panel/window_layouts.h"

namespace sorvell::buffers {

namespace {

constexpr const char* kAllFiles = "All Files (*.*)|*.*";

}  // namespace

ImageFiles::ImageFiles(Buffers& buffers, catalogue::Selection& device, panel::Panel& panel,
                       BufferView& view, ImageEditor& editor)
    : buffers_(buffers), device_(device), panel_(panel), view_(view), editor_(editor) {}

void ImageFiles::mnuFileOpenCode_Click() {
  panel_.ErrorLabelOff();
  panel_.DataFlowLabelOff();
  buffers_.DisplayMode = "Read";
  const auto file = panel_.dialogs.File({false, "Open Code File", kCodeFileFilter, ""});
  if (!file || file->empty()) {
    NoFileChosen();
    return;
  }
  const std::string previous = buffers_.CodeFileName;
  buffers_.CodeFileName = file->string();
  if (!ReadBinaryFile()) buffers_.CodeFileName = previous;
}

// A file that cannot be loaded is reported and changes nothing; the caller puts the previous
// file name back.
void ImageFiles::RefuseFile(const std::string& error) {
  panel_.DataFlowLabelOff();
  panel_.dialogs.Message({"The file was not loaded: " + error, "File Not Loaded",
                          panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                          panel::Answer::kOk});
  panel_.ReportNotDone(panel::NotDoneReason::kFileNotLoaded, "The file was not loaded: " + error);
}

void ImageFiles::NoFileChosen() {
  panel_.ReportNotDone(panel::NotDoneReason::kCancelled, "no file was chosen");
}

// Record files may fill the selected part, or the buffer when none is.
ImageLimit ImageFiles::CodeLimit() const {
  if (device_.DeviceFamily.empty() || device_.DeviceBytes <= 0) return {kCodeBufferSize, ""};
  return {static_cast<std::size_t>(device_.DeviceBytes), device_.DeviceName};
}

bool ImageFiles::ReadBinaryFile() {
  return ReadCodeFile(std::nullopt);
}

// The image is read whole into a scratch copy first: a refused file changes nothing.
bool ImageFiles::ReadCodeFile(std::optional<ImageFormat> format) {
  CodeImage image;
  std::string error;
  if (!ReadCodeImage(buffers_.CodeFileName, format, CodeLimit(), image, error)) {
    RefuseFile(error);
    return false;
  }
  const std::vector<std::uint8_t>& bytes = image.bytes;
  const std::string& name = buffers_.CodeFileName;
  panel_.frmMain["FileNameCodeText"].SetCaption(name);
  panel_.frmMain["BufferDisplay"].SetCaption(
      "\r\n\r\n\r\n\r\n\r\n\r\n                      READING FILE ... WAIT");
  panel_.DataFlowLabelOn();
  panel_.frmMain["sbStatusBar"].SetCaption("Reading Code File " + name + " into Buffer... Wait");
  device_.DeviceSize = static_cast<std::int32_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), buffers_.CodeBuffer.begin());
  ForgetChanges();
  buffers_.FileCRC = FileChecksum(bytes);
  buffers_.FileCRCText = ChecksumText(buffers_.FileCRC);
  panel_.DataFlowLabelOff();
  panel_.AddLog("File " + name + " - was read into Buffer. " + std::to_string(device_.DeviceSize) +
                " bytes long.");
  LogRecordSpan(image);
  panel_.AddLog("Read File CRC = $" + buffers_.FileCRCText);
  buffers_.CodeImageSize = device_.DeviceSize;
  panel_.AddLog("You can Install a Blank Eprom for Programming");
  ReportImageFit();
  view_.DisplayPageMemory();
  panel_.frmMain["VScroll1"].SetRange(0, device_.DeviceSize / 256 - 1);
  panel_.ResetProgress();
  panel_.frmMain["sbStatusBar"].SetCaption("");
  if (!device_.DeviceFamily.empty()) {
    for (const char* n : {"Verify_button", "menuVerifyCode"}) panel_.frmMain[n].SetEnabled(true);
    for (const char* n : {"Program_button", "menuProgramCode"}) {
      panel_.frmMain[n].SetEnabled(device_.Programmable());
    }
  }
  panel_.frmMain["FileNameCodeSize"].SetCaption("(" + std::to_string(device_.DeviceSize) + ")");
  panel::ToolbarButton(panel_.frmMain, 2).SetEnabled(true);
  for (const char* n : {"mnuFileSaveCode", "mnuFileSaveCodeAs", "menuEraseCode", "Erase_button"}) {
    panel_.frmMain[n].SetEnabled(true);
  }
  const bool microcontroller = device_.Routines().dataArea;
  panel_.frmMain["CheckCode"].SetEnabled(microcontroller);
  panel_.frmMain["CheckData"].SetEnabled(microcontroller);
  panel_.frmMain["CheckCode"].SetValue(1);
  panel_.frmMain["CheckData"].SetValue(0);
  buffers_.CodeBufferLoaded = 1;
  panel_.PlayEventSound("DONE");
  panel_.ReportDone("File " + name + " - was read into Buffer, CRC $" + buffers_.FileCRCText);
  return true;
}

// Which addresses a record file filled, so that an image linked for another address is seen.
void ImageFiles::LogRecordSpan(const CodeImage& image) {
  if (image.format == ImageFormat::kBinary) return;
  char span[96];
  std::snprintf(span, sizeof span, " file: data from $%06X to $%06X; every other byte reads FF.",
                static_cast<unsigned>(image.lowest), static_cast<unsigned>(image.highest));
  panel_.AddLog(FormatName(image.format) + std::string(span));
}

void ImageFiles::mnuFileOpenData_Click() {
  panel_.ErrorLabelOff();
  panel_.DataFlowLabelOff();
  buffers_.DisplayMode = "Read";
  const auto file = panel_.dialogs.File({false, "Open Data File (eeprom)", kAllFiles, ""});
  if (!file || file->empty()) {
    NoFileChosen();
    return;
  }
  const std::string previous = buffers_.DataFileName;
  buffers_.DataFileName = file->string();
  if (!ReadBinaryFileData()) buffers_.DataFileName = previous;
}

// A refused data file keeps neither its name nor its label: a later Save Data would otherwise
// overwrite the file that was refused with the old buffer.
bool ImageFiles::ReadBinaryFileData() {
  const std::string name = buffers_.DataFileName;
  std::vector<std::uint8_t> bytes;
  std::string error;
  panel_.DataFlowLabelOn();
  std::error_code code;
  const auto length = std::filesystem::file_size(name, code);
  if (!code && length > kMaxDataFile) {
    panel_.AddLog("Data File Size is " + std::to_string(length) +
                  " bytes, bigger than the 8192 allowed - Will Not Open");
    panel_.DataFlowLabelOff();
    panel_.dialogs.Message({"Can't Open Data File Bigger than 8192 Bytes", "Data File to Big",
                            panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                            panel::Answer::kOk});
    panel_.ReportNotDone(panel::NotDoneReason::kFileNotLoaded,
                         "Can't Open Data File Bigger than 8192 Bytes");
    return false;
  }
  if (!ReadImageFile(name, kMaxDataFile, bytes, error)) {
    RefuseFile(error);
    return false;
  }
  panel_.frmMain["FileNameDataText"].SetCaption(name);
  buffers_.DataFileSize = static_cast<std::int32_t>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), buffers_.DataBuffer.begin());
  panel_.DataFlowLabelOff();
  panel_.AddLog("File " + name + " - was read into DataBuffer. " +
                std::to_string(buffers_.DataFileSize) + " bytes long.");
  panel_.AddLog("You can Install a Blank Eprom for Programming");
  view_.DisplayPageMemory();
  panel_.frmMain["VScroll1"].SetRange(0, device_.DeviceSize / 256 - 1);
  panel_.ResetProgress();
  panel_.frmMain["sbStatusBar"].SetCaption("");
  panel::ToolbarButton(panel_.frmMain, 5).SetEnabled(true);
  for (const char* n : {"Verify_button", "menuVerifyData", "Program_button", "menuProgramData",
                        "mnuFileSaveData", "mnuFileSaveDataAs", "Erase_button", "menuEraseData"}) {
    panel_.frmMain[n].SetEnabled(true);
  }
  buffers_.DataBufferLoaded = 1;
  panel_.ReportDone("File " + name + " - was read into DataBuffer");
  return true;
}

void ImageFiles::mnuFileSaveCode_Click() {
  SaveCode("Save CODE BUFFER ...", buffers_.CodeFileName.empty(), std::nullopt);
}

void ImageFiles::mnuFileSaveCodeAs_Click() {
  SaveCode("Save CODE BUFFER As...", true, std::nullopt);
}

bool ImageFiles::SaveCodeFile(std::optional<ImageFormat> format) {
  return SaveCode("Save CODE BUFFER ...", buffers_.CodeFileName.empty(), format);
}

bool ImageFiles::SaveCode(const char* title, bool ask, std::optional<ImageFormat> format) {
  if (!SaveImage(buffers_.CodeFileName, title, "FileNameCodeText", "Writing Binary File ",
                 buffers_.CodeBuffer.data(), device_.DeviceSize, ask, format)) {
    return false;
  }
  editor_.MarkSaved();
  ShowChangedMark();
  return true;
}

// A new image: nothing to undo, and the title no longer says it was changed.
void ImageFiles::ForgetChanges() {
  editor_.Forget();
  panel_.frmMain.SetCaption(panel::kMainWindowCaption);
}

// The window's title and the file label say when the image differs from its file.
void ImageFiles::ShowChangedMark() {
  const bool changed = editor_.Changed();
  panel_.frmMain.SetCaption(std::string(panel::kMainWindowCaption) +
                            (changed ? " - image changed" : ""));
  const std::string name =
      buffers_.CodeFileName.empty() ? "(not saved to a file)" : buffers_.CodeFileName;
  panel_.frmMain["FileNameCodeText"].SetCaption(name + (changed ? " (changed)" : ""));
}

void ImageFiles::mnuFileSaveData_Click() {
  SaveImage(buffers_.DataFileName, "Save DATA Buffer ...", "FileNameDataText",
            "Writing Data Binary File ", buffers_.DataBuffer.data(), buffers_.DataFileSize,
            buffers_.DataFileName.empty(), ImageFormat::kBinary);
}

void ImageFiles::mnuFileSaveDataAs_Click() {
  SaveImage(buffers_.DataFileName, "Save DATA Buffer As...", "FileNameDataText",
            "Writing Data Binary File ", buffers_.DataBuffer.data(), buffers_.DataFileSize, true,
            ImageFormat::kBinary);
}

// The image goes to a temporary file beside the target, renamed over it only when every byte
// is written: a failed save leaves the old file whole. Without a format given, the name's
// extension chooses it (a plain image for any other).
bool ImageFiles::SaveImage(std::string& fileName, const char* title, const char* label,
                           const char* statusText, const std::uint8_t* bytes, std::int32_t count,
                           bool ask, std::optional<ImageFormat> format) {
  if (ask) {
    const auto filter = format == ImageFormat::kBinary ? kAllFiles : kCodeFileFilter;
    const auto file = panel_.dialogs.File({true, title, filter, fileName});
    if (!file || file->empty()) {
      NoFileChosen();
      return false;
    }
    fileName = file->string();
    panel_.frmMain[label].SetCaption(fileName);
  }
  const ImageFormat chosen =
      format.value_or(FormatFromExtension(fileName).value_or(ImageFormat::kBinary));
  const std::string status = chosen == ImageFormat::kBinary
                                 ? std::string(statusText)
                                 : "Writing " + std::string(FormatName(chosen)) + " File ";
  panel_.frmMain["sbStatusBar"].SetCaption(status + fileName + " ... Wait");
  std::string error;
  const std::span<const std::uint8_t> image(bytes, static_cast<std::size_t>(std::max(count, 0)));
  const bool saved = WriteCodeImage(fileName, chosen, image, error);
  panel_.frmMain["sbStatusBar"].SetCaption("");
  if (!saved) {
    panel_.dialogs.Message({"The file was not saved: " + error, "File Not Saved",
                            panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                            panel::Answer::kOk});
    panel_.ReportNotDone(panel::NotDoneReason::kFileNotSaved, "The file was not saved: " + error);
    return false;
  }
  panel_.AddLog("File Sucessfully Saved as " + fileName);
  panel_.ReportDone("File Sucessfully Saved as " + fileName);
  return true;
}

void ImageFiles::Erase_button_Click() {
  if (panel_.frmMain["CheckCode"].Value()) EraseCodeBuffer();
  if (panel_.frmMain["CheckData"].Value()) EraseDataBuffer();
  panel_.ReportDone("Buffer has been Erased");
}

void ImageFiles::EraseCodeBuffer() {
  std::fill_n(buffers_.CodeBuffer.begin(), kCodeEraseCount, 0xFF);
  buffers_.CodeImageSize = 0;
  ForgetChanges();
  for (const char* n : {"Verify_button", "menuVerifyCode", "Program_button", "menuProgramCode"}) {
    panel_.frmMain[n].SetEnabled(false);
  }
  panel_.AddLog("Buffer has been Erased");
  buffers_.DisplayMode = "Read";
  view_.DisplayPageMemory();
}

void ImageFiles::EraseDataBuffer() {
  std::fill_n(buffers_.DataBuffer.begin(), kDataEraseCount, 0xFF);
  for (const char* n : {"Verify_button", "menuVerifyData", "Program_button", "menuProgramData"}) {
    panel_.frmMain[n].SetEnabled(false);
  }
  panel_.AddLog("Buffer has been Erased");
  buffers_.DisplayMode = "Read";
  view_.DisplayPageMemory();
}

// The label names the code file and opens another, whether or not one is loaded.
void ImageFiles::FileNameCodeText_Click() {
  mnuFileOpenCode_Click();
}

void ImageFiles::EnableLoadedBufferControls() {
  panel::Form& form = panel_.frmMain;
  if (buffers_.CodeBufferLoaded == 1) {
    for (const char* name : {"Erase_button", "menuEraseCode", "Verify_button", "menuVerifyCode"}) {
      form[name].SetEnabled(true);
    }
    for (const char* name : {"Program_button", "menuProgramCode"}) {
      form[name].SetEnabled(device_.Programmable());
    }
  }
  if (buffers_.DataBufferLoaded == 1) {
    form["CheckData"].SetValue(1);
    for (const char* name : {"Erase_button", "menuEraseData", "Program_button", "menuProgramData",
                             "Verify_button", "menuVerifyData"}) {
      form[name].SetEnabled(true);
    }
  }
}

void ImageFiles::ReportImageFit() {
  const std::string note = ImageFitNote(buffers_.CodeImageSize, device_);
  if (!note.empty()) panel_.AddLog(note);
}

void ImageFiles::ForgetDataImage() {
  buffers_.DataBufferLoaded = 0;
}

}  // namespace sorvell::buffers
