#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "buffers/buffers.h"

namespace sorvell::buffers {

// The operator's changes to the code image, each a step that can be undone and redone: typed
// bytes, a fill, a swap, a file placed at an offset. A new image (a file loaded, a part read)
// starts a new history.
class ImageEditor {
 public:
  explicit ImageEditor(Buffers& buffers);

  // Writes `bytes` from `start` as one step named `what`; the image grows when they reach past
  // its end, or takes `newSize` when given (a new image made of others). `start + bytes` must lie
  // inside the code buffer.
  void Replace(std::string what, std::int32_t start, std::span<const std::uint8_t> bytes,
               std::optional<std::int32_t> newSize = std::nullopt);
  // The step undone or redone, or none when there is none to take back. A step whose bytes were
  // overwritten since by a read from the part is not undone: the history ends there.
  std::optional<std::string> Undo();
  std::optional<std::string> Redo();
  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }

  // Changed since the image was loaded or last saved.
  bool Changed() const { return !saved_ || *saved_ != done_; }
  void MarkSaved() { saved_ = done_; }
  // A new image: nothing to undo, nothing changed.
  void Forget();

 private:
  struct Step {
    std::string what;
    std::int32_t start = 0;
    std::vector<std::uint8_t> before, after;
    std::int32_t sizeBefore = 0, sizeAfter = 0;
  };
  bool StillHolds(std::int32_t start, const std::vector<std::uint8_t>& bytes) const;
  void Write(std::int32_t start, const std::vector<std::uint8_t>& bytes, std::int32_t size);
  void KeepWithinMemory();

  Buffers& buffers_;
  std::vector<Step> steps_;
  std::size_t done_ = 0;
  // The step count the saved file holds; none when that state is no longer in the history.
  std::optional<std::size_t> saved_ = 0;
};

}  // namespace sorvell::buffers
