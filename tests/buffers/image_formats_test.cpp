#include "buffers/image_formats.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "buffers/buffers.h"

namespace sorvell::buffers {
namespace {

namespace fs = std::filesystem;

struct Folder {
  Folder()
      : path(fs::temp_directory_path() / ("sorvell-formats-" + std::to_string(::getpid()) + "-" +
                                          std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  fs::path Write(const std::string& name, const std::string& contents) const {
    std::ofstream(path / name, std::ios::binary) << contents;
    return path / name;
  }
  fs::path path;
};

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t x = 12345;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  return bytes;
}

const ImageLimit kNoPart{kCodeBufferSize, ""};

CodeImage Read(const fs::path& file, const ImageLimit& limit = kNoPart) {
  CodeImage image;
  std::string error;
  EXPECT_TRUE(ReadCodeImage(file, std::nullopt, limit, image, error)) << error;
  return image;
}

// Each size goes binary -> Intel HEX -> S-record -> binary, every file read back by its content
// alone (the names carry no extension), and comes back byte for byte.
TEST(ImageFormatsTest, RoundTripsThroughEveryFormat) {
  Folder folder;
  for (const std::size_t size :
       {std::size_t{1}, std::size_t{255}, std::size_t{65'537}, std::size_t{1} << 20}) {
    const std::vector<std::uint8_t> original = Pattern(size);
    std::vector<std::uint8_t> bytes = original;
    for (const ImageFormat format :
         {ImageFormat::kIntelHex, ImageFormat::kSRecord, ImageFormat::kBinary}) {
      const fs::path file = folder.path / ("image-" + std::to_string(size));
      std::string error;
      ASSERT_TRUE(WriteCodeImage(file, format, bytes, error)) << error;
      const CodeImage image = Read(file);
      EXPECT_EQ(image.format, format) << size;
      ASSERT_EQ(image.bytes.size(), size) << FormatName(format);
      EXPECT_TRUE(image.bytes == original) << size << " " << FormatName(format);
      bytes = image.bytes;
    }
  }
}

// Past 64 KB the records need extended addresses: Intel HEX its linear address records,
// S-records 24-bit addresses with the matching termination.
TEST(ImageFormatsTest, LargeImagesUseExtendedAddresses) {
  Folder folder;
  const std::vector<std::uint8_t> bytes = Pattern(65'537);
  std::string error;
  ASSERT_TRUE(WriteCodeImage(folder.path / "a.hex", ImageFormat::kIntelHex, bytes, error));
  ASSERT_TRUE(WriteCodeImage(folder.path / "a.s28", ImageFormat::kSRecord, bytes, error));
  const std::string hex = ReadText(folder.path / "a.hex");
  EXPECT_NE(hex.find(":020000040001F9\n"), std::string::npos);
  EXPECT_TRUE(hex.ends_with(":00000001FF\n"));
  const std::string srec = ReadText(folder.path / "a.s28");
  EXPECT_TRUE(srec.starts_with("S00A0000736F7276656C6CEE\nS2"));
  EXPECT_EQ(srec.find("\nS1"), std::string::npos);
  EXPECT_NE(srec.find("\nS5"), std::string::npos);
  EXPECT_TRUE(srec.ends_with("\nS804000000FB\n"));
}

// Out of order, with gaps, through both kinds of Intel extended address: what no record covers
// reads FFh, and the image ends at the last byte given.
TEST(ImageFormatsTest, IntelHexGapsOrderAndExtendedAddresses) {
  Folder folder;
  const fs::path file = folder.Write("gaps.ihx",
                                     ":020000021000EC\n"      // segment 1000h: base 10000h
                                     ":0200100055AAEF\n"      // 10010h
                                     ":020000040000FA\n"      // linear 0
                                     ":03002000010203D7\n"    // 20h, before the bytes above
                                     ":04000003000000F900\n"  // start address: ignored
                                     ":04000005000000F007\n"  // start address: ignored
                                     ":00000001FF\n");
  const CodeImage image = Read(file);
  EXPECT_EQ(image.format, ImageFormat::kIntelHex);
  ASSERT_EQ(image.bytes.size(), 0x10012u);
  EXPECT_EQ(image.lowest, 0x20u);
  EXPECT_EQ(image.highest, 0x10011u);
  EXPECT_EQ(image.bytes[0x1F], 0xFF);
  EXPECT_EQ(image.bytes[0x20], 1);
  EXPECT_EQ(image.bytes[0x22], 3);
  EXPECT_EQ(image.bytes[0x23], 0xFF);
  EXPECT_EQ(image.bytes[0x10010], 0x55);
  EXPECT_EQ(image.bytes[0x10011], 0xAA);
  EXPECT_EQ(std::count(image.bytes.begin(), image.bytes.end(), 0xFF), 0x10012 - 5);

  // With a part selected the image is the whole part; the rest stays erased.
  const CodeImage part = Read(file, {0x20000, "27C010"});
  ASSERT_EQ(part.bytes.size(), 0x20000u);
  EXPECT_EQ(part.bytes[0x1FFFF], 0xFF);
  EXPECT_EQ(part.bytes[0x10011], 0xAA);
}

TEST(ImageFormatsTest, SRecordsOfEveryAddressWidth) {
  Folder folder;
  const fs::path file = folder.Write("mixed.txt",
                                     "\r\n"
                                     "S00600004844521B\r\n"
                                     "S30900010000AABBCCDDE7\r\n"  // 32-bit address 10000h
                                     "S2060000100102E6\r\n"        // 24-bit address 10h
                                     "S1050000EEFF0D\r\n"          // 16-bit address 0
                                     "S5030003F9\r\n"              // three data records
                                     "S70500000000FA\r\n");
  const CodeImage image = Read(file);
  EXPECT_EQ(image.format, ImageFormat::kSRecord);
  ASSERT_EQ(image.bytes.size(), 0x10004u);
  EXPECT_EQ((std::vector<std::uint8_t>(image.bytes.begin(), image.bytes.begin() + 3)),
            (std::vector<std::uint8_t>{0xEE, 0xFF, 0xFF}));
  EXPECT_EQ(image.bytes[0x10], 0x01);
  EXPECT_EQ(image.bytes[0x11], 0x02);
  EXPECT_EQ(image.bytes[0x10003], 0xDD);
  EXPECT_EQ(image.lowest, 0u);
  EXPECT_EQ(image.highest, 0x10003u);
}

struct BadFile {
  const char* name;
  const char* contents;
  const char* expected;  // in the error, after the file name
};

// Every refusal names the line at fault, and leaves the image it was given alone.
TEST(ImageFormatsTest, BadRecordsAreRefusedWithTheirLine) {
  Folder folder;
  const ImageLimit part{32768, "27C256"};
  const BadFile cases[] = {
      {"checksum.hex", ":0200000001FFFE\n:0200020001FFFD\n:00000001FF\n",
       "(Intel HEX), line 2: checksum mismatch"},
      {"garbage.hex", ":0200000001FFFE\nhello\n:00000001FF\n",
       "(Intel HEX), line 2: not an Intel HEX record"},
      {"digit.hex", ":0200000001FFFE\n:02000200G1FFFD\n", "(Intel HEX), line 2: hexadecimal"},
      {"short.hex", ":0200000001FFFE\n:02000200", "(Intel HEX), line 2:"},
      {"no_end.hex", ":0200000001FFFE\n:0200020001FFFC\n",
       "(Intel HEX), line 3: the file ends without its end-of-file record"},
      {"beyond.hex", ":0200000001FFFE\n:020000040000FA\n:027FFF0001FF80\n:00000001FF\n",
       "(Intel HEX), line 3: data at $007FFF to $008000 lies beyond the 32768 bytes of the 27C256"},
      {"empty.hex", ":00000001FF\n", "(Intel HEX), line 1: file contains no data"},
      {"checksum.s19", "S1050000EEFF0D\nS1050002EEFF0C\nS9030000FC\n",
       "(Motorola S-record), line 2: checksum mismatch"},
      {"count.s19", "S1050000EEFF0D\nS5030002FA\nS9030000FC\n",
       "(Motorola S-record), line 2: data record count mismatch"},
      {"after.s19", "S1050000EEFF0D\nS9030000FC\nS1050002EEFF0B\n",
       "(Motorola S-record), line 3: a record follows the termination"},
      {"garbage.s19", "S1050000EEFF0D\n  S1050002EEFF0B\nS9030000FC\n",
       "(Motorola S-record), line 2: not an S-record"},
      {"no_end.s19", "S1050000EEFF0D\n",
       "(Motorola S-record), line 2: the file ends without its termination record"},
      {"beyond.s28", "S1050000EEFF0D\nS206008000EEFF8C\nS804000000FB\n",
       "(Motorola S-record), line 2: data at $008000 to $008001 lies beyond the 32768 bytes"},
  };
  for (const BadFile& bad : cases) {
    const fs::path file = folder.Write(bad.name, bad.contents);
    CodeImage image{{1, 2, 3}, ImageFormat::kBinary, 7, 9};
    std::string error;
    EXPECT_FALSE(ReadCodeImage(file, std::nullopt, part, image, error)) << bad.name;
    EXPECT_EQ(error.find(file.string() + " " + bad.expected), 0u) << bad.name << ": " << error;
    EXPECT_EQ(image.bytes, (std::vector<std::uint8_t>{1, 2, 3})) << bad.name;
    EXPECT_EQ(image.lowest, 7u) << bad.name;
  }
}

// Without a part the code buffer is the limit; plain images keep theirs whatever the part.
TEST(ImageFormatsTest, LimitsOfTheBufferAndOfPlainImages) {
  Folder folder;
  CodeImage image;
  std::string error;
  const fs::path far = folder.Write("far.hex", ":020000040021D9\n:0100000001FE\n:00000001FF\n");
  EXPECT_FALSE(ReadCodeImage(far, std::nullopt, kNoPart, image, error));
  EXPECT_NE(error.find("line 2: data at $210000 to $210000 lies beyond the 2100001 bytes of the "
                       "code buffer"),
            std::string::npos)
      << error;
  // 64 KB of plain bytes are not refused for a 32 KB part: the log says what fits.
  const fs::path plain = folder.Write("big.bin", std::string(65536, 'x'));
  ASSERT_TRUE(ReadCodeImage(plain, std::nullopt, {32768, "27C256"}, image, error)) << error;
  EXPECT_EQ(image.bytes.size(), 65536u);
}

TEST(ImageFormatsTest, OnlyRegularFilesAreRead) {
  Folder folder;
  ASSERT_EQ(::mkfifo((folder.path / "pipe.hex").c_str(), 0600), 0);
  for (const char* name : {"pipe.hex", "."}) {
    CodeImage image{{4}, ImageFormat::kBinary, 0, 0};
    std::string error;
    EXPECT_FALSE(ReadCodeImage(folder.path / name, ImageFormat::kIntelHex, kNoPart, image, error));
    EXPECT_NE(error.find("is not a regular file"), std::string::npos) << error;
    EXPECT_EQ(image.bytes, std::vector<std::uint8_t>{4});
  }
}

TEST(ImageFormatsTest, RecognitionByContentExtensionAndWord) {
  EXPECT_EQ(FormatFromContent("\r\n  \n:0100000001FE\r\n"), ImageFormat::kIntelHex);
  EXPECT_EQ(FormatFromContent("S1050000eeff0d"), ImageFormat::kSRecord);
  EXPECT_EQ(FormatFromContent(":0100000001FF\n"), std::nullopt);  // checksum off by one
  EXPECT_EQ(FormatFromContent(":01000000\n"), std::nullopt);      // length does not match
  EXPECT_EQ(FormatFromContent("S105000EEFF0D\n"), std::nullopt);  // odd digit count
  EXPECT_EQ(FormatFromContent("Some text\n"), std::nullopt);
  EXPECT_EQ(FormatFromContent(std::string("\0\1:", 3)), std::nullopt);

  EXPECT_EQ(FormatFromExtension("a/B.HEX"), ImageFormat::kIntelHex);
  EXPECT_EQ(FormatFromExtension("b.ihex"), ImageFormat::kIntelHex);
  for (const char* name : {"c.s19", "c.S28", "c.s37", "c.srec", "c.mot"}) {
    EXPECT_EQ(FormatFromExtension(name), ImageFormat::kSRecord) << name;
  }
  EXPECT_EQ(FormatFromExtension("d.bin"), ImageFormat::kBinary);
  EXPECT_EQ(FormatFromExtension("hex"), std::nullopt);

  EXPECT_EQ(FormatFromWord("IHEX"), ImageFormat::kIntelHex);
  EXPECT_EQ(FormatFromWord("srec"), ImageFormat::kSRecord);
  EXPECT_EQ(FormatFromWord("bin"), ImageFormat::kBinary);
  EXPECT_EQ(FormatFromWord("elf"), std::nullopt);

  // A format given wins over what the contents show, and they over the extension; a binary
  // that starts with a colon stays binary.
  const std::string hex = ":0100000001FE\n";
  EXPECT_EQ(ChooseFormat(ImageFormat::kBinary, "x.hex", hex), ImageFormat::kBinary);
  EXPECT_EQ(ChooseFormat(std::nullopt, "x.bin", hex), ImageFormat::kIntelHex);
  EXPECT_EQ(ChooseFormat(std::nullopt, "x.s19", ":\x01\x02"), ImageFormat::kSRecord);
  EXPECT_EQ(ChooseFormat(std::nullopt, "x.img", ":\x01\x02"), ImageFormat::kBinary);
}

}  // namespace
}  // namespace sorvell::buffers
