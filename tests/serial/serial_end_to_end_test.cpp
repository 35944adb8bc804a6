// The 24C08, 24C16 and 24C32 on every board model through the main window and the simulated
// parts on the adapter: program, verify, read back, Erase Chip; and a part that does not answer.
#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"
#include "sim/serial_eeprom_chip.h"

namespace sorvell::shell::testing {
namespace {

struct SerialCase {
  const char* part;
  std::size_t size;
  int model;
};

void PrintTo(const SerialCase& c, std::ostream* os) {
  *os << c.part << " on model " << c.model;
}

struct SerialRig : SimRig {
  // With `inserted` false the socket stays empty.
  SerialRig(int model, const char* part, std::vector<std::uint8_t> contents = {},
            bool inserted = true) {
    simBoard = &boards.PlaceBoard(model, board::kLpt378);
    form.Form_Load();
    auto made = sim::MakeSerialEeprom(part, contents);
    chip = inserted ? made.get() : nullptr;
    if (inserted) simBoard->Insert(std::move(made));
    const auto& items = form.frmMain["Device"].Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i].starts_with(std::string("Eeprom ") + part)) {
        form.SetValue("Device", static_cast<int>(i));
      }
    }
  }
  bool Logged(const std::string& line) {
    const std::string log = Log();
    return log.find(">  " + line + "\r\n") != std::string::npos || log.ends_with(">  " + line);
  }
  void Program(const std::vector<std::uint8_t>& image) {
    std::copy(image.begin(), image.end(), form.buffers.CodeBuffer.begin());
    dialogs.answers = {Answer::kOk};
    form.dispatcher.Program_button_Click();
  }
  sim::SimBoard* simBoard = nullptr;
  sim::SerialEepromChip* chip = nullptr;
};

std::vector<std::uint8_t> Image(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> image(size);
  for (auto& byte : image)
    byte = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
  return image;
}

class SerialEndToEndTest : public ::testing::TestWithParam<SerialCase> {};

TEST_P(SerialEndToEndTest, ProgramVerifyReadAndErase) {
  const SerialCase& c = GetParam();
  SerialRig rig(c.model, c.part);
  ASSERT_EQ(rig.form.device.DeviceBytes, static_cast<std::int32_t>(c.size));
  const auto image = Image(c.size, 5u * c.model + static_cast<std::uint32_t>(c.size));
  std::copy(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin());
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();  // verify after, ticked at start
  EXPECT_TRUE(rig.Logged("Programming Device Successfull")) << rig.Log();
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
  EXPECT_TRUE(rig.chip->Contents() == image);
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 0);
  EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();

  std::fill_n(rig.form.buffers.CodeBuffer.begin(), c.size, 0x00);
  rig.form.dispatcher.Read_button_Click();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin()));
  EXPECT_TRUE(rig.Logged(std::to_string(c.size) + " bytes Read from Device"));

  rig.dialogs.answers = {Answer::kOk};  // the erase asks first
  rig.form.Click("EraseFlash_button");
  EXPECT_TRUE(std::all_of(rig.chip->Contents().begin(), rig.chip->Contents().end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_TRUE(rig.Logged("Program Buffer will not be erased")) << rig.Log();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin()));
  // SDA is open drain: the part pulling it low while the latch drives D7 is no clash.
  EXPECT_EQ(rig.simBoard->BusClashes(), 0u);
}

std::vector<SerialCase> AllCases() {
  std::vector<SerialCase> cases;
  for (int model : {4, 5, 6}) {
    cases.push_back({"24C08", 1024, model});
    cases.push_back({"24C16", 2048, model});
    cases.push_back({"24C32", 4096, model});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Parts, SerialEndToEndTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<SerialCase>& param) {
                           return std::string("E") + param.param.part + "OnModel" +
                                  std::to_string(param.param.model);
                         });

// No acknowledge: the three lines and the alert; a read changes nothing in the buffer, and a
// verify is the no-response failure, never a match.
TEST(SerialFailureTest, APartThatNeverAnswersIsReportedByEveryOperation) {
  SerialRig rig(5, "24C16");
  rig.chip->SetNeverAcknowledges(true);
  rig.form.buffers.CodeBuffer[0] = 0x42;
  rig.form.dispatcher.Read_button_Click();
  EXPECT_NE(rig.Log().find("Device 24CXX DOES NOT RESPOND - ACK Error\r\n10:58:39>  Check Chip "
                           "Installation Position on Socket"),
            std::string::npos)
      << rig.Log();
  EXPECT_EQ(rig.form.buffers.CodeBuffer[0], 0x42);
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 1);

  rig.form.dispatcher.Verify_button_Click();
  EXPECT_FALSE(rig.Logged("Device Contents MATCHES with Buffer Contents"));
  EXPECT_EQ(rig.form.run.VerifyFailed, 1);
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 2);

  rig.dialogs.answers = {Answer::kOk};
  rig.form.SetValue("VerifyAfterProgramming", 0);
  rig.form.dispatcher.Program_button_Click();
  EXPECT_FALSE(rig.Logged("Programming Device Successfull"));
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 3);
}

