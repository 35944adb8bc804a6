#pragma once

#include <cstdint>
#include <string>

#include "buffers/buffer_view.h"
#include "buffers/buffers.h"
#include "buffers/image_editor.h"
#include "buffers/image_formats.h"
#include "catalogue/device_selection.h"
#include "catalogue/selection.h"
#include "panel/panel.h"

namespace sorvell::buffers {

// Loading image files into the code and data images, saving them, and erasing them to FFh.
class ImageFiles final : public catalogue::LoadedImages {
 public:
  ImageFiles(Buffers& buffers, catalogue::Selection& device, panel::Panel& panel, BufferView& view,
             ImageEditor& editor);

  void mnuFileOpenCode_Click();
  void mnuFileSaveCode_Click();
  void mnuFileSaveCodeAs_Click();
  void mnuFileOpenData_Click();
  void mnuFileSaveData_Click();
  void mnuFileSaveDataAs_Click();
  void FileNameCodeText_Click();
  void Erase_button_Click();
  void EraseCodeBuffer();
  void EraseDataBuffer();
  // False when the file was refused (reported; nothing changed).
  bool ReadBinaryFile();
  // ReadBinaryFile in a given format, or (none) the one the file shows.
  bool ReadCodeFile(std::optional<ImageFormat> format);
  // Writes the code image to CodeFileName without asking, in `format` or (none) the one its
  // extension names; false when it was not saved (reported).
  bool SaveCodeFile(std::optional<ImageFormat> format);
  bool ReadBinaryFileData();

  // The title and the file label after the image was changed, saved or undone.
  void ShowChangedMark();
  void EnableLoadedBufferControls() override;
  void ForgetDataImage() override;
  void ReportImageFit() override;

 private:
  void RefuseFile(const std::string& error);
  void ForgetChanges();
  void NoFileChosen();
  ImageLimit CodeLimit() const;
  void LogRecordSpan(const CodeImage& image);
  bool SaveCode(const char* title, bool ask, std::optional<ImageFormat> format);
  bool SaveImage(std::string& fileName, const char* title, const char* label,
                 const char* statusText, const std::uint8_t* bytes, std::int32_t count, bool ask,
                 std::optional<ImageFormat> format);

  Buffers& buffers_;
  catalogue::Selection& device_;
  panel::Panel& panel_;
  BufferView& view_;
  ImageEditor& editor_;
};

}  // namespace sorvell::buffers
