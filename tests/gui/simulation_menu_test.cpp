#include "gui/simulation_menu.h"

#include <QAction>
#include <QMenuBar>

#include "gui_fixture.h"
#include "sim/eprom_chip.h"
#include "sim/sim_port.h"

namespace sorvell::gui::testing {
namespace {

class SimulationMenuTest : public GuiTest {
 protected:
  void Trigger(const char* name) {
    QAction* action = window->findChild<QAction*>(name);
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
  }
  sim::EpromChip* Chip() {
    return dynamic_cast<sim::EpromChip*>(backend.simulator->BoardAt(board::kLpt378)->Chip());
  }
};

TEST_F(SimulationMenuTest, InsertEraseAndRemoveAPart) {
  Start();
  new SimulationMenu(*window->menuBar(), *backend.simulator, *model, dialogs);
  Trigger("simInsert27C256");
  ASSERT_NE(Chip(), nullptr);
  EXPECT_EQ(Chip()->Part().name, "27C256");
  Trigger("simErase");
  Trigger("simRemove");
  EXPECT_EQ(backend.simulator->BoardAt(board::kLpt378)->Chip(), nullptr);
  EXPECT_TRUE(dialogs.messages.empty());
  // Erasing an empty socket is refused with a message, and changes nothing.
  Trigger("simErase");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].title, "Simulation");
}

// The serial and Flash faults reach the part in the socket; a part they do not fit is refused.
TEST_F(SimulationMenuTest, FaultEntriesReachThePartTheyFit) {
  Start();
  new SimulationMenu(*window->menuBar(), *backend.simulator, *model, dialogs);
  Trigger("simInsert24C16");
  for (const char* name : {"simNoAck", "simBusy", "simProtectOn", "simProtectOff"}) Trigger(name);
  EXPECT_TRUE(dialogs.messages.empty());
  Trigger("simInsert27C256");
  Trigger("simNoAck");
  Trigger("simEraseHangs");
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_NE(dialogs.messages[0].text.find("serial"), std::string::npos) << dialogs.messages[0].text;
}

// The port and board faults reach the simulated port and board; Reconnect undoes both.
TEST_F(SimulationMenuTest, PortAndBoardFaultsAndReconnect) {
  Start();
  new SimulationMenu(*window->menuBar(), *backend.simulator, *model, dialogs);
  const sim::SimBoard& simBoard = *backend.simulator->BoardAt(board::kLpt378);
  dialogs.inputs = {"0", "0"};
  Trigger("simBoardOff");
  EXPECT_FALSE(simBoard.Connected());
  Trigger("simPortFails");
  EXPECT_THROW(backend.simulator->PortIn(0x379), board::PortFault);
  Trigger("simReconnect");
  EXPECT_TRUE(simBoard.Connected());
  EXPECT_NO_THROW(backend.simulator->PortIn(0x379));
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace sorvell::gui::testing
