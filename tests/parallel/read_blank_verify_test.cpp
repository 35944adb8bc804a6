#include <gtest/gtest.h>

#include <fstream>

#include "../shell/shell_fakes.h"
#include "sim/rom_chip.h"

namespace sorvell::shell::testing {
namespace {

// A board with a read-only memory in its socket and a device selected.
struct RomRig : SimRig {
  RomRig(int model, int deviceRow, std::vector<std::uint8_t> image) : rom(image) {
    boards.PlaceBoard(model, board::kLpt378);
    form.Form_Load();  // found with an empty socket, as on the real board
    boards.BoardAt(board::kLpt378)->Insert(std::make_unique<sim::RomChip>(std::move(image)));
    form.SetValue("Device", deviceRow);
  }
  std::string Log() { return form.frmMain["SystemLog"].Caption(); }
  bool Logged(const std::string& line) {
    return Log().find(">  " + line + "\r\n") != std::string::npos || Log().ends_with(">  " + line);
  }
  std::vector<std::uint8_t> rom;
};

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<std::uint8_t>(i * 13 + (i >> 9));
  return image;
}

TEST(ParallelReadTest, OneMegabyteOnEveryModel) {
  for (int model : {4, 5, 6}) {
    const auto image = Pattern(1 << 20);
    RomRig rig(model, 21, image);  // 27C080
    int maxProgress = 0;
    rig.form.frmMain.onChanged = [&](const Control& c) {
      if (c.Name() == "ProgressBar1") maxProgress = std::max(maxProgress, c.Value());
    };
    rig.form.Click("Read_button");
    EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin()))
        << "model " << model;
    std::uint32_t sum = 0;
    for (auto b : image) sum += b;
    char line[40];
    std::snprintf(line, sizeof line, "Device CHKSUMM = $%04X", sum & 0xFFFF);
    EXPECT_TRUE(rig.Logged("1048576 bytes Read from Device"));
    EXPECT_TRUE(rig.Logged(line)) << rig.Log();
    EXPECT_EQ(maxProgress, 4096);
    EXPECT_EQ(rig.form.run.LastBank, 15);
    EXPECT_EQ(rig.form.run.LastPage, 255);
    EXPECT_TRUE(rig.form.frmMain["Program_button"].Enabled());
    EXPECT_EQ(rig.form.buffers.CodeBufferLoaded, 1);
  }
}

TEST(ParallelReadTest, ErasedPartChecksumAndShortLength) {
  RomRig rig(5, 11, std::vector<std::uint8_t>(32768, 0xFF));  // 27C256
  rig.form.Click("Read_button");
  EXPECT_TRUE(rig.Logged("Device CHKSUMM = $8000"));
  // A 1000-byte file loaded after the part was chosen does not shorten the read: it covers the
  // part, and the buffer then holds the part's image.
  rig.form.buffers.CodeBuffer[1000] = 0x12;
  rig.form.device.DeviceSize = 1000;
  rig.form.Click("Read_button");
  EXPECT_EQ(rig.form.buffers.CodeBuffer[1000], 0xFF);
  EXPECT_EQ(rig.form.device.DeviceSize, 32768);
  EXPECT_EQ(rig.form.buffers.CodeImageSize, 32768);
  EXPECT_EQ(rig.form.frmMain["VScroll1"].Maximum(), 127);
}

TEST(ParallelBlankTest, BlankAndNotBlankAtFirstAndLastByte) {
  {
    RomRig rig(6, 11, std::vector<std::uint8_t>(32768, 0xFF));
    rig.form.Click("Blank_button");
    EXPECT_TRUE(rig.Logged("Checking Device for BLANK (Erased)... Wait"));
    EXPECT_TRUE(rig.Logged("Device IS BLANK (ERASED)"));
    EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);
  }
  {
    std::vector<std::uint8_t> image(32768, 0xFF);
    image[0] = 0x00;
    RomRig rig(5, 11, image);
    rig.form.Click("Blank_button");
    EXPECT_TRUE(rig.Logged("Device IS NOT BLANK (ERASED)"));
    EXPECT_TRUE(rig.Logged("Address: 0 ][ Device Data: 0"));
    EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 1);
    EXPECT_EQ(rig.dialogs.messages.back().title, "Critical Message");
    EXPECT_TRUE(rig.form.run.BlankCheckFoundData);
  }
  {
    std::vector<std::uint8_t> image(1 << 20, 0xFF);
    image.back() = 0x7F;
    RomRig rig(4, 21, image);
    rig.form.Click("Blank_button");
    EXPECT_TRUE(rig.Logged("Address: FFFFF ][ Device Data: 7F"));
  }
}

TEST(ParallelVerifyTest, MatchAfterReadAndMismatchAtTheLastAddress) {
  auto image = Pattern(65536);
  RomRig rig(5, 13, image);  // 27C512
  rig.form.Click("Read_button");
  rig.form.Click("Verify_button");
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents"));
  EXPECT_EQ(rig.form.run.VerifyFailed, 0);
  rig.form.buffers.CodeBuffer[0xFFFF] ^= 0x01;
  rig.form.Click("Verify_button");
  char line[80];
  std::snprintf(line, sizeof line, "Address: FFFF ][ Buffer Data: %X ][ Device Data: %X",
                image[0xFFFF] ^ 0x01, image[0xFFFF]);
  EXPECT_TRUE(rig.Logged("Device Memory DOES NOT VERIFY with Buffer Contents"));
  EXPECT_TRUE(rig.Logged(line)) << rig.Log();
  EXPECT_EQ(rig.form.run.VerifyFailed, 1);
  // A second verify starts clean again.
  rig.form.buffers.CodeBuffer[0xFFFF] ^= 0x01;
  rig.form.Click("Verify_button");
  EXPECT_EQ(rig.form.run.VerifyFailed, 0);
}

