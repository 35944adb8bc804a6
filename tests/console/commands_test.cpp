#include "console/commands.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "buffers/image_formats.h"
#include "catalogue/device_file.h"
#include "command_rig.h"

namespace sorvell::console {
namespace {

using testing::CommandRig;
using testing::Holds;
using testing::Pattern;

// An EPROM from blank to burned: each command, the part's own cells, the files, the log.
TEST(ConsoleCommandTest, Eprom27C256FromBlankToReadBack) {
  CommandRig rig;
  const auto image = rig.Write("image.bin", Pattern(32768));
  ASSERT_EQ(rig.Run({"blank", "-d", "27c256", "--sim", "insert 27C256"}), kExitOk) << rig.Err();
  EXPECT_TRUE(Holds(rig.Out(), "Device Eprom 27C256 was Selected")) << rig.Out();
  EXPECT_TRUE(Holds(rig.Out(), "Device IS BLANK (ERASED)")) << rig.Out();

  ASSERT_EQ(rig.Run({"program", "-d", "27C256", "-i", image, "--yes"}), kExitOk) << rig.Err();
  EXPECT_TRUE(Holds(rig.Out(), "DIALOG [Safety Question] Program the Device? => OK"));
  EXPECT_TRUE(Holds(rig.Out(), "Device Contents MATCHES with Buffer Contents")) << rig.Out();
  EXPECT_EQ(rig.Cells(), Pattern(32768));

  ASSERT_EQ(rig.Run({"verify", "-d", "27C256", "-i", image}), kExitOk) << rig.Err();
  EXPECT_TRUE(Holds(rig.Out(), "Device Contents MATCHES with Buffer Contents"));

  // The output format follows the name's extension, as Save Code As does.
  ASSERT_EQ(rig.Run({"read", "-d", "27C256", "-o", rig.Path("back.hex")}), kExitOk) << rig.Err();
  EXPECT_TRUE(Holds(rig.Out(), "32768 bytes Read from Device"));
  buffers::CodeImage back;
  std::string error;
  ASSERT_TRUE(
      buffers::ReadCodeImage(rig.Path("back.hex"), std::nullopt, {1 << 20, ""}, back, error))
      << error;
  EXPECT_EQ(back.format, buffers::ImageFormat::kIntelHex);
  EXPECT_EQ(back.bytes, Pattern(32768));

  // A burned part is not blank: the error alert, exit status 1.
  EXPECT_EQ(rig.Run({"blank", "-d", "27C256"}), kExitErrorAlert);
  // An EPROM has neither an electrical erase nor an identification.
  EXPECT_EQ(rig.Run({"erase", "-d", "27C256", "--yes"}), kExitBadInput);
  EXPECT_TRUE(Holds(rig.Err(), "only Flash, X28C256 and serial parts")) << rig.Err();
  EXPECT_EQ(rig.Cells(), Pattern(32768));
  EXPECT_EQ(rig.Run({"id", "-d", "27C256"}), kExitBadInput);
}

// A read that a failing port or a silent board ends half way is a device error: no success line,
// exit status 1, and no file written from the bytes it did not really read.
TEST(ConsoleCommandTest, AReadEndedByAFaultSavesNothing) {
  for (const char* fault : {"fault port-fails-after 100000", "fault board-off-after 100000"}) {
    CommandRig rig;
    const auto file = rig.Path("image.bin");
    EXPECT_EQ(
        rig.Run({"read", "-d", "27C256", "-o", file, "--sim", "insert 27C256", "--sim", fault}),
        kExitErrorAlert)
        << fault << "\n"
        << rig.Err();
    EXPECT_FALSE(Holds(rig.Out(), "bytes Read from Device")) << rig.Out();
    EXPECT_FALSE(std::filesystem::exists(file)) << fault;
  }
}

TEST(ConsoleCommandTest, VerifyOfAnotherImageRaisesTheAlert) {
  CommandRig rig;
  rig.Write("image.bin", Pattern(32768));
  std::vector<std::uint8_t> other = Pattern(32768);
  other[0x1234] ^= 0x10;
  const auto otherFile = rig.Write("other.bin", other);
  ASSERT_EQ(rig.Run({"program", "-d", "27C256", "-i", rig.Path("image.bin"), "--yes", "--sim",
                     "insert 27C256"}),
            kExitOk);
  EXPECT_EQ(rig.Run({"verify", "-d", "27C256", "-i", otherFile}), kExitErrorAlert);
  EXPECT_TRUE(Holds(rig.Out(), "Address: 1234 ][ Buffer Data: 6E ][ Device Data: 7E")) << rig.Out();
}

TEST(ConsoleCommandTest, FlashAm29F010IdEraseProgramVerifyRead) {
  CommandRig rig("sim:5@378");
  ASSERT_EQ(rig.Run({"id", "-d", "am29f010", "--sim", "insert AM29F010"}), kExitOk) << rig.Err();
  EXPECT_TRUE(Holds(rig.Out(), "Device ID# 0120")) << rig.Out();

  const auto image = rig.Write("flash.s19", {});
  rig.Write("flash.bin", Pattern(128 * 1024));
  // Saved as S-records first, so that program reads them by their content.
  ASSERT_EQ(rig.Run({"read", "-d", "AM29F010", "-o", image, "--sim",
                     "insert AM29F010 " + rig.Path("flash.bin").string()}),
            kExitOk);
  ASSERT_EQ(rig.Run({"erase", "-d", "AM29F010", "--yes"}), kExitOk) << rig.Err();
  EXPECT_TRUE(
      Holds(rig.Out(), "DIALOG [Safety Question] Are you SURE about Erase the Device? => OK"));
  EXPECT_EQ(rig.Cells(), std::vector<std::uint8_t>(128 * 1024, 0xFF));

  ASSERT_EQ(rig.Run({"program", "-d", "AM29F010", "-i", image, "--yes", "--no-blank-check"}),
            kExitOk)
      << rig.Err() << rig.Out();
  EXPECT_FALSE(Holds(rig.Out(), "Checking Device for BLANK"));
  EXPECT_TRUE(Holds(rig.Out(), "Motorola S-record file")) << rig.Out();
  EXPECT_EQ(rig.Cells(), Pattern(128 * 1024));
  EXPECT_EQ(rig.Run({"verify", "-d", "AM29F010", "-i", rig.Path("flash.bin")}), kExitOk);
}

TEST(ConsoleCommandTest, Serial24C16ProgramVerifyReadErase) {
  CommandRig rig;
  const auto image = rig.Write("serial.bin", Pattern(2048));
  ASSERT_EQ(rig.Run({"program", "-d", "24C16", "-i", image, "--yes", "--sim", "insert 24C16"}),
            kExitOk)
      << rig.Err() << rig.Out();
  EXPECT_EQ(rig.Cells(), Pattern(2048));
  ASSERT_EQ(rig.Run({"verify", "-d", "24c16", "-i", image}), kExitOk);
  ASSERT_EQ(rig.Run({"read", "-d", "24C16", "-o", rig.Path("back.bin")}), kExitOk);
  EXPECT_EQ(CommandRig::ReadBytes(rig.Path("back.bin")), Pattern(2048));
  ASSERT_EQ(rig.Run({"erase", "-d", "24C16", "--yes"}), kExitOk);
  EXPECT_EQ(rig.Cells(), std::vector<std::uint8_t>(2048, 0xFF));
  // A part that never answers: the alert, and no file written as if it had been read.
  EXPECT_EQ(rig.Run({"read", "-d", "24C16", "-o", rig.Path("none.bin"), "--sim", "fault no-ack"}),
            kExitErrorAlert);
  EXPECT_TRUE(Holds(rig.Out(), "DOES NOT RESPOND")) << rig.Out();
  EXPECT_FALSE(std::filesystem::exists(rig.Path("none.bin")));
}

TEST(ConsoleCommandTest, ABurnAsksAtTheTerminalAndADeclineBurnsNothing) {
  CommandRig rig;
  const auto image = rig.Write("image.bin", Pattern(32768));
  std::string asked;
  rig.confirm = [&asked](const panel::MessageRequest& request) {
    asked = request.text;
    return false;
  };
  EXPECT_EQ(rig.Run({"program", "-d", "27C256", "-i", image, "--sim", "insert 27C256"}),
            kExitNotDone);
  EXPECT_EQ(asked, "Program the Device?");
  EXPECT_TRUE(Holds(rig.Err(), "not confirmed")) << rig.Err();
  EXPECT_EQ(rig.Cells(), std::vector<std::uint8_t>(32768, 0xFF));
  rig.confirm = [](const panel::MessageRequest&) { return true; };
  EXPECT_EQ(rig.Run({"program", "-d", "27C256", "-i", image}), kExitOk);
  EXPECT_EQ(rig.Cells(), Pattern(32768));
  // No terminal and no --yes: refused before the board is touched.
  rig.confirm = nullptr;
  EXPECT_EQ(rig.Run({"erase", "-d", "AM29F010"}), kExitBadInput);
  EXPECT_TRUE(Holds(rig.Err(), "add --yes")) << rig.Err();
  EXPECT_EQ(rig.Out(), "");
}

TEST(ConsoleCommandTest, BadDevicesAndFilesAreNamedWithTheFix) {
  CommandRig rig;
  EXPECT_EQ(rig.Run({"blank", "-d", "27C999"}), kExitBadInput);
  EXPECT_TRUE(Holds(rig.Err(), "no device \"27C999\"")) << rig.Err();
  EXPECT_EQ(rig.Run({"blank", "-d", "29F040"}), kExitBadInput);  // near names are offered
  EXPECT_TRUE(Holds(rig.Err(), "Flash AMD AM29F040")) << rig.Err();
  EXPECT_EQ(rig.Run({"blank", "-d", "AT29C256"}), kExitBadInput);
  EXPECT_TRUE(Holds(rig.Err(), "Flash Atmel AT29C256 is in the list but cannot be selected"))
      << rig.Err();
  EXPECT_EQ(rig.Run({"verify", "-d", "27C256", "-i", rig.Path("missing.bin")}), kExitNotDone);
  EXPECT_TRUE(Holds(rig.Out(), "DIALOG [File Not Loaded]")) << rig.Out();
  EXPECT_TRUE(Holds(rig.Err(), "missing.bin was not loaded")) << rig.Err();
  // A binary file taken as Intel HEX is refused, naming its first line.
  const auto image = rig.Write("image.bin", Pattern(100));
  EXPECT_EQ(rig.Run({"verify", "-d", "27C256", "-i", image, "--format", "hex"}), kExitNotDone);
  EXPECT_TRUE(Holds(rig.Out(), "line 1")) << rig.Out();
}

// The options set the window's controls; one the part does not offer refuses the command before
// anything is burned.
TEST(ConsoleCommandTest, ProgrammingOptionsGoThroughTheControls) {
  CommandRig rig;
  const auto image = rig.Write("image.bin", Pattern(32768));
  EXPECT_EQ(rig.Run({"program", "-d", "27C256", "-i", image, "--vpp", "21", "--yes", "--sim",
                     "insert 27C256"}),
            kExitBadInput);
  EXPECT_TRUE(Holds(rig.Err(), "\"21V\" (Voltage_button(2)) is not available for the Eprom 27C256"))
      << rig.Err();
  EXPECT_FALSE(Holds(rig.Out(), "Programming Button Pressed"));
  EXPECT_EQ(rig.Cells(), std::vector<std::uint8_t>(32768, 0xFF));
  ASSERT_EQ(rig.Run({"program", "-d", "27C256", "-i", image, "--vpp", "12.5", "--speed", "17",
                     "--no-verify", "--yes"}),
            kExitOk);
  EXPECT_TRUE(Holds(rig.Out(), "Program Speed Slider set to: 17")) << rig.Out();
  EXPECT_FALSE(Holds(rig.Out(), "Verify Function Started"));
  EXPECT_EQ(rig.Cells(), Pattern(32768));
}

// A shorter file is said before the burn, and the question offers FFh for the rest of the part
// (the default, --yes) or what the buffer holds there (--no-pad: zeros after start-up).
TEST(ConsoleCommandTest, AShorterFileIsFilledOutWithFFhUnlessDeclined) {
  const struct {
    std::vector<std::string> extra;
    std::uint8_t rest;
    const char* answer;
  } kCases[] = {{{}, 0xFF, "=> Yes"}, {{"--no-pad"}, 0x00, "=> No"}};
  for (const auto& c : kCases) {
    CommandRig rig;
    const auto image = rig.Write("small.bin", Pattern(16384));
    std::vector<std::string> args = {"program", "-d",    "27C256", "-i",
                                     image,     "--yes", "--sim",  "insert 27C256"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    ASSERT_EQ(rig.Run(args), kExitOk) << rig.Err();
    EXPECT_TRUE(Holds(rig.Out(), "Image is 16384 bytes but Eprom 27C256")) << rig.Out();
    EXPECT_TRUE(Holds(rig.Out(),
                      "filled with FFh (Yes) or from what the buffer holds beyond the "
                      "image (No)? " +
                          std::string(c.answer)))
        << rig.Out();
    EXPECT_TRUE(Holds(rig.Out(), "  Rest of the part: 16384 bytes")) << rig.Out();
    std::vector<std::uint8_t> wanted = Pattern(16384);
    wanted.resize(32768, c.rest);
    EXPECT_EQ(rig.Cells(), wanted);
  }
}

TEST(ConsoleCommandTest, NoBoardDetectAndForcedModel) {
  CommandRig none("sim:none");
  EXPECT_EQ(none.Run({"blank", "-d", "27C256"}), kExitNoBoard);
  EXPECT_TRUE(Holds(none.Err(), "no board answered")) << none.Err();
  EXPECT_EQ(none.Run({"detect", "--json"}), kExitNoBoard);
  EXPECT_EQ(nlohmann::json::parse(none.Out()), nlohmann::json::parse(R"({"board": null})"));

  CommandRig rig("sim:4@278");
  ASSERT_EQ(rig.Run({"detect", "--json"}), kExitOk);
  EXPECT_EQ(nlohmann::json::parse(rig.Out()),
            nlohmann::json::parse(R"({"board": {"model": 4, "port": "278h"}})"));
  ASSERT_EQ(rig.Run({"detect"}), kExitOk);
  EXPECT_TRUE(Holds(rig.Out(), "SORVELL-4 board at 278h\n")) << rig.Out();
  ASSERT_EQ(rig.Run({"detect", "--model", "5"}), kExitOk);
  EXPECT_TRUE(Holds(rig.Out(), "SORVELL-5 Device was FORCED by Operator")) << rig.Out();
}

TEST(ConsoleCommandTest, TheLogIsKeptInAFile) {
  CommandRig rig;
  ASSERT_EQ(
      rig.Run({"blank", "-d", "27C256", "--sim", "insert 27C256", "--log", rig.Path("run.log")}),
      kExitOk);
  std::ifstream in(rig.Path("run.log"));
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(Holds(log, ">  Device IS BLANK (ERASED)\n")) << log;
  EXPECT_TRUE(Holds(rig.Out(), log.substr(0, 20)));
  // A log that cannot be written is said, and the run counts as not done.
  EXPECT_EQ(rig.Run({"blank", "-d", "27C256", "--log", rig.folder.string()}), kExitNotDone);
  EXPECT_TRUE(Holds(rig.Err(), "the log was not kept")) << rig.Err();
}

TEST(ConsoleCommandTest, TheListIsFilteredAndMachineReadable) {
  Command command;
  command.filter = "27c08";
  testing::Capture out, err;
  ASSERT_EQ(ListDevices(command, catalogue::KnownDevices(), out.file(), err.file()), kExitOk);
  EXPECT_EQ(out.Text(),
            " 21  Eprom 27C080                    1024 KB\n"
            " 22  Eprom 27C080 OTP                1024 KB  N/A (cannot be selected)\n");
  command.json = true;
  command.filter = "24C16";
  testing::Capture json;
  ListDevices(command, catalogue::KnownDevices(), json.file(), err.file());
  const auto listed = nlohmann::json::parse(json.Text());
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0]["index"], 37);
  EXPECT_EQ(listed[0]["name"], "Eeprom 24C16 Serial (8 pins)");
  EXPECT_EQ(listed[0]["bytes"], 2048);
  EXPECT_EQ(listed[0]["selectable"], true);
  EXPECT_EQ(listed[0]["own"], false);
  // The operator's own parts follow, marked.
  const catalogue::DeviceFile own = catalogue::ParseDeviceFile(
      "[[device]]\nname = \"Flash Mine\"\nlike = \"AM29F040\"\n", "devices.toml");
  command.filter = "Mine";
  testing::Capture mine;
  ListDevices(command, catalogue::DevicesWith(own.rows), mine.file(), err.file());
  const auto ownListed = nlohmann::json::parse(mine.Text());
  ASSERT_EQ(ownListed.size(), 1u);
  EXPECT_EQ(ownListed[0]["index"], 54);
  EXPECT_EQ(ownListed[0]["name"], "Flash Mine");
  EXPECT_EQ(ownListed[0]["sizeKB"], 512);
  EXPECT_EQ(ownListed[0]["own"], true);
  // Parts under 1 KB are listed in bytes.
  command.json = false;
  command.filter = "24C01";
  testing::Capture small;
  ListDevices(command, catalogue::KnownDevices(), small.file(), err.file());
  EXPECT_EQ(small.Text(), " 46  Eeprom 24C01 Serial (8 pins)     128 B\n");
}

}  // namespace
}  // namespace sorvell::console
