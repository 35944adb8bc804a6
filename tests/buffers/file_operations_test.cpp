#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../shell/shell_fakes.h"
#include "buffers/image_formats.h"
#include "sim/rom_chip.h"

namespace sorvell::shell::testing {
namespace {

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct FileRig : ShellRig {
  FileRig() { form->Form_Load(); }
  std::string Log() { return form->frmMain["SystemLog"].Caption(); }
  bool Open(const std::filesystem::path& file) {
    dialogs.files.push_back(file);
    return form->Click("mnuFileOpenCode");
  }
};

TEST(BuffersOpenTest, ThreeByteFileSetsSizeChecksumAndControls) {
  FileRig rig;
  rig.form->SetValue("Device", 11);
  WriteBytes(rig.folder / "abc.bin", "abc");
  rig.Open(rig.folder / "abc.bin");
  MainForm& f = *rig.form;
  EXPECT_EQ(f.device.DeviceSize, 3);
  EXPECT_EQ(f.buffers.FileCRCText, "0126");
  EXPECT_EQ(f.frmMain["FileNameCodeSize"].Caption(), "(3)");
  EXPECT_EQ(f.frmMain["VScroll1"].Maximum(), -1);
  const std::string name = (rig.folder / "abc.bin").string();
  EXPECT_NE(rig.Log().find("File " + name +
                           " - was read into Buffer. 3 bytes long.\r\n10:58:39>  "
                           "Read File CRC = $0126\r\n10:58:39>  You can Install a Blank Eprom "
                           "for Programming"),
            std::string::npos);
  EXPECT_EQ(rig.dialogs.fileRequests[0].title, "Open Code File");
  EXPECT_EQ(rig.dialogs.fileRequests[0].filter, buffers::kCodeFileFilter);
  EXPECT_TRUE(f.frmMain["Program_button"].Enabled());
  EXPECT_TRUE(f.frmMain["tbToolBar:SaveCode"].Enabled());
  EXPECT_EQ(f.buffers.CodeBufferLoaded, 1);
  // The page shown starts with an empty line. The label names the file as it is spelt and, with
  // a file loaded, a click on it still opens another.
  EXPECT_TRUE(f.frmMain["BufferDisplay"].Caption().starts_with("\r\n000000| 616263"));
  EXPECT_EQ(f.frmMain["FileNameCodeText"].Caption(), name);
  WriteBytes(rig.folder / "Next.Bin", "de");
  rig.dialogs.files.push_back(rig.folder / "Next.Bin");
  f.Click("FileNameCodeText");
  EXPECT_EQ(rig.dialogs.fileRequests.size(), 2u);
  EXPECT_EQ(f.frmMain["FileNameCodeText"].Caption(), (rig.folder / "Next.Bin").string());
  EXPECT_EQ(f.device.DeviceSize, 2);
}

TEST(BuffersOpenTest, BadFilesChangeNothing) {
  FileRig rig;
  WriteBytes(rig.folder / "good.bin", std::string(1000, 'g'));
  rig.Open(rig.folder / "good.bin");
  const std::string logBefore = rig.Log();
  WriteBytes(rig.folder / "empty.bin", "");
  {
    std::ofstream big(rig.folder / "big.bin", std::ios::binary);
    big.seekp(2'100'001);
    big.put('x');
  }
  for (const char* bad : {"empty.bin", "big.bin", "missing.bin", "."}) {
    rig.Open(rig.folder / bad);
    EXPECT_EQ(rig.form->device.DeviceSize, 1000) << bad;
    EXPECT_EQ(rig.form->buffers.CodeFileName, (rig.folder / "good.bin").string()) << bad;
    EXPECT_EQ(rig.form->buffers.CodeBuffer[0], 'g') << bad;
  }
  EXPECT_EQ(rig.dialogs.messages.size(), 4u);
  EXPECT_EQ(rig.Log(), logBefore);
  EXPECT_EQ(rig.form->frmMain["FileNameCodeText"].Caption(), (rig.folder / "good.bin").string());
}

TEST(BuffersOpenTest, DataFileLimit) {
  FileRig rig;
  rig.form->frmMain["mnuFileOpenData"].SetEnabled(true);
  WriteBytes(rig.folder / "ok.dat", std::string(8192, 'd'));
  WriteBytes(rig.folder / "big.dat", std::string(8193, 'e'));
  rig.dialogs.files = {rig.folder / "ok.dat", rig.folder / "big.dat"};
  rig.form->Click("mnuFileOpenData");
  EXPECT_EQ(rig.form->buffers.DataFileSize, 8192);
  rig.form->Click("mnuFileOpenData");
  EXPECT_EQ(rig.form->buffers.DataFileSize, 8192);
  EXPECT_EQ(rig.form->buffers.DataFileName, (rig.folder / "ok.dat").string());
  EXPECT_EQ(rig.form->buffers.DataBuffer[0], 'd');
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0].title, "Data File to Big");
  EXPECT_NE(rig.Log().find("Data File Size is 8193 bytes, bigger than the 8192 allowed - Will Not "
                           "Open"),
            std::string::npos);
}

