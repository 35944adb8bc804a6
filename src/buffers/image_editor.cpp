#include "buffers/image_editor.h"

#include <algorithm>

namespace sorvell::buffers {

namespace {

// The oldest steps go first once the history would hold more than this: a whole 1 MB image
// changed some thirty times over.
constexpr std::size_t kHistoryBytes = 64u << 20;

}  // namespace

ImageEditor::ImageEditor(Buffers& buffers) : buffers_(buffers) {}

void ImageEditor::Replace(std::string what, std::int32_t start, std::span<const std::uint8_t> bytes,
                          std::optional<std::int32_t> newSize) {
  Step step{std::move(what), start, {}, {bytes.begin(), bytes.end()}, buffers_.CodeImageSize, 0};
  const auto from = buffers_.CodeBuffer.begin() + start;
  step.before.assign(from, from + static_cast<long>(bytes.size()));
  step.sizeAfter = newSize.value_or(
      std::max(buffers_.CodeImageSize, start + static_cast<std::int32_t>(bytes.size())));
  steps_.resize(done_);
  if (saved_ && *saved_ > done_) saved_.reset();
  Write(start, step.after, step.sizeAfter);
  steps_.push_back(std::move(step));
  ++done_;
  KeepWithinMemory();
}

std::optional<std::string> ImageEditor::Undo() {
  if (!CanUndo()) return std::nullopt;
  const Step& step = steps_[done_ - 1];
  if (!StillHolds(step.start, step.after)) {
    Forget();
    saved_.reset();
    return std::nullopt;
  }
  Write(step.start, step.before, step.sizeBefore);
  --done_;
  return step.what;
}

std::optional<std::string> ImageEditor::Redo() {
  if (!CanRedo()) return std::nullopt;
  const Step& step = steps_[done_];
  if (!StillHolds(step.start, step.before)) {
    Forget();
    saved_.reset();
    return std::nullopt;
  }
  Write(step.start, step.after, step.sizeAfter);
  ++done_;
  return step.what;
}

void ImageEditor::Forget() {
  steps_.clear();
  done_ = 0;
  saved_ = 0;
}

bool ImageEditor::StillHolds(std::int32_t start, const std::vector<std::uint8_t>& bytes) const {
  return std::equal(bytes.begin(), bytes.end(), buffers_.CodeBuffer.begin() + start);
}

void ImageEditor::Write(std::int32_t start, const std::vector<std::uint8_t>& bytes,
                        std::int32_t size) {
  std::ranges::copy(bytes, buffers_.CodeBuffer.begin() + start);
  buffers_.CodeImageSize = size;
  const auto image = std::span(buffers_.CodeBuffer).first(static_cast<std::size_t>(size));
  buffers_.FileCRC = FileChecksum({image.begin(), image.end()});
  buffers_.FileCRCText = ChecksumText(buffers_.FileCRC);
}

void ImageEditor::KeepWithinMemory() {
  std::size_t held = 0;
  for (const Step& step : steps_) held += step.before.size() + step.after.size();
  std::size_t dropped = 0;
  while (held > kHistoryBytes && dropped + 1 < steps_.size()) {
    held -= steps_[dropped].before.size() + steps_[dropped].after.size();
    ++dropped;
  }
  if (dropped == 0) return;
  steps_.erase(steps_.begin(), steps_.begin() + static_cast<long>(dropped));
  done_ -= dropped;
  if (saved_ && *saved_ < dropped) {
    saved_.reset();
  } else if (saved_) {
    *saved_ -= dropped;
  }
}

}  // namespace sorvell::buffers
