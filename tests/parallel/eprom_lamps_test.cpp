// Where the programming lamps and the VPP settling wait must happen, and where they must not;
// and a wrong pulse length caught by what the simulated part records.
#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"
#include "sim/eprom_chip.h"

namespace sorvell::shell::testing {
namespace {

struct LampRig : SimRig {
  LampRig(const char* part, int row, int voltOption) {
    boards.PlaceBoard(6, board::kLpt378);
    form.Form_Load();
    auto made = sim::MakeEprom(part);
    chip = made.get();
    boards.BoardAt(board::kLpt378)->Insert(std::move(made));
    form.SetValue("Device", row);
    form.SetValue("Voltage_button(" + std::to_string(voltOption) + ")", 1);
    form.SetValue("CheckBlankPriorProgramming", 0);
    form.SetValue("VerifyAfterProgramming", 0);
    form.frmMain.onChanged = [this](const Control& c) {
      if (c.Name() == "Program_label") programLamp.push_back(c.ForeColor() == kGreen);
      if (c.Name() == "DataFlow_label") dataFlowLamp.push_back(c.ForeColor() == kGreen);
    };
  }
  void Program(std::uint8_t fill) {
    std::fill_n(form.buffers.CodeBuffer.begin(), chip->Part().SizeBytes(), fill);
    dialogs.answers = {Answer::kOk};
    form.dispatcher.Program_button_Click();
  }
  bool Lamp(const char* name) const { return form.frmMain[name].ForeColor() == kGreen; }
  std::string Log() { return form.frmMain["SystemLog"].Caption(); }

  sim::EpromChip* chip = nullptr;
  std::vector<bool> programLamp, dataFlowLamp;
};

TEST(EpromLampTest, TheProgramLampBlinksOncePerPeriodAndBothLampsGoOutOnSuccess) {
  LampRig rig("27C256", 11, 1);
  rig.Program(0x00);
  ASSERT_NE(rig.Log().find("Programming Device Successfull"), std::string::npos);
  // On at the start, toggled at index 0 and every 512 bytes (64 times), off at the end.
  ASSERT_EQ(rig.programLamp.size(), 1u + 64u + 1u);
  EXPECT_TRUE(rig.programLamp.front());
  EXPECT_FALSE(rig.programLamp[1]);  // the first toggle, at index 0
  EXPECT_FALSE(rig.Lamp("Program_label"));
  EXPECT_FALSE(rig.Lamp("DataFlow_label"));
  EXPECT_EQ(rig.form.board.Reg0Shadow & 0x08, 0);  // the board's lamp is left off too
}

TEST(EpromLampTest, AFailureLeavesTheAlertNotTheProgrammingLamps) {
  LampRig rig("27C256", 11, 1);
  rig.chip->SetStuckBits(0, 0x01, 0x01);
  rig.Program(0x00);
  ASSERT_NE(rig.Log().find("*** Programming Failure ***"), std::string::npos);
  // The alert was acknowledged (the critical box) and turned everything off.
  EXPECT_FALSE(rig.Lamp("Program_label"));
  EXPECT_FALSE(rig.Lamp("DataFlow_label"));
  EXPECT_EQ(rig.form.panel.ErrorAlertsRaised(), 1);
}

TEST(EpromLampTest, TheVppSettlingWaitOnlyAbove12VoltsOnTheOld24And28PinFamilies) {
  struct Case {
    const char* part;
    int row;
    int voltOption;
    bool waits;
  };
  for (const Case& c :
       {Case{"2764", 6, 2, true}, Case{"2732", 4, 3, true}, Case{"27C64", 7, 1, false},
        Case{"27C256", 11, 1, false}, Case{"27C512", 13, 1, false}}) {
    LampRig rig(c.part, c.row, c.voltOption);
    rig.Program(0xFE);
    EXPECT_EQ(rig.tally.sleeps[1500], c.waits ? 1 : 0) << c.part;
    EXPECT_EQ(rig.Log().find("Wait 1500ms second VPP Settling") != std::string::npos, c.waits)
        << c.part;
  }
}

// A speed factor ten times too large makes pulses the part's datasheet does not allow: the part
// records them, so an end-to-end run catches it by what the part saw.
TEST(EpromLampTest, APulseTenTimesTooLongIsRecordedByThePart) {
  LampRig rig("27C256", 11, 1);
  rig.form.device.SpeedFactorA *= 10;
  rig.form.selection.CalcSpeedDelays();
  rig.Program(0x00);
  EXPECT_GT(rig.chip->Violations().Count(sim::ViolationLog::Kind::kPulseWidth), 0u);

  LampRig right("27C256", 11, 1);
  right.Program(0x00);
  EXPECT_EQ(right.chip->Violations().Count(), 0u) << right.chip->Violations().Last();
}

}  // namespace
}  // namespace sorvell::shell::testing
