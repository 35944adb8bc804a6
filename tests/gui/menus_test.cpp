#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QStandardItemModel>
#include <fstream>

#include "catalogue/device_table.h"
#include "gui_fixture.h"

namespace sorvell::gui::testing {
namespace {

using WindowMenusTest = GuiTest;

// A separator with text would be drawn by some styles as a heading: "-" beside the line.
TEST_F(WindowMenusTest, SeparatorsAreBareLines) {
  Start();
  int separators = 0;
  for (const panel::Control& control : model->frmMain.Controls()) {
    if (control.Kind() != panel::ControlKind::kMenuSeparator) continue;
    SCOPED_TRACE(control.Name());
    auto& action = Widget<QAction>(control.Name().c_str());
    EXPECT_TRUE(action.isSeparator());
    EXPECT_TRUE(action.text().isEmpty());
    ++separators;
  }
  EXPECT_EQ(separators, 17);
}

TEST_F(WindowMenusTest, DevicesThatCannotBeChosenLookUnavailable) {
  Start();
  auto& list = Widget<QComboBox>("Device");
  auto* items = qobject_cast<QStandardItemModel*>(list.model());
  ASSERT_NE(items, nullptr);
  const auto& entries = Model("Device").Items();
  ASSERT_EQ(items->rowCount(), static_cast<int>(entries.size()));
  int unavailable = 0;
  for (int i = 0; i < items->rowCount(); ++i) {
    SCOPED_TRACE(entries[static_cast<std::size_t>(i)]);
    const bool selectable = catalogue::SelectableEntry(entries[static_cast<std::size_t>(i)]);
    EXPECT_EQ(items->item(i)->isEnabled(), selectable);
    unavailable += selectable ? 0 : 1;
  }
  EXPECT_GT(unavailable, 5);
}

// Opening the Setup menu names its Load entries before they are drawn.
TEST_F(WindowMenusTest, OpeningTheSetupMenuNamesTheStoredSetups) {
  Start();
  std::ofstream(workDir / "SVSetup2.INI", std::ios::binary) << "SetupName = Bench\r\n";
  auto& load2 = Widget<QAction>("LoadSetup2");
  EXPECT_FALSE(load2.isEnabled());
  emit Widget<QMenu>("Setup").aboutToShow();
  EXPECT_TRUE(load2.isEnabled());
  EXPECT_EQ(load2.text(), "Bench");
  EXPECT_FALSE(Widget<QAction>("LoadSetup1").isEnabled());
}

}  // namespace
}  // namespace sorvell::gui::testing
