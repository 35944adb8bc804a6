// Job files: the shipped example is taken whole, and any fault refuses the whole file with its
// line and reason.
#include "production/job_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace sorvell::production {
namespace {

constexpr const char* kSha = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

std::string Head(const std::string& extra = "") {
  return std::string("name = \"Lot 7\"\ndevice = \"27C256\"\nimage = \"fw.bin\"\nsha256 = \"") +
         kSha + "\"\ncount = 100\n" + extra;
}

struct Folder {
  Folder()
      : path(std::filesystem::temp_directory_path() /
             ("sorvell-job-test-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~Folder() { std::filesystem::remove_all(path); }
  std::filesystem::path Write(const std::string& name, const std::string& text) const {
    std::ofstream(path / name) << text;
    return path / name;
  }
  std::filesystem::path path;
};

TEST(JobFileTest, TheShippedExampleIsTakenWithEveryKey) {
  const std::filesystem::path file =
      std::filesystem::path(SORVELL_SOURCE_DIR) / "docs/examples/job.toml";
  const JobFile read = ReadJobFile(file);
  ASSERT_TRUE(read.job) << read.error;
  const Job& job = *read.job;
  EXPECT_EQ(job.device, "27C256");
  EXPECT_EQ(job.image, file.parent_path() / "firmware.bin");  // beside the job file
  EXPECT_EQ(job.vpp, "12.5");
  EXPECT_EQ(job.backup, JobBackup::kNotForBlank);
  ASSERT_TRUE(job.serial);
  EXPECT_EQ(job.serial->address, 0x7FF0);
  EXPECT_EQ(job.serial->length, 4);
  EXPECT_EQ(job.serial->encoding, SerialEncoding::kBcd);
  EXPECT_EQ(job.serial->start, 1000u);
  EXPECT_EQ(job.serial->step, 1u);
}

TEST(JobFileTest, AnyFaultRefusesTheWholeFileWithItsLineAndReason) {
  Folder folder;
  folder.Write("numbers.txt", "# lot 7\n1200\n12a\n");
  folder.Write("empty.txt", "\n# none\n");
  const struct {
    std::string text;
    std::string error;  // after "PATH "
  } kCases[] = {
      {"name = \"Lot 7\"\n", "line 1: a job needs device = text in quotes"},
      {Head("colour = \"red\"\n"), "line 6: unknown key \"colour\" (name, device, image, sha256,"},
      {Head("half = \"middle\"\n"), "line 6: half must be one of both, hi, lo"},
      {Head("backup = \"never\"\n"), "line 6: backup must be one of always, off, not-for-blank"},
      {Head("vpp = 13\n"), "line 6: vpp must be 5, 12.5, 21 or 25 (volts)"},
      {Head("speed = 0\n"), "line 6: speed must be a whole number from 1 to 20"},
      {Head("verify = \"yes\"\n"), "line 6: verify must be true or false"},
      {"name = \"a\"\ndevice = \"27C256\"\nimage = \"fw.bin\"\nsha256 = \"abc\"\ncount = 1\n",
       "line 4: sha256 must be the image's SHA-256, 64 hexadecimal digits"},
      {Head("[serial]\naddress = 16\nlength = 4\nencoding = \"base64\"\nstart = 1\n"),
       "line 9: encoding must be ascii-decimal, ascii-hex, bcd, binary-le or binary-be"},
      {Head("[serial]\naddress = 16\nlength = 9\nencoding = \"binary-le\"\nstart = 1\n"),
       "line 8: length must be a whole number from 1 to 8"},
      {Head("[serial]\naddress = 16\nlength = 4\nencoding = \"ascii-decimal\"\nstart = 10000\n"),
       "line 10: serial 10000 does not fit 4 bytes as ascii-decimal"},
      {Head("[serial]\naddress = 16\nlength = 4\nencoding = \"bcd\"\nstart = 1\nlist = "
            "\"numbers.txt\"\n"),
       "line 11: give either list or start and step, not both"},
      {Head("name2 = 1\xC3\xA9\n"), "line 6: a character that is not plain ASCII"},
      {Head("count = 3\n"), "line 6: "},  // TOML itself: a key given twice
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const std::filesystem::path file = folder.Write("job.toml", c.text);
    const JobFile read = ReadJobFile(file);
    EXPECT_FALSE(read.job);
    EXPECT_TRUE(read.error.starts_with(file.string() + " " + c.error)) << read.error;
  }
  // A fault in the list of numbers names the list file and its line.
  const std::string serial = "[serial]\naddress = 16\nlength = 4\nencoding = \"bcd\"\n";
  const JobFile listed =
      ReadJobFile(folder.Write("job.toml", Head(serial + "list = \"numbers.txt\"\n")));
  EXPECT_EQ(listed.error, (folder.path / "numbers.txt").string() +
                              " line 3: \"12a\" is not a serial number (decimal digits)");
  const JobFile empty =
      ReadJobFile(folder.Write("job.toml", Head(serial + "list = \"empty.txt\"\n")));
  EXPECT_EQ(empty.error,
            (folder.path / "empty.txt").string() + ": the list holds no serial number");
  // Only a regular file is read.
  EXPECT_EQ(ReadJobFile(folder.path).error, folder.path.string() + ": not a regular file");
}

}  // namespace
}  // namespace sorvell::production
