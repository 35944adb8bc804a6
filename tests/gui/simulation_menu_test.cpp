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

}  // namespace
}  // namespace sorvell::gui::testing
