#include <gtest/gtest.h>

#include "catalogue/device_table.h"
#include "console/device_names.h"
#include "console/options.h"

namespace sorvell::console {
namespace {

std::vector<std::string> Entries() {
  const auto& devices = catalogue::KnownDevices();
  return catalogue::DeviceListEntries(catalogue::DeviceTableOf(devices), devices);
}

std::string Chosen(const std::string& name) {
  const std::vector<std::string> entries = Entries();
  const DeviceChoice choice = ChooseDevice(entries, name);
  return choice.index ? EntryName(entries[*choice.index]) : "error: " + choice.error;
}

TEST(ConsoleDeviceNameTest, TheChipNameOrTheWholeEntryAnyCase) {
  EXPECT_EQ(Chosen("27C256"), "Eprom 27C256");
  EXPECT_EQ(Chosen("27c256"), "Eprom 27C256");
  EXPECT_EQ(Chosen("Eprom 27C256"), "Eprom 27C256");
  EXPECT_EQ(Chosen("am29f040"), "Flash AMD AM29F040");
  EXPECT_EQ(Chosen("24C16"), "Eeprom 24C16 Serial (8 pins)");
  EXPECT_EQ(Chosen("X28C256"), "Eeprom XICOR X28C256");
  // The entry that says no more than the name: not the one-time-programmable variant.
  EXPECT_EQ(Chosen("27C080"), "Eprom 27C080");
}

TEST(ConsoleDeviceNameTest, PartOfANameAnAmbiguousNameAndAnUnselectableOne) {
  EXPECT_EQ(Chosen("27C25"),
            "error: no device \"27C25\" in the device list; did you mean one of:"
            "\n  Eprom 27C256\n  Eprom 27C259");
  EXPECT_EQ(Chosen("nothing"),
            "error: no device \"nothing\" in the device list; sorvell-cli list shows them all");
  const std::string several = Chosen("Flash AMD");
  EXPECT_TRUE(several.starts_with("error: \"Flash AMD\" names several devices")) << several;
  EXPECT_NE(several.find("\n  Flash AMD AM29F020"), std::string::npos);
  EXPECT_EQ(Chosen("27C080 OTP"),
            "error: the device Eprom 27C080 OTP is in the list but cannot be selected (N/A): this "
            "programmer does not support it");
  EXPECT_TRUE(Chosen("").starts_with("error: no device"));
}

Options Parse(std::vector<std::string> args, bool expectOk = true) {
  args.insert(args.begin(), "sorvell-cli");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  Options options;
  std::string error;
  EXPECT_EQ(ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error), expectOk)
      << error;
  return options;
}

TEST(ConsoleOptionsTest, TheScriptSyntaxKeepsWorking) {
  Options options = Parse({"--board", "sim:5@378", "--board", "sim:4@278", "--yes", "job.sorvell"});
  EXPECT_EQ(options.script, "job.sorvell");
  EXPECT_TRUE(options.yes);
  EXPECT_EQ(options.board.simBoards.size(), 2u);
  EXPECT_TRUE(options.command.name.empty());
  EXPECT_EQ(Parse({"-"}).script, "-");
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"--version"}).version);
  EXPECT_TRUE(Parse({}).script.empty());
  Parse({"--board", "sim:9@378"}, false);
  Parse({"--workdir", "/no/such/folder"}, false);
  Parse({"one.sorvell", "two.sorvell"}, false);
}

TEST(ConsoleOptionsTest, CommandsTakeTheirOptionsAndTheProgramsAnywhere) {
  Options options =
      Parse({"program", "-d",       "27C256", "-i",      "a.hex", "--no-verify", "--half",
             "lo",      "--vpp",    "12.5",   "--speed", "3",     "--board",     "sim:6@378",
             "--yes",   "--format", "srec",   "--model", "5",     "--port",      "278"});
  EXPECT_EQ(options.command.name, "program");
  EXPECT_EQ(options.command.device, "27C256");
  EXPECT_EQ(options.command.input, "a.hex");
  EXPECT_TRUE(options.command.noVerify);
  EXPECT_FALSE(options.command.noBlankCheck);
  EXPECT_EQ(options.command.half, "lo");
  EXPECT_EQ(options.command.vpp, "12.5");
  EXPECT_EQ(options.command.speed, 3);
  EXPECT_TRUE(options.yes);
  EXPECT_EQ(options.format, buffers::ImageFormat::kSRecord);
  EXPECT_EQ(options.model, 5);
  EXPECT_EQ(options.port, "278");
  EXPECT_TRUE(options.command.Destructive());
  EXPECT_EQ(Parse({"list", "27C"}).command.filter, "27C");
  EXPECT_TRUE(Parse({"detect", "--json"}).command.json);
  EXPECT_FALSE(Parse({"read", "-d", "27C256", "-o", "x.bin"}).command.Destructive());
}

TEST(ConsoleOptionsTest, BadCommandLinesAreRefused) {
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"read", "-d", "27C256"},    // no output file
           {"program", "-i", "a.bin"},  // no device
           {"program", "-d", "27C256", "-i", "a.bin", "--half", "mid"},
           {"program", "-d", "27C256", "-i", "a.bin", "--vpp", "13"},
           {"program", "-d", "27C256", "-i", "a.bin", "--speed", "21"},
           {"blank", "-d", "27C256", "--model", "7"},
           {"blank", "-d", "27C256", "--format", "elf"},
           {"blank", "-d", "27C256", "job.sorvell"},
           {"burn", "-d", "27C256"},
           {"--frobnicate"}}) {
    Parse(bad, false);
  }
}

}  // namespace
}  // namespace sorvell::console
