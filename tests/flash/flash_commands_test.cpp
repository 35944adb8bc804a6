// The Flash command writes as they reach the port: the fast writes that bypass the shadows, and
// the slow command cycles of the 28-pin page-write parts.
#include <gtest/gtest.h>

#include <algorithm>

#include "../operation/operation_rig.h"
#include "flash/flash_commands.h"
#include "flash/page_writer.h"
#include "panel/window_layouts.h"

namespace sorvell::flash {
namespace {

using board::testing::RecordedBoard;
using R = RecordedBoard;
using namespace panel::testing;

constexpr std::uint16_t kData = 0x378, kControl = 0x37A;

struct CommandRig : operation::testing::OperationRig {
  explicit CommandRig(int model, const char* family) : OperationRig(model) {
    device.DeviceFamily = family;
    device.DeviceType = std::string(1, family[0]);
  }
  // The three port writes of one fast register write.
  std::vector<R::Access> Fast(int reg, int value) const {
    const int a[] = {rb.board.Reg0StrobeA, rb.board.Reg1StrobeA, rb.board.Reg2StrobeA,
                     rb.board.Reg3StrobeA, rb.board.Reg4StrobeA};
    const int b[] = {rb.board.Reg0StrobeB, rb.board.Reg1StrobeB, rb.board.Reg2StrobeB,
                     rb.board.Reg3StrobeB, rb.board.Reg4StrobeB};
    return {R::Out(kData, static_cast<std::uint8_t>(value)),
            R::Out(kControl, static_cast<std::uint8_t>(b[reg])),
            R::Out(kControl, static_cast<std::uint8_t>(a[reg]))};
  }
  void Append(std::vector<R::Access>& to, int reg, int value) const {
    const auto three = Fast(reg, value);
    to.insert(to.end(), three.begin(), three.end());
  }

