#include "catalogue/selection.h"

#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"

namespace sorvell::shell::testing {
namespace {

// What selecting each available row must set, written out from the device list.
struct Expected {
  int row;
  const char* family;
  int kb;
  int reg1;
  int reg3;
  int vppCode;
  int strobeFactor, factorA, factorB;
};

constexpr Expected kAvailable[] = {
    {2, "P1", 4, 32, 0, 3, 50, 20000, 100000},  {3, "P1", 4, 32, 0, 1, 50, 20000, 100000},
    {4, "P1", 4, 32, 0, 3, 50, 20000, 100000},  {5, "P1", 4, 32, 0, 3, 50, 20000, 100000},
    {6, "P2", 8, 192, 2, 3, 50, 20000, 100000}, {7, "P2", 8, 192, 2, 1, 50, 20000, 100000},
    {8, "P3", 16, 192, 2, 3, 5, 100, 500},      {9, "P3", 16, 192, 2, 1, 5, 100, 500},
    {10, "P4", 32, 128, 2, 3, 5, 100, 500},     {11, "P4", 32, 128, 2, 1, 5, 100, 500},
    {12, "P4", 32, 0, 2, 1, 5, 100, 500},       {13, "P5", 64, 0, 2, 1, 5, 100, 500},
    {14, "P6", 128, 0, 12, 1, 5, 100, 500},     {15, "P6", 128, 0, 12, 1, 5, 100, 500},
    {16, "P7", 256, 0, 12, 1, 5, 100, 500},     {17, "P7", 256, 0, 12, 1, 5, 100, 500},
    {18, "P8", 512, 0, 8, 1, 5, 100, 500},      {19, "P8", 512, 0, 8, 1, 5, 100, 500},
    {20, "P9", 1024, 0, 0, 1, 2, 50, 250},      {21, "P9", 1024, 0, 0, 1, 2, 50, 250},
    {25, "FS", 128, 0, 4, 0, 5, 100, 500},      {26, "FR", 256, 0, 4, 0, 5, 100, 500},
    {27, "FM", 512, 0, 4, 0, 5, 100, 500},      {33, "EN", 32, 64, 2, 0, 5, 100, 500},
    {36, "SA", 1, 0, 0, 0, 5, 100, 500},        {37, "SB", 2, 0, 0, 0, 5, 100, 500},
    {38, "SC", 4, 0, 0, 0, 5, 100, 500},
};

void PrintTo(const Expected& e, std::ostream* os) {
  *os << "row " << e.row << " " << e.family;
}

class CatalogueRowTest : public ::testing::TestWithParam<Expected> {};

TEST_P(CatalogueRowTest, SelectionSetsTheRowsParameters) {
  const Expected& e = GetParam();
  ShellRig rig;
  MainForm& f = *rig.form;
  f.Form_Load();
  ASSERT_TRUE(f.SetValue("Device", e.row));
  EXPECT_EQ(f.device.DeviceFamily, e.family);
  EXPECT_EQ(f.device.DeviceSize, e.kb * 1024);
  EXPECT_EQ(f.device.DeviceBytes, e.kb * 1024);
  EXPECT_EQ(f.board.Reg1FixedBits, e.reg1);
  EXPECT_EQ(f.board.Reg3FixedBits, e.reg3);
  EXPECT_EQ(f.device.VppCode, e.vppCode);
  EXPECT_EQ(f.board.StrobeFactor, e.strobeFactor);
  EXPECT_EQ(f.device.SpeedFactorA, e.factorA);
  EXPECT_EQ(f.device.SpeedFactorB, e.factorB);
  EXPECT_EQ(f.frmMain["VScroll1"].Maximum(), e.kb * 4 - 1);
  // Voltage options: 5V alone for code 0, otherwise 12.5V selected and up to the code enabled.
  EXPECT_EQ(f.frmMain["Voltage_button(0)"].Enabled(), e.vppCode == 0);
  EXPECT_EQ(f.frmMain["Voltage_button(1)"].Value(), e.vppCode == 0 ? 0 : 1);
  EXPECT_EQ(f.frmMain["Voltage_button(3)"].Enabled(), e.vppCode == 3);
  const bool serial = e.family[0] == 'S';
  EXPECT_EQ(f.frmMain["Blank_button"].Enabled(), !serial);
  EXPECT_TRUE(f.frmMain["Read_button"].Enabled());
  EXPECT_EQ(f.frmMain["EraseFlash_button"].Enabled(), e.family[0] != 'P');
  EXPECT_FALSE(f.frmMain["Program_button"].Enabled());  // nothing loaded yet
  EXPECT_FALSE(f.frmMain["PleaseSelect"].Visible());
  EXPECT_EQ(rig.sounds.played.back(), "done.wav");
}

INSTANTIATE_TEST_SUITE_P(Devices, CatalogueRowTest, ::testing::ValuesIn(kAvailable),
                         [](const ::testing::TestParamInfo<Expected>& param) {
                           return "Row" + std::to_string(param.param.row);
                         });

TEST(CatalogueListTest, TheFirstFortyEntriesStayWhereTheyWereAndTodaysPartsFollow) {
  ShellRig rig;
  rig.form->Form_Load();
  const auto& items = rig.form->frmMain["Device"].Items();
  ASSERT_EQ(items.size(), 54u);
  EXPECT_EQ(items[0], "N/A - ");
  EXPECT_EQ(items[1], "N/A - Eprom 2716                    ");
  EXPECT_EQ(items[11], "Eprom 27C256                  ");
  EXPECT_EQ(items[40], "N/A - uC Atmel AT90S2313 Micro      ");
  EXPECT_EQ(items[41], "Flash SST SST39SF010A         ");
  EXPECT_EQ(items[53], "Eprom 2716 (read only)        ");
  EXPECT_EQ(rig.form->frmMain["Device"].Value(), -1);
}

TEST(CatalogueListTest, NotAvailableRowsAreRefused) {
  ShellRig rig;
  rig.form->Form_Load();
  for (int row : {0, 1, 22, 23, 28, 39, 40}) {
    rig.form->SetValue("Device", row);
    EXPECT_EQ(rig.form->frmMain["Device"].Value(), -1);
    EXPECT_EQ(rig.form->frmMain["Device"].Caption(), "Please Select Device on this List");
    EXPECT_TRUE(rig.form->device.DeviceFamily.empty());
  }
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(), "");
}

TEST(CatalogueSelectTest, The27C256LogsThreeLinesInOrder) {
  ShellRig rig;
  rig.form->Form_Load();
  rig.form->SetValue("Device", 11);
  EXPECT_EQ(rig.form->frmMain["SystemLog"].Caption(),
            "\r\n10:58:39>  Most Common Programming Voltage Selected: 12.5 Volts!!!"
            "\r\n10:58:39>  Device Eprom 27C256 was Selected"
            "\r\n10:58:39>  Device Size is: 32768 Bytes, Initial VPP suggested: 12.5V");
  EXPECT_EQ(rig.form->device.VppVolts, 12);
  EXPECT_EQ(rig.form->frmMain["Show_button"].Caption(), "Show Code");
  rig.form->Click("Voltage_button(3)");  // the 27C256 takes 12.5 V only: the option is off
  EXPECT_EQ(rig.form->device.VppVolts, 12);
  rig.form->SetValue("Device", 10);  // the NMOS 27256 may take 25 V
  rig.form->Click("Voltage_button(3)");
  EXPECT_EQ(rig.form->device.VppVolts, 25);
  EXPECT_NE(rig.form->frmMain["SystemLog"].Caption().find(
                "BE CAREFULL!!! You just Selected Programming Voltage as 25 Volts!!!"),
            std::string::npos);
}

TEST(CatalogueSelectTest, AddressMapsOfFlashAndPageWriteFamilies) {
  ShellRig rig;
  rig.form->Form_Load();
  rig.form->SetValue("Device", 27);  // AM29F040
  EXPECT_EQ(rig.form->board.AdrMapC[5], 9);
  EXPECT_EQ(rig.form->board.AdrMapC[3], 3);
  rig.form->SetValue("Device", 33);  // X28C256: nothing of the Flash map survives
  EXPECT_EQ(rig.form->board.AdrMapC[5], 5);
  EXPECT_EQ(rig.form->board.AdrMapB[64], 128);
  EXPECT_EQ(rig.form->board.AdrMapB[127], 191);
  EXPECT_EQ(rig.form->board.AdrMapB[128], 128);
}

TEST(CatalogueSpeedTest, SliderCounts) {
  const catalogue::SpeedFactors standard{5, 100, 500};
  const auto atDefault = catalogue::CalcSpeedCounts(18, 20, standard);
  EXPECT_EQ(atDefault.speedB, 1002);
  EXPECT_EQ(atDefault.speedA, 202);
  EXPECT_EQ(atDefault.strobe, 12);
  const auto fastest = catalogue::CalcSpeedCounts(20, 20, standard);
  EXPECT_EQ(fastest.strobe + fastest.speedA + fastest.speedB, 6);
  const auto slowest = catalogue::CalcSpeedCounts(1, 20, {2, 50, 250});  // the 27C080
  EXPECT_EQ(slowest.speedB, 4752);
  EXPECT_EQ(slowest.strobe, 952);  // below position 10 the strobe uses the pulse factor
}

TEST(CatalogueSpeedTest, SliderMoveLogsRecomputesAndSounds) {
  ShellRig rig;
  rig.form->Form_Load();
  rig.form->SetValue("Device", 21);
  rig.form->SetValue("Slider1", 1);
  EXPECT_EQ(rig.form->board.SpeedCountB, 4752);
  EXPECT_EQ(rig.form->board.StrobeCount, 952);
  EXPECT_NE(rig.form->frmMain["SystemLog"].Caption().find("Program Speed Slider set to: 1"),
            std::string::npos);
  EXPECT_EQ(rig.sounds.played.back(), "slide.wav");
}

}  // namespace
}  // namespace sorvell::shell::testing