TEST(BuffersSaveTest, SaveWritesDeviceSizeBytesAndSaveAsAsks) {
  FileRig rig;
  rig.form->SetValue("Device", 11);
  rig.form->buffers.CodeBuffer[1000] = 0x77;
  WriteBytes(rig.folder / "in.bin", std::string(1000, 'x'));
  rig.Open(rig.folder / "in.bin");
  rig.form->Click("mnuFileSaveCode");  // no dialog: the file opened last is overwritten
  EXPECT_EQ(ReadText(rig.folder / "in.bin"), std::string(1000, 'x'));
  EXPECT_EQ(rig.dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(rig.form->buffers.CodeBuffer[1000], 0x77);  // above the file: untouched
  rig.dialogs.files.push_back(rig.folder / "out.bin");
  rig.form->Click("mnuFileSaveCodeAs");
  EXPECT_EQ(rig.dialogs.fileRequests.back().title, "Save CODE BUFFER As...");
  EXPECT_EQ(ReadText(rig.folder / "out.bin").size(), 1000u);
  EXPECT_NE(rig.Log().find("File Sucessfully Saved as " + (rig.folder / "out.bin").string()),
            std::string::npos);
}

TEST(BuffersSaveTest, AFailedSaveKeepsTheOldFile) {
  FileRig rig;
  WriteBytes(rig.folder / "keep.bin", "precious");
  rig.Open(rig.folder / "keep.bin");
  // Make the write fail half-way: the target's folder cannot take the temporary file.
  const auto blocked = rig.folder / "blocked";
  std::filesystem::create_directories(blocked / "target.bin");
  rig.dialogs.files.push_back(blocked / "target.bin");
  rig.form->Click("mnuFileSaveCodeAs");
  ASSERT_EQ(rig.dialogs.messages.size(), 1u);
  EXPECT_EQ(rig.dialogs.messages[0].title, "File Not Saved");
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "target.bin"));
  EXPECT_EQ(ReadText(rig.folder / "keep.bin"), "precious");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(blocked),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left behind
}

TEST(BuffersSaveTest, SaveDataBeforeAnyFileWritesAnEmptyFile) {
  FileRig rig;
  rig.dialogs.files.push_back(rig.folder / "data.bin");
  rig.form->images.mnuFileSaveData_Click();
  EXPECT_TRUE(std::filesystem::exists(rig.folder / "data.bin"));
  EXPECT_EQ(std::filesystem::file_size(rig.folder / "data.bin"), 0u);
}

TEST(BuffersEraseTest, EraseRangesFollowTheCheckBoxes) {
  FileRig rig;
  auto& code = rig.form->buffers.CodeBuffer;
  code[1'048'576] = 1;
  code[1'048'577] = 2;
  rig.form->frmMain["CheckCode"].SetValue(0);
  rig.form->frmMain["CheckData"].SetValue(1);
  rig.form->images.Erase_button_Click();
  EXPECT_EQ(code[1'048'576], 1);
  EXPECT_EQ(rig.form->buffers.DataBuffer[8192], 0xFF);
  EXPECT_EQ(rig.form->buffers.DataBuffer[8193], 0);
  rig.form->frmMain["CheckCode"].SetValue(1);
  rig.form->frmMain["CheckData"].SetValue(0);
  rig.form->images.Erase_button_Click();
  EXPECT_EQ(code[0], 0xFF);
  EXPECT_EQ(code[1'048'576], 0xFF);
  EXPECT_EQ(code[1'048'577], 2);
  EXPECT_FALSE(rig.form->frmMain["Program_button"].Enabled());
}

