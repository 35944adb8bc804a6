#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../shell/shell_fakes.h"
#include "buffers/image_formats.h"

namespace sorvell::shell::testing {
namespace {

struct CodeFileRig : ShellRig {
  CodeFileRig() {
    form->Form_Load();
    form->SetValue("Device", 11);
  }
  std::string Log() { return form->frmMain["SystemLog"].Caption(); }
  std::filesystem::path Write(const std::string& name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
    return folder / name;
  }
  void Open(const std::filesystem::path& file) {
    dialogs.files.push_back(file);
    form->Click("mnuFileOpenCode");
  }
  void SaveAs(const std::filesystem::path& file) {
    dialogs.files.push_back(file);
    form->Click("mnuFileSaveCodeAs");
  }
};

// A record file fills the whole part, FFh where it has no data, and the log gives the length,
// what the records covered and the 16-bit sum of the image as loaded.
TEST(CodeFilesTest, IntelHexLoadsIntoTheWholePart) {
  CodeFileRig rig;
  ASSERT_EQ(rig.form->device.DeviceName, "Eprom 27C256");
  const auto file = rig.Write("prog.hex", ":03001000010203E7\n:00000001FF\n");
  rig.form->buffers.CodeBuffer[32768] = 0x5A;
  rig.Open(file);
  const MainForm& f = *rig.form;
  EXPECT_EQ(rig.dialogs.fileRequests[0].filter, buffers::kCodeFileFilter);
  EXPECT_EQ(f.device.DeviceSize, 32768);
  EXPECT_EQ(f.buffers.CodeImageSize, 32768);
  EXPECT_EQ(f.buffers.CodeBuffer[0x0F], 0xFF);
  EXPECT_EQ(f.buffers.CodeBuffer[0x10], 1);
  EXPECT_EQ(f.buffers.CodeBuffer[0x7FFF], 0xFF);
  EXPECT_EQ(f.buffers.CodeBuffer[32768], 0x5A);  // above the image: untouched
  // (32768 - 3) * FFh + 1 + 2 + 3, modulo 65536.
  EXPECT_EQ(f.buffers.FileCRCText, "7D09");
  EXPECT_NE(
      rig.Log().find("File " + file.string() +
                     " - was read into Buffer. 32768 bytes long.\r\n10:58:39>  "
                     "Intel HEX file: data from $000010 to $000012; every other byte reads FF."
                     "\r\n10:58:39>  Read File CRC = $7D09"),
      std::string::npos)
      << rig.Log();
  EXPECT_EQ(rig.Log().find("Image is"), std::string::npos);  // no size warning: it fits
  EXPECT_EQ(f.buffers.CodeBufferLoaded, 1);
  EXPECT_TRUE(f.frmMain["Program_button"].Enabled());
}

// A bad record is named with its line in the box, and nothing of the earlier file changes.
TEST(CodeFilesTest, ABadRecordChangesNothing) {
  CodeFileRig rig;
  const auto good = rig.Write("good.bin", std::string(1000, 'g'));
  rig.Open(good);
  const std::string logBefore = rig.Log();
  const auto bad = rig.Write("bad.s19", "S1050000EEFF0D\nS1050002EEFF0C\nS9030000FC\n");
  const auto far = rig.Write("far.hex", ":01800000017E\n:00000001FF\n");
  for (const auto& file : {bad, far}) rig.Open(file);
  EXPECT_EQ(rig.form->device.DeviceSize, 1000);
  EXPECT_EQ(rig.form->buffers.CodeFileName, good.string());
  EXPECT_EQ(rig.form->buffers.CodeBuffer[0], 'g');
  EXPECT_EQ(rig.form->buffers.CodeBuffer[1000], 0);
  EXPECT_EQ(rig.Log(), logBefore);
  ASSERT_EQ(rig.dialogs.messages.size(), 2u);
  EXPECT_EQ(rig.dialogs.messages[0].title, "File Not Loaded");
  EXPECT_TRUE(rig.dialogs.messages[0].text.starts_with("The file was not loaded: " + bad.string() +
                                                       " (Motorola S-record), line 2: checksum"))
      << rig.dialogs.messages[0].text;
  EXPECT_NE(
      rig.dialogs.messages[1].text.find(
          "line 1: data at $008000 to $008000 lies beyond the 32768 bytes of the Eprom 27C256"),
      std::string::npos);
}

// Save As picks the format by the name's extension, Save keeps the file's; each loads back to
// the same buffer.
TEST(CodeFilesTest, SavesInTheFormatOfTheName) {
  CodeFileRig rig;
  std::string image(32768, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 31 + (i >> 9));
  rig.Open(rig.Write("in.bin", image));
  rig.SaveAs(rig.folder / "out.HEX");
  EXPECT_EQ(rig.dialogs.fileRequests.back().filter, buffers::kCodeFileFilter);
  EXPECT_TRUE(ReadText(rig.folder / "out.HEX").starts_with(":020000040000FA\n:20000000"));
  rig.SaveAs(rig.folder / "out.s19");
  EXPECT_TRUE(ReadText(rig.folder / "out.s19").starts_with("S00A0000736F7276656C6CEE\nS123"));
  std::fill_n(rig.form->buffers.CodeBuffer.begin(), 32768, 0);
  rig.Open(rig.folder / "out.s19");
  EXPECT_EQ(std::string(rig.form->buffers.CodeBuffer.begin(),
                        rig.form->buffers.CodeBuffer.begin() + 32768),
            image);
  // Save (no dialog) writes the S-record file it came from as S-records again.
  rig.form->buffers.CodeBuffer[5] = 0x42;
  rig.form->Click("mnuFileSaveCode");
  rig.Open(rig.folder / "out.HEX");
  EXPECT_EQ(rig.form->buffers.CodeBuffer[5], static_cast<std::uint8_t>(image[5]));
  rig.Open(rig.folder / "out.s19");
  EXPECT_EQ(rig.form->buffers.CodeBuffer[5], 0x42);
  EXPECT_EQ(rig.dialogs.messages.size(), 0u);
}

// The console (or another caller) may name the format instead of leaving it to the file.
TEST(CodeFilesTest, AFormatGivenOverridesTheFile) {
  CodeFileRig rig;
  const auto file = rig.Write("looks.hex", ":0100000001FE\n:00000001FF\n");
  rig.form->buffers.CodeFileName = file.string();
  ASSERT_TRUE(rig.form->images.ReadCodeFile(buffers::ImageFormat::kBinary));
  EXPECT_EQ(rig.form->device.DeviceSize, 26);
  EXPECT_EQ(rig.form->buffers.CodeBuffer[0], ':');
  rig.form->buffers.CodeFileName = (rig.folder / "plain.out").string();
  ASSERT_TRUE(rig.form->images.SaveCodeFile(buffers::ImageFormat::kSRecord));
  EXPECT_TRUE(ReadText(rig.folder / "plain.out").starts_with("S0"));
}

}  // namespace
}  // namespace sorvell::shell::testing