TEST(ParallelVerifyTest, SplitImageComparesThePackedHalf) {
  std::vector<std::uint8_t> half(32768);
  for (std::size_t i = 0; i < half.size(); ++i) half[i] = static_cast<std::uint8_t>(i >> 3);
  RomRig rig(5, 11, half);
  auto& code = rig.form.buffers.CodeBuffer;
  for (std::size_t i = 0; i < 32768; ++i) code[2 * i + 1] = half[i];  // the odd bytes
  rig.form.device.DeviceSize = 32768;
  rig.form.Click("HiLow_button(1)");
  rig.form.dispatcher.Verify_button_Click();  // the button waits for a loaded image
  EXPECT_EQ(rig.form.run.ProgramLength, 16384);
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
}

// A loaded file larger than the part (here the largest the code buffer takes) must not make a
// whole-device operation walk past the part: before, the bank number ran into register 3's
// control bits, the blank check of a blank 27C256 reported "Address: 200000" and the read filled
// the buffer with bus noise.
TEST(ParallelExtentTest, AFileLargerThanThePartNeverTakesAnOperationPastIt) {
  RomRig rig(6, 11, std::vector<std::uint8_t>(32768, 0xFF));  // 27C256, blank
  const std::filesystem::path file = rig.folder / "huge.bin";
  {
    std::ofstream out(file, std::ios::binary);
    const std::vector<char> bytes(2'100'001, 0x5A);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  rig.dialogs.files.push_back(file);
  rig.form.Click("mnuFileOpenCode");
  ASSERT_EQ(rig.form.device.DeviceSize, 2'100'001);
  EXPECT_TRUE(
      rig.Logged("Image is 2100001 bytes but Eprom 27C256 holds 32768: only the first "
                 "32768 bytes go to the device."))
      << rig.Log();

  rig.form.Click("Blank_button");
  EXPECT_TRUE(rig.Logged("Device IS BLANK (ERASED)")) << rig.Log();
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);

  rig.form.Click("Display_button");
  EXPECT_EQ(rig.form.frmMain["VScroll1"].Maximum(), 127);
  EXPECT_FALSE(rig.form.SetValue("VScroll1", 128));

  rig.form.Click("Read_button");
  EXPECT_TRUE(rig.Logged("32768 bytes Read from Device"));
  EXPECT_EQ(rig.form.buffers.CodeBuffer[32767], 0xFF);
  EXPECT_EQ(rig.form.buffers.CodeBuffer[32768], 0x5A);  // past the part: untouched
  EXPECT_EQ(rig.form.device.DeviceSize, 32768);
}

// Programming covers the whole part; an image of another size is told in both sizes before
// anything is burned, and verify compares all that was burned.
TEST(ParallelExtentTest, AShortImageIsToldBeforeBurningAndVerifiedWhole) {
  RomRig rig(6, 11, std::vector<std::uint8_t>(32768, 0xFF));
  const std::filesystem::path file = rig.folder / "short.bin";
  {
    std::ofstream out(file, std::ios::binary);
    const std::vector<char> bytes(16384, static_cast<char>(0xFF));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  rig.dialogs.files.push_back(file);
  rig.form.Click("mnuFileOpenCode");
  const std::string note =
      "Image is 16384 bytes but Eprom 27C256 holds 32768: bytes 16384 to 32767 of the device are "
      "programmed from what the buffer holds beyond the image.";
  EXPECT_TRUE(rig.Logged(note)) << rig.Log();

  rig.dialogs.answers.push_back(Answer::kCancel);
  rig.form.Click("Program_button");
  ASSERT_FALSE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.dialogs.messages.back().text,
            "Image is 16384 bytes but Eprom 27C256 holds 32768. Program the Device, with bytes "
            "16384 to 32767 filled with FFh (Yes) or from what the buffer holds beyond the image "
            "(No)?");

  // Zeros after start-up beyond the image: the read-only part cannot hold them, and verify
  // says so at the first byte past the image instead of a match.
  rig.form.Click("Verify_button");
  EXPECT_TRUE(rig.Logged("Address: 4000 ][ Buffer Data: 0 ][ Device Data: FF")) << rig.Log();
}

// An image that fits the part exactly asks the plain question.
TEST(ParallelExtentTest, AnImageOfThePartsSizeAsksThePlainQuestion) {
  RomRig rig(6, 11, std::vector<std::uint8_t>(32768, 0xFF));
  rig.form.Click("Read_button");
  rig.dialogs.answers.push_back(Answer::kCancel);
  rig.form.Click("Program_button");
  ASSERT_FALSE(rig.dialogs.messages.empty());
  EXPECT_EQ(rig.dialogs.messages.back().text, "Program the Device?");
}

}  // namespace
}  // namespace sorvell::shell::testing
