#include "buffers/image_editor.h"

#include <gtest/gtest.h>

namespace sorvell::buffers {
namespace {

std::vector<std::uint8_t> Head(const Buffers& buffers, std::size_t count) {
  return {buffers.CodeBuffer.begin(), buffers.CodeBuffer.begin() + static_cast<long>(count)};
}

// Steps, undo and redo, a new step after an undo dropping what could be redone, the changed mark
// against the saved state, and the sum and size following each.
TEST(ImageEditorTest, UndoRedoAndTheChangedMark) {
  Buffers buffers;
  buffers.CodeImageSize = 4;
  ImageEditor editor(buffers);
  const std::vector<std::uint8_t> ab = {0xAA, 0xBB};
  editor.Replace("ab at 1", 1, ab);
  EXPECT_EQ(Head(buffers, 4), (std::vector<std::uint8_t>{0, 0xAA, 0xBB, 0}));
  EXPECT_EQ(buffers.FileCRCText, "0165");
  EXPECT_TRUE(editor.Changed());
  editor.Replace("ab at 3, past the end", 3, ab);
  EXPECT_EQ(buffers.CodeImageSize, 5);

  EXPECT_EQ(editor.Undo(), "ab at 3, past the end");
  EXPECT_EQ(buffers.CodeImageSize, 4);
  EXPECT_EQ(buffers.CodeBuffer[3], 0);
  EXPECT_EQ(editor.Undo(), "ab at 1");
  EXPECT_FALSE(editor.Changed());
  EXPECT_EQ(editor.Undo(), std::nullopt);
  EXPECT_EQ(editor.Redo(), "ab at 1");
  editor.MarkSaved();
  EXPECT_FALSE(editor.Changed());
  editor.Replace("cd at 0", 0, std::vector<std::uint8_t>{0xCD});
  EXPECT_FALSE(editor.CanRedo());  // the step past the saved state is gone
  EXPECT_TRUE(editor.Changed());
  EXPECT_EQ(editor.Undo(), "cd at 0");
  EXPECT_FALSE(editor.Changed());

  // A new image size given: the step takes it, and its undo gives the old one back.
  editor.Replace("a two-byte image", 0, ab, 2);
  EXPECT_EQ(buffers.CodeImageSize, 2);
  editor.Undo();
  EXPECT_EQ(buffers.CodeImageSize, 4);
}

// A read from the part overwrote the bytes of the last step: undoing it would put back bytes
// the part never held, so the history ends.
TEST(ImageEditorTest, BytesOverwrittenSinceEndTheHistory) {
  Buffers buffers;
  buffers.CodeImageSize = 4;
  ImageEditor editor(buffers);
  editor.Replace("ab at 0", 0, std::vector<std::uint8_t>{0xAA, 0xBB});
  buffers.CodeBuffer[1] = 0x11;  // as a read from the part writes
  EXPECT_EQ(editor.Undo(), std::nullopt);
  EXPECT_FALSE(editor.CanUndo());
  EXPECT_EQ(buffers.CodeBuffer[1], 0x11);
  EXPECT_TRUE(editor.Changed());
}

}  // namespace
}  // namespace sorvell::buffers
