// Pulse counts of the EPROM algorithms, seen from the simulated part.
#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"
#include "sim/eprom_chip.h"

namespace sorvell::shell::testing {
namespace {

struct PulseRig : SimRig {
  PulseRig(const char* part, int row, std::vector<std::uint8_t> contents = {}) {
    boards.PlaceBoard(5, board::kLpt378);
    form.Form_Load();
    auto made = sim::MakeEprom(part, contents);
    chip = made.get();
    boards.BoardAt(board::kLpt378)->Insert(std::move(made));
    form.SetValue("Device", row);
    form.SetValue("CheckBlankPriorProgramming", 0);
    form.SetValue("VerifyAfterProgramming", 0);
  }
  void Program(const std::vector<std::uint8_t>& image) {
    std::copy(image.begin(), image.end(), form.buffers.CodeBuffer.begin());
    dialogs.answers = {Answer::kOk};
    form.dispatcher.Program_button_Click();
  }
  std::string Log() { return form.frmMain["SystemLog"].Caption(); }
  sim::EpromChip* chip = nullptr;
};

TEST(EpromPulseTest, AByteThatTakesAtOnceGetsOnePulseAndFFGetsNone) {
  PulseRig rig("27C256", 11);
  std::vector<std::uint8_t> image(32768, 0xFF);
  image[5] = 0x12;
  rig.Program(image);
  EXPECT_EQ(rig.chip->PulsesAt(5), 1u);
  EXPECT_EQ(rig.chip->TotalPulses(), 1u);
  EXPECT_EQ(rig.chip->Contents(), image);
}

TEST(EpromPulseTest, SlowCellsTakeMorePulses) {
  PulseRig rig("27C010", 15);
  rig.chip->SetSlowCell(0x100, 3);
  std::vector<std::uint8_t> image(131072, 0xFF);
  image[0x100] = 0x00;
  rig.Program(image);
  EXPECT_EQ(rig.chip->PulsesAt(0x100), 3u);
  EXPECT_NE(rig.Log().find("Programming Device Successfull"), std::string::npos);
}

TEST(EpromPulseTest, AStuckBitFailsAfter55ShortAnd199LongPulses) {
  PulseRig rig("27C040", 19);
  rig.chip->SetStuckBits(0x7FFFF, 0x01, 0x01);  // bit 0 of the last byte never clears
  std::vector<std::uint8_t> image(524288, 0xFF);
  image[0x7FFFF] = 0xFE;
  rig.Program(image);
  EXPECT_EQ(rig.chip->PulsesAt(0x7FFFF), 254u);
  // 55 pulses of 101 us, then 199 with the long wait added (501 us more).
  EXPECT_EQ(rig.chip->PulseWidths(),
            (std::map<std::uint64_t, std::uint64_t>{{101'000, 55}, {602'000, 199}}));
  EXPECT_NE(rig.Log().find("*** Address:7FFFFh, Programming BYTE:FEh, Read BYTE:FFh"),
            std::string::npos);
  EXPECT_EQ(rig.Log().find("Programming Device Successfull"), std::string::npos);
}

TEST(EpromPulseTest, The2732AlwaysPulses5msAndStopsAfter254) {
  PulseRig rig("2732A", 2);
  rig.form.SetValue("Voltage_button(2)", 1);  // 21 V
  rig.chip->SetStuckBits(0, 0x80, 0x80);
  std::vector<std::uint8_t> image(4096, 0xFF);
  image[0] = 0x7F;
  rig.Program(image);
  EXPECT_EQ(rig.chip->PulseWidths(), (std::map<std::uint64_t, std::uint64_t>{{5'000'000, 254}}));
  EXPECT_EQ(rig.tally.sleeps[1500], 1);  // the VPP settling wait above 12 V
  // Every retry starts with the part still selected from the read-back: it must stop driving
  // before the data latch takes the bus for the next pulse.
  EXPECT_EQ(rig.boards.BoardAt(board::kLpt378)->BusClashes(), 0u);
  EXPECT_NE(rig.Log().find("Wait 1500ms second VPP Settling"), std::string::npos);
}

TEST(EpromPulseTest, PartsThatReadFirstSkipBytesAlreadyThere) {
  for (const auto& [part, row, size] : {std::tuple{"2732B", 3, 4096}, {"27C080", 21, 1 << 20}}) {
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size), 0xFF);
    for (std::size_t i = 0; i < image.size(); i += 997) image[i] = static_cast<std::uint8_t>(i);
    PulseRig rig(part, row, image);  // the part already holds the image
    rig.Program(image);
    EXPECT_EQ(rig.chip->TotalPulses(), 0u) << part;
    EXPECT_NE(rig.Log().find("Programming Device Successfull"), std::string::npos) << part;
  }
}

TEST(EpromPulseTest, TheWrongVoltageDoesNotProgram) {
  // A 21 V part offered 12.5 V takes nothing: the run fails, it never claims success.
  PulseRig rig("2764", 6);
  std::vector<std::uint8_t> image(8192, 0xFF);
  image[0] = 0x00;
  rig.Program(image);
  EXPECT_EQ(rig.chip->Contents()[0], 0xFF);
  EXPECT_NE(rig.Log().find("*** Programming Failure ***"), std::string::npos);
}

TEST(EpromPulseTest, ADifferentPartThanSelectedFailsVerify) {
  // A 27C512 in the socket while a 27C256 is selected: its VPP is on OE, so pulses do nothing.
  PulseRig rig("27C512", 11);
  std::vector<std::uint8_t> image(32768, 0xFF);
  image[0] = 0x55;
  rig.Program(image);
  EXPECT_NE(rig.Log().find("*** Programming Failure ***"), std::string::npos);
  EXPECT_FALSE(rig.chip->Damaged());
}

}  // namespace
}  // namespace sorvell::shell::testing
