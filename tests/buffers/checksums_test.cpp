// The checksums against the figures of independent tools: the standard check values of
// "123456789", and coreutils' md5sum, sha1sum and sha256sum and Python's binascii.crc32 and
// crc_hqx for a ROM image the tree ships, through the console and the window's menu.
#include "buffers/checksums.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string_view>

#include "../console/console_rig.h"
#include "../shell/shell_fakes.h"
#include "console/commands.h"

namespace sorvell {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST(ChecksumsTest, TheCheckValuesOfTheStandardString) {
  constexpr std::string_view kCheck = "123456789";
  const auto sums =
      buffers::ChecksumsOf({reinterpret_cast<const std::uint8_t*>(kCheck.data()), kCheck.size()});
  EXPECT_EQ(Joined(buffers::ChecksumLines(sums)),
            "8-bit sum     DD\n"
            "16-bit sum    01DD\n"
            "CRC-16/CCITT  29B1\n"
            "CRC-32        CBF43926\n"
            "MD5           25f9e794323b453885f5181f1b624d0b\n"
            "SHA-1         f7c3bc1d808e04732adf679965ccc34ca7ae3441\n"
            "SHA-256       15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225\n");
  EXPECT_EQ(buffers::ChecksumsOf({}).crc32, 0u);
}

TEST(ChecksumsTest, AFileThroughTheConsoleAndTheBufferThroughTheWindow) {
  const std::string rom = std::string(SORVELL_SOURCE_DIR) + "/tests/scripts/rom32k.bin";
  console::testing::Capture out, err;
  ASSERT_EQ(console::PrintChecksums(rom, out.file(), err.file()), console::kExitOk);
  const std::string figures =
      "8-bit sum     AA\n"
      "16-bit sum    BDAA\n"
      "CRC-16/CCITT  6699\n"
      "CRC-32        DDA93771\n"
      "MD5           ef7ebdab3cc0345216ecff2dc89cc82e\n"
      "SHA-1         f679a7b54543ca19ce7d70c12529ced479d35c87\n"
      "SHA-256       dd5734473e1d607fcf657fccf6713f46094feaafc37af090ff066474a908aef9\n";
  EXPECT_EQ(out.Text(), rom + ": 32768 bytes\n" + figures);
  console::testing::Capture none, why;
  EXPECT_EQ(console::PrintChecksums("/nonexistent.bin", none.file(), why.file()),
            console::kExitNotDone);
  EXPECT_NE(why.Text().find("/nonexistent.bin"), std::string::npos);

  shell::testing::ShellRig rig;
  rig.form->Form_Load();
  rig.form->Click("mnuToolsChecksums");
  EXPECT_FALSE(rig.form->LastOutcome().IsDone());  // nothing in the buffer yet
  std::ifstream in(rom, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::copy(bytes.begin(), bytes.end(), rig.form->buffers.CodeBuffer.begin());
  rig.form->buffers.CodeImageSize = 32768;
  rig.form->Click("mnuToolsChecksums");
  EXPECT_TRUE(rig.form->LastOutcome().IsDone());
  EXPECT_NE(rig.dialogs.messages.back().text.find("CRC-32        DDA93771"), std::string::npos);
  EXPECT_NE(rig.form->frmMain["SystemLog"].Caption().find("SHA-1         f679a7b5"),
            std::string::npos);
}

}  // namespace
}  // namespace sorvell