  FlashCommands commands{operation};
};

TEST(FlashCommandTest, ACommandIsTwentyTwoFastWritesAfterOutputEnableOff) {
  for (int model : {4, 5, 6}) {
    CommandRig rig(model, "FM");
    rig.rb.board.Reg3Shadow = 0xC4;
    rig.commands.FlashCommand = 0x90;
    rig.commands.SendFlashCommand();
    const auto& all = rig.rb.port.Accesses();
    ASSERT_EQ(all.size(), 4u + 22u * 3u) << "model " << model;
    std::vector<R::Access> expected;
    rig.Append(expected, 3, 0x84);
    for (const auto& [address, data] : {std::pair{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x90}}) {
      rig.Append(expected, 4, data);
      rig.Append(expected, 1, address >> 8);
      rig.Append(expected, 2, address & 0xFF);
      for (int reg3 : {0x04, 0x00, 0x04, 0x84}) rig.Append(expected, 3, reg3);
    }
    EXPECT_EQ(std::vector<R::Access>(all.begin() + 4, all.end()), expected) << "model " << model;
    EXPECT_EQ(rig.rb.board.Reg3Shadow, 0xC4);       // the shadow keeps what it held
    EXPECT_TRUE(rig.rb.timing.spins.size() == 2u);  // only output enable's strobe waits
  }
}

// Each cycle is a byte load at port speed, whatever the slider: no busy wait, and each register
// write data, select, clock, release, the select left out only where the control port holds it.
TEST(FlashCommandTest, TheXicorCyclesCarryA14OnBit7AndPulseBit6AtPortSpeed) {
  CommandRig rig(5, "EN");
  rig.rb.board.Reg3Shadow = 0x82;
  rig.rb.board.StrobeCount = 97;  // the register writes' strobe waits at the slowest slider
  const FlashCommands::CommandCycle cycles[] = {{0x5555, 0xAA}, {0x2AAA, 0x55}};
  rig.commands.XICORCycles(cycles);
  // Data values written, in order: R1, R2, R4, R3 (chip enable on), R1 (WE on), R1 (WE off),
  // R3 (chip enable off).
  std::vector<int> data;
  for (const auto& a : rig.rb.port.Accesses()) {
    if (a.port == kData) data.push_back(a.value);
  }
  EXPECT_EQ(data, (std::vector<int>{0xD5, 0x55, 0xAA, 0x02, 0x95, 0xD5, 0x82,  //
                                    0x6A, 0xAA, 0x55, 0x02, 0x2A, 0x6A, 0x82}));
  EXPECT_EQ(rig.rb.port.Accesses().size(), 2u * (6u * 4u + 3u));
  EXPECT_TRUE(rig.rb.timing.spins.empty());
  EXPECT_EQ(rig.rb.board.Reg1Shadow, 0x6A);
  EXPECT_EQ(rig.rb.board.Reg2Shadow, 0xAA);
}

TEST(FlashCommandTest, TheAtmelPathUsesItsWriteEnableAndTheSliderWait) {
  CommandRig rig(6, "FA");
  rig.rb.board.Reg1FixedBits = 0x80;
  rig.frmMain["Slider1"].SetValue(18);
  rig.commands.FlashCommand = 0xF0;
  rig.commands.SendFlashCommand();
  std::vector<int> r1;
  for (std::size_t i = 0; i + 1 < rig.rb.port.Accesses().size(); ++i) {
    const auto& a = rig.rb.port.Accesses()[i];
    if (a.port == kData && rig.rb.port.Accesses()[i + 2].value == rig.rb.board.Reg1StrobeB) {
      r1.push_back(a.value);
    }
  }
  ASSERT_FALSE(r1.empty());
  EXPECT_EQ(r1.front(), 0xD5);           // 55h with the fixed bit 80h: write enable inactive
  EXPECT_EQ(rig.rb.timing.sleptMs, 7u);  // 20 - 18 + 5 ms
  EXPECT_EQ(rig.rb.board.Reg4Shadow, 0xF0);
}

TEST(FlashCommandTest, WriteEnableMovesBit2AndKeepsTheBankBits) {
  CommandRig rig(5, "FM");
  catalogue::BuildAddressMaps("FM", rig.rb.board.AdrMapB, rig.rb.board.AdrMapC);
  rig.rb.board.Reg3FixedBits = 4;
  rig.rb.board.Reg3Shadow = 0x80;
  rig.rb.board.AddrByte2 = 5;  // A18 rides on bit 3 for these parts
  rig.rb.board.WEON();
  EXPECT_EQ(rig.rb.board.Reg3Shadow, 0x80 | 0x09);
  rig.rb.board.WEOFF();
  EXPECT_EQ(rig.rb.board.Reg3Shadow, 0x80 | 0x09 | 0x04);
}

// Register 1 while a page is loaded: A14..A8 with the part's write enable held inactive. The
// X28C256 takes A14 on bit 7 (64 added) under its write enable on bit 6; the AT29C256 takes
// A14..A8 as they are under its write enable on bit 7.
TEST(PageWriterTest, RegisterOneCarriesThePageAddressUnderTheWriteEnable) {
  struct Case {
    const char* family;
    int fixedBits;
    int atZero, at4000;
  };
  for (const Case& c : {Case{"EN", 0x40, 0x40, 0xC0}, Case{"FA", 0x80, 0x80, 0xC0}}) {
    CommandRig rig(5, c.family);
    rig.rb.board.Reg1FixedBits = c.fixedBits;
    rig.frmMain["Slider1"].SetValue(20);
    std::fill_n(rig.run.ProgramBuffer.begin(), 32768, 0xFF);  // what an idle bus reads back
    PageWriter pages(rig.operation, rig.commands);
    std::vector<int> reg1;
    const auto& all = rig.rb.port.Accesses();
    if (std::string(c.family) == "EN") {
      pages.ProgramX28C256();
    } else {
      pages.ProgramAT29C256();
    }
    for (std::size_t i = 0; i + 2 < all.size(); ++i) {
      if (all[i].port == kData && all[i + 2].value == rig.rb.board.Reg1StrobeB) {
        reg1.push_back(all[i].value);
      }
    }
    EXPECT_NE(std::find(reg1.begin(), reg1.end(), c.atZero), reg1.end()) << c.family;
    EXPECT_NE(std::find(reg1.begin(), reg1.end(), c.at4000), reg1.end()) << c.family;
    // The write-enable pulse of a load at 4000h: the bit cleared, then set again.
    EXPECT_NE(std::find(reg1.begin(), reg1.end(), c.at4000 & ~c.fixedBits), reg1.end()) << c.family;
    EXPECT_EQ(rig.frmMain["ProgressBar1"].Value(), 64);  // one step every 8 pages
  }
}

}  // namespace
}  // namespace sorvell::flash