// What the part heard for each page: a START, the device address with the block bits or the two
// address bytes, then the page's bytes; after it one acknowledge poll on a part already ready.
TEST(SerialPagesTest, EachPageGoesToItsAddressAndAReadyPartIsPolledOnce) {
  struct Case {
    const char* part;
    std::size_t size, page;
    std::uint32_t address;
    std::vector<std::uint8_t> header;
  };
  const Case cases[] = {
      {"24C16", 2048, 16, 0x300, {0xA6, 0x00}},
      {"24C16", 2048, 16, 0x7F0, {0xAE, 0xF0}},
      {"24C32", 4096, 32, 0xFE0, {0xA0, 0x0F, 0xE0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.part) + " at " + std::to_string(c.address));
    SerialRig rig(5, c.part);
    rig.chip->SetWriteCycleNs(0);
    rig.form.SetValue("VerifyAfterProgramming", 0);
    const auto image = Image(c.size, 11);
    rig.Program(image);
    ASSERT_TRUE(rig.Logged("Programming Device Successfull")) << rig.Log();
    EXPECT_EQ(rig.form.run.AckCount, 0);
    const auto& heard = rig.chip->Heard();
    const auto at = std::find_if(heard.begin(), heard.end(), [&](const auto& t) {
      return t.size() == c.header.size() + c.page &&
             std::equal(c.header.begin(), c.header.end(), t.begin());
    });
    ASSERT_NE(at, heard.end());
    EXPECT_TRUE(std::equal(at->end() - c.page, at->end(), image.begin() + c.address));
    ASSERT_NE(at + 1, heard.end());
    EXPECT_EQ(*(at + 1), std::vector<std::uint8_t>{c.header[0]}) << "one poll, acknowledged";
    EXPECT_EQ(heard.size(), 2 * c.size / c.page) << "a write and a poll per page";
  }
}

// The empty socket reads nothing, but the read still leaves the buffer usable.
TEST(SerialFailureTest, AReadOfAnEmptySocketKeepsTheBufferAndEnablesItsControls) {
  SerialRig rig(4, "24C08", {}, false);
  rig.form.buffers.CodeBuffer[7] = 0x5A;
  rig.form.buffers.CodeBufferLoaded = 0;
  for (const char* name : {"Program_button", "Verify_button"})
    rig.form.frmMain[name].SetEnabled(false);
  rig.form.dispatcher.Read_button_Click();
  EXPECT_TRUE(rig.Logged("Check Chip Installation Position on Socket")) << rig.Log();
  EXPECT_EQ(rig.form.buffers.CodeBuffer[7], 0x5A);
  EXPECT_EQ(rig.form.buffers.CodeBufferLoaded, 1);
  for (const char* name : {"Program_button", "Verify_button", "menuProgramCode", "menuVerifyCode"})
    EXPECT_TRUE(rig.form.frmMain[name].Enabled()) << name;
}

// WP tied high: every byte is acknowledged but nothing is written; only the verify can tell.
TEST(SerialFailureTest, AWriteProtectedPartIsNeverReportedAsVerified) {
  SerialRig rig(6, "24C16");
  rig.chip->SetWriteProtected(true);
  rig.Program(Image(2048, 3));
  EXPECT_FALSE(rig.Logged("Device Contents MATCHES with Buffer Contents"));
  EXPECT_EQ(rig.form.run.VerifyFailed, 1);
  EXPECT_GE(rig.form.panel.ErrorAlertsRaised(), 1);
  EXPECT_TRUE(std::all_of(rig.chip->Contents().begin(), rig.chip->Contents().end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
}

// The slider's fastest position shortens the register strobes, not the bus below what a 100 kHz
// part can follow.
TEST(SerialTimingTest, TheFastestSpeedKeepsStandardModeBusTiming) {
  SerialRig rig(4, "24C32");
  rig.form.SetValue("Slider1", rig.form.frmMain["Slider1"].Maximum());
  const auto image = Image(4096, 7);
  std::copy(image.begin(), image.end(), rig.form.buffers.CodeBuffer.begin());
  rig.dialogs.answers = {Answer::kOk};
  rig.form.dispatcher.Program_button_Click();
  EXPECT_TRUE(rig.Logged("Device Contents MATCHES with Buffer Contents")) << rig.Log();
  EXPECT_EQ(rig.chip->Violations().Count(), 0u) << rig.chip->Violations().Last();
}

TEST(SerialFailureTest, AVerifyStopsAtTheFirstDifference) {
  std::vector<std::uint8_t> contents(2048, 0x11);
  contents[5] = 0x22;
  SerialRig rig(6, "24C16", contents);
  std::fill_n(rig.form.buffers.CodeBuffer.begin(), 2048, 0x11);
  rig.form.dispatcher.Verify_button_Click();
  EXPECT_TRUE(rig.Logged("Address: 5 ][ Buffer Data: 11 ][ Device Data: 22")) << rig.Log();
  EXPECT_EQ(rig.form.run.VerifyFailed, 1);
}

}  // namespace
}  // namespace sorvell::shell::testing
