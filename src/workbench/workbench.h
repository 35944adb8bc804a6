#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "buffers/buffer_view.h"
#include "buffers/buffers.h"
#include "buffers/image_editor.h"
#include "buffers/image_files.h"
#include "buffers/image_formats.h"
#include "catalogue/selection.h"
#include "panel/panel.h"
#include "workbench/image_ops.h"

namespace sorvell::workbench {

// The Image menu: going through the code image, changing it byte by byte, and arranging it
// before a burn (files placed at offsets, fills, byte swaps, the halves of a 16-bit bus,
// copies to fill a larger part), each change a step the operator can undo.
class Workbench {
 public:
  Workbench(buffers::Buffers& buffers, buffers::ImageEditor& editor, buffers::ImageFiles& images,
            buffers::BufferView& view, catalogue::Selection& device, panel::Panel& panel);

  void mnuImageUndo_Click();
  void mnuImageRedo_Click();
  void mnuImageGoTo_Click();
  void mnuImageFind_Click();
  void mnuImageFindNext_Click();
  void mnuImageChangeBytes_Click();
  void mnuImageLoadAt_Click();
  void mnuImageSaveRange_Click();
  void mnuImageFill_Click();
  void mnuImagePad_Click();
  void mnuImageSwap_Click();
  void mnuImageSplit_Click();
  void mnuImageInterleave_Click();
  void mnuImageRepeat_Click();
  void mnuImageCompare_Click();
  // Bytes the operator typed over the view's hex or character column.
  void TypeBytes(std::int32_t address, std::span<const std::uint8_t> bytes);

  // The bytes the image and the part span: what the view shows, what find searches.
  std::int32_t Extent() const;

 private:
  // Writes `bytes` at `start` as one undoable step, then logs and shows it.
  void Change(const std::string& what, std::int32_t start, std::span<const std::uint8_t> bytes);
  // After any change to the image: its sum, size, changed mark and the page shown.
  void ShowChange(const std::string& logLine);
  void MoveCursor(std::int32_t address);
  // An undone or redone step, or that there was none.
  void ShowStep(const std::optional<std::string>& step, const char* done, const char* none);
  void FindFrom(std::int32_t from);
  // The image as it stands; empty (refused, reported) when the buffer holds none.
  std::optional<std::span<const std::uint8_t>> Image(const char* action);
  // The highest address plus one that a change may reach: the part's size, or 1 MB with none.
  std::int32_t Reach() const;
  std::optional<std::string> Ask(const std::string& prompt, const std::string& title,
                                 const std::string& initial);
  void Refuse(const std::string& title, const std::string& reason);
  void Cancelled(const std::string& what);
  bool WriteFile(const std::string& title, std::span<const std::uint8_t> bytes,
                 std::string& written);
  std::optional<buffers::CodeImage> ReadFile(const std::string& title, std::string& name);

  buffers::Buffers& buffers_;
  buffers::ImageEditor& editor_;
  buffers::ImageFiles& images_;
  buffers::BufferView& view_;
  catalogue::Selection& device_;
  panel::Panel& panel_;
  Bytes lastFind_;
  std::string lastFindText_;
};

}  // namespace sorvell::workbench