TEST(BuffersDisplayTest, CodePageAndSavedDump) {
  FileRig rig;
  for (int i = 0; i < 256; ++i)
    rig.form->buffers.CodeBuffer[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  rig.form->view.DisplayPageMemory();
  const std::string text = rig.form->frmMain["BufferDisplay"].Caption();
  EXPECT_TRUE(
      text.starts_with("\r\n000000| 00010203 04050607 08090A0B 0C0D0E0F | ................\r\n"));
  EXPECT_NE(text.find("000020| 20212223 24252627 28292A2B 2C2D2E2F | .!.#$%&'()*+,-./"),
            std::string::npos);
  EXPECT_FALSE(text.ends_with("\r\n"));
  rig.form->board.BoardModel = 6;
  rig.form->DblClick("BufferDisplay");
  double sum = 0;
  for (char c : text) sum += static_cast<unsigned char>(c);
  EXPECT_EQ(ReadText(rig.folder / "SORVELL.BUF"),
            "SORVELL BUFFER DISPLAY FILE - Sorvell Device Programmers\r\n"
            "The following contents are the contents from Buffer DIsplay\r\n"
            "12-08-2026 10:58:39 StatCode: " +
                std::to_string(static_cast<long>(sum)) + "  Model: 6 \r\n" + std::string(60, '-') +
                "\r\n" + text + "\r\n");
  EXPECT_EQ(rig.sounds.played.back(), "ok.wav");
}

TEST(BuffersDisplayTest, EmptyDisplaySavesHeaderAndAnEmptyLine) {
  FileRig rig;
  rig.form->frmMain["BufferDisplay"].SetCaption("");
  rig.form->DblClick("BufferDisplay");
  const std::string saved = ReadText(rig.folder / "SORVELL.BUF");
  EXPECT_NE(saved.find(" StatCode: 0  Model: 0 \r\n"), std::string::npos);
  EXPECT_TRUE(saved.ends_with(std::string(60, '-') + "\r\n\r\n"));
}

TEST(BuffersDisplayTest, SecondWindowCollectsPages) {
  FileRig rig;
  rig.form->view.Command1_Click();
  rig.form->view.Command1_Click();
  const std::string& second = rig.form->frmDisplay1["BufferDisplay"].Caption();
  EXPECT_EQ(std::count(second.begin(), second.end(), '|'), 2 * 16 * 2);
  EXPECT_EQ(rig.form->frmMain["BufferDisplay"].Caption(), "");
}

// The window shows its view of the whole image only while the dump shows a code page: not
// before anything was shown, nor the data memory, a message or a cleared box.
TEST(BuffersDisplayTest, TheDumpTellsWhetherItShowsTheCodeImage) {
  FileRig rig;
  buffers::BufferView& view = rig.form->view;
  EXPECT_FALSE(view.ShowsCodeBuffer());
  view.DisplayPageMemory();
  EXPECT_TRUE(view.ShowsCodeBuffer());
  rig.form->frmMain["BufferDisplay"].SetCaption(
      "\r\n\r\n                      READING FILE ... WAIT");
  EXPECT_FALSE(view.ShowsCodeBuffer());
  view.DisplayPageMemory();
  view.DisplayDataMemory();
  EXPECT_FALSE(view.ShowsCodeBuffer());
  view.DisplayCodeMemory();
  view.Command1_Click();
  EXPECT_FALSE(view.ShowsCodeBuffer());
}

TEST(BuffersDisplayTest, LiveDeviceViewReadsThroughTheBoard) {
  SimRig rig;
  std::vector<std::uint8_t> image(1 << 20);
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i * 3 + (i >> 8));
  image[0x12300] = '"';
  image[0x12301] = '~';
  rig.boards.PlaceBoard(5, 0x378).Insert(std::make_unique<sim::RomChip>(image));
  rig.form.Form_Load();             // the chip hides nothing a model 5 board needs to be found
  rig.form.SetValue("Device", 21);  // 27C080: 1 MB, no fixed bits
  rig.form.SetValue("VScroll1", 0x123);
  rig.form.Click("Display_button");
  EXPECT_EQ(rig.form.frmMain["Frame3"].Caption(), "Device Memory Hex/Ascii Display");
  EXPECT_FALSE(rig.form.view.ShowsCodeBuffer());
  // Display resets the scroll bar to page 0; go to page 123h live.
  rig.form.SetValue("VScroll1", 0x123);
  const std::string text = rig.form.frmMain["BufferDisplay"].Caption();
  char expected[32];
  std::snprintf(expected, sizeof expected, "012300| 227E%02X%02X", image[0x12302], image[0x12303]);
  EXPECT_TRUE(text.starts_with(expected)) << text.substr(0, 40);
  EXPECT_EQ(text.substr(46, 2), "\".");  // live rule: a quote shows, a tilde does not
}

TEST(BuffersDisplayTest, LiveViewNeedsAPort) {
  FileRig rig;  // no board: no port chosen
  rig.form->SetValue("Device", 11);
  rig.form->Click("Display_button");
  EXPECT_NE(rig.Log().find("No LPT port is selected"), std::string::npos);
  EXPECT_TRUE(rig.port.Accesses().size() > 0);  // only the start-up search
}

}  // namespace
}  // namespace sorvell::shell::testing
