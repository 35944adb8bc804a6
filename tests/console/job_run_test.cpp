// sorvell-cli job run on the simulated board: a fresh part in the socket before each part, the
// third part failing its verify, and what each part's cells hold afterwards.
#include <gtest/gtest.h>

#include <csignal>
#include <map>

#include "buffers/checksums.h"
#include "command_rig.h"
#include "shell/stop_signals.h"

namespace sorvell::console::testing {
namespace {

constexpr std::uint32_t kSerialStart = 1000;

std::string Sha256(const std::vector<std::uint8_t>& bytes) {
  return buffers::ChecksumsOf(bytes).sha256;
}

std::string JobText(const std::string& sha, std::int32_t address, bool reuse) {
  return "name = \"Lot 7\"\ndevice = \"27C256\"\nimage = \"fw.bin\"\nsha256 = \"" + sha +
         "\"\ncount = 4\nbackup = \"off\"\n[serial]\naddress = " + std::to_string(address) +
         "\nlength = 4\nencoding = \"bcd\"\nstart = " + std::to_string(kSerialStart) +
         "\nreuse_failed = " + (reuse ? "true" : "false") + "\n";
}

// The 4-byte BCD of a number below 10^8.
std::vector<std::uint8_t> Bcd(std::uint32_t number) {
  std::vector<std::uint8_t> bytes(4);
  for (int i = 3; i >= 0; --i, number /= 100) {
    bytes[static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>((number % 100 / 10) << 4 | number % 10);
  }
  return bytes;
}

// The operator at the socket: before each part the last one's cells are kept and a fresh
// 27C256 goes in; the third has a byte that never takes its value.
struct Operator {
  CommandRig& rig;
  int part = 0;
  std::map<int, std::vector<std::uint8_t>> cells;  // by part

  std::optional<std::string> operator()() {
    if (part > 0) cells[part] = rig.Cells();
    ++part;
    Sim("insert 27C256");
    if (part == 3) Sim("fault stuck 10 FF FF");
    return "";
  }
  void Sim(const std::string& command) {
    std::string error;
    EXPECT_TRUE(
        shell::RunSimCommand(*rig.backend.simulator->BoardAt(board::kLpt378), command, error))
        << error;
  }
};

TEST(JobRunTest, EachGoodPartHoldsTheImageWithItsOwnSerialAndAFailedNumberIsReusedAsTheJobSays) {
  const struct {
    bool reuse;
    std::int32_t address;  // across the 100h page boundary, and the part's last bytes
    std::uint32_t lastSerial;
  } kCases[] = {{false, 0xFF, kSerialStart + 3}, {true, 0x7FFC, kSerialStart + 2}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.reuse ? "failed number reused" : "failed number skipped");
    CommandRig rig;
    const std::vector<std::uint8_t> image = Pattern(0x8000);
    rig.Write("fw.bin", image);
    std::ofstream(rig.Path("job.toml")) << JobText(Sha256(image), c.address, c.reuse);
    Operator hand{rig, 0, {}};
    rig.operatorLine = std::ref(hand);

    EXPECT_EQ(rig.Run({"job", "run", rig.Path("job.toml").string()}), kExitErrorAlert) << rig.Err();
    hand.cells[4] = rig.Cells();
    const std::string out = rig.Out();
    EXPECT_TRUE(Holds(out, "insert part 4 of 4, press Enter"));
    EXPECT_TRUE(Holds(out, "part 3, serial 1002: Device error"));
    EXPECT_TRUE(Holds(out, "part 4, serial " + std::to_string(c.lastSerial) + ": Done"));
    EXPECT_TRUE(Holds(out,
                      "job Lot 7 ended: every part of the job was burned; done 3, failed 1, "
                      "left 0"));
    // The record of each part's burn names the job, the part and its serial.
    ASSERT_EQ(rig.Run({"history", "--job", "Lot 7", "--csv"}), kExitOk) << rig.Err();
    const std::string records = rig.Out();
    EXPECT_TRUE(Holds(records, ",Lot 7,3,1002,failed,")) << records;
    EXPECT_TRUE(Holds(records, ",Lot 7,4," + std::to_string(c.lastSerial) + ",done,")) << records;
    const std::uint32_t serials[] = {kSerialStart, kSerialStart + 1, 0, c.lastSerial};
    for (const int part : {1, 2, 4}) {
      SCOPED_TRACE("part " + std::to_string(part));
      std::vector<std::uint8_t> expected = image;
      const std::vector<std::uint8_t> serial = Bcd(serials[part - 1]);
      std::ranges::copy(serial, expected.begin() + c.address);
      EXPECT_TRUE(hand.cells[part] == expected);
    }
  }
}

TEST(JobRunTest, AJobThatCannotStartBurnsNothing) {
  const std::vector<std::uint8_t> image = Pattern(0x8000);
  const struct {
    const char* what;
    std::string sha;
    std::int32_t address;
    const char* error;
  } kCases[] = {
      {"the image is not the job's", std::string(64, '0'), 0x10,
       "is not the job's: its SHA-256 is"},
      {"the serial lies beyond the part", Sha256(image), 0x7FFE,
       "the serial number at 7FFEh (4 bytes) lies beyond the end of the Eprom 27C256 (32768 "
       "bytes)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    CommandRig rig;
    rig.Write("fw.bin", image);
    std::ofstream(rig.Path("job.toml")) << JobText(c.sha, c.address, false);
    EXPECT_EQ(rig.Run({"--sim", "insert 27C256", "job", "run", rig.Path("job.toml").string(),
                       "--no-wait"}),
              kExitNotDone);
    EXPECT_TRUE(Holds(rig.Err(), "job Lot 7 not started, nothing was burned: ")) << rig.Err();
    EXPECT_TRUE(Holds(rig.Err(), c.error)) << rig.Err();
    EXPECT_EQ(rig.Cells(), std::vector<std::uint8_t>(0x8000, 0xFF));
  }
}

// Between parts the operator ends the job with q, or a signal (Ctrl-C, a handler's SIGTERM) ends
// it; either way no further part is burned, and the exit status tells which it was.
TEST(JobRunTest, QOrASignalBetweenPartsEndsTheJobWithThePartsLeft) {
  const struct {
    const char* what;
    bool signal;
    int status;
  } kCases[] = {{"q", false, kExitNotDone}, {"SIGTERM", true, kExitStopped}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    CommandRig rig;
    const std::vector<std::uint8_t> image = Pattern(0x8000);
    rig.Write("fw.bin", image);
    std::ofstream(rig.Path("job.toml")) << JobText(Sha256(image), 0x10, false);
    int asked = 0;
    rig.operatorLine = [&]() -> std::optional<std::string> {
      if (++asked == 1) return "";
      std::string error;  // a fresh part, which must stay blank
      EXPECT_TRUE(shell::RunSimCommand(*rig.backend.simulator->BoardAt(board::kLpt378),
                                       "insert 27C256", error));
      if (!c.signal) return "q";
      std::raise(SIGTERM);
      return "";
    };
    EXPECT_EQ(rig.Run({"--sim", "insert 27C256", "job", "run", rig.Path("job.toml").string()}),
              c.status);
    shell::ClearStopSignal();
    EXPECT_TRUE(
        Holds(rig.Out(), "job Lot 7 ended: stopped by the operator; done 1, failed 0, left 3"))
        << rig.Out();
    EXPECT_EQ(rig.Cells(), std::vector<std::uint8_t>(0x8000, 0xFF));
  }
}

}  // namespace
}  // namespace sorvell::console::testing
