// What a part acts on in a programming run happens inside timed work, which the real timing holds
// at real-time priority: EPROM pulses, Flash and page-write write cycles, the data clocks of a
// byte on the two-wire bus. Seen from the simulated part: its own count of what it acted on, taken
// before each port access, tells which access it acted on, and whether that access came inside.
#include <gtest/gtest.h>

#include "../shell/shell_fakes.h"
#include "sim/eprom_chip.h"
#include "sim/serial_eeprom_chip.h"
#include "sim/writable_parts.h"

namespace sorvell::shell::testing {
namespace {

std::uint64_t Acted(const sim::PartActivity& a) {
  return a.writes + a.pulses + a.clocks;
}

TEST(TimedWorkTest, WhatThePartActsOnComesInsideTimedWork) {
  struct Case {
    const char* part;
    int row;
    std::size_t bytes;
    std::function<std::unique_ptr<sim::SocketChip>()> make;
  };
  const Case cases[] = {
      {"27C256", 11, 32768, [] { return sim::MakeEprom("27C256"); }},
      {"AM29F010", 25, 131072, [] { return sim::MakeWritableChip("AM29F010"); }},
      {"X28C256", 33, 32768, [] { return sim::MakeWritableChip("X28C256"); }},
      {"24C16", 37, 2048, [] { return sim::MakeSerialEeprom("24C16"); }},
  };
  for (const Case& c : cases) {
    SimRig rig;
    rig.boards.PlaceBoard(5, board::kLpt378);
    rig.form.Form_Load();
    auto made = c.make();
    const sim::SocketChip& part = *made;
    rig.boards.BoardAt(board::kLpt378)->Insert(std::move(made));
    rig.form.SetValue("Device", c.row);
    rig.form.SetValue("CheckBlankPriorProgramming", 0);
    rig.form.SetValue("VerifyAfterProgramming", 0);
    std::fill(rig.form.buffers.CodeBuffer.begin(), rig.form.buffers.CodeBuffer.end(), 0xFF);
    for (std::size_t a = 0; a < c.bytes; a += 61) rig.form.buffers.CodeBuffer[a] = 0x3C;
    rig.form.buffers.CodeBufferLoaded = 1;
    rig.form.SetValue("Device", c.row);  // enables Program
    std::uint64_t inside = 0, outside = 0;
    std::uint64_t before = Acted(part.Activity());
    bool wasInside = false;
    rig.tap.beforeAccess = [&] {
      const std::uint64_t now = Acted(part.Activity());
      (wasInside ? inside : outside) += now - before;
      before = now;
      wasInside = rig.tally.InTimedWork();
    };
    rig.dialogs.answers = {Answer::kOk};
    EXPECT_TRUE(rig.form.Click("Program_button"));
    EXPECT_TRUE(rig.form.panel.LastOutcome().IsDone()) << c.part << rig.Log();
    EXPECT_EQ(rig.tally.workDepth, 0) << c.part;
    EXPECT_EQ(rig.tally.runsBegun, rig.tally.runsEnded) << c.part;
    if (std::string_view(c.part) == "24C16") {
      // START, STOP and the acknowledge clocks come between bytes; each byte's eight come inside.
      EXPECT_GE(inside, 8 * c.bytes) << c.part;
    } else {
      EXPECT_GT(inside, 0u) << c.part;
      EXPECT_EQ(outside, 0u) << c.part;
    }
  }
}

}  // namespace
}  // namespace sorvell::shell::testing
