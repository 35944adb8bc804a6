#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <filesystem>

#include "gui/colors.h"
#include "gui_fixture.h"

namespace sorvell::gui::testing {
namespace {

using panel::ControlKind;

using MainWindowTest = GuiTest;

QColor TextColor(const QWidget& widget) {
  return widget.palette().color(QPalette::Active, widget.foregroundRole());
}

TEST_F(MainWindowTest, EveryControlIsShownWithItsCaptionToolTipAndState) {
  Start();
  for (const panel::Control& control : model->frmMain.Controls()) {
    if (control.Kind() == ControlKind::kFileDialog || control.Kind() == ControlKind::kTimer) {
      continue;
    }
    SCOPED_TRACE(control.Name());
    const QString name = ToQt(control.Name());
    const QString caption = ToQt(control.Caption());
    if (auto* menu = window->findChild<QMenu*>(name)) {
      EXPECT_EQ(menu->title(), caption);
      EXPECT_EQ(menu->menuAction()->isEnabled(), control.Enabled());
      continue;
    }
    if (auto* action = window->findChild<QAction*>(name)) {
      if (!action->isSeparator()) {
        EXPECT_EQ(action->text(), caption);
      }
      if (!control.ToolTip().empty()) {
        EXPECT_EQ(action->toolTip(), ToQt(control.ToolTip()));
      }
      EXPECT_EQ(action->isVisible(), control.Visible());
      if (control.Visible()) {
        EXPECT_EQ(action->isEnabled(), control.Enabled());  // a hidden action is never enabled
      }
      continue;
    }
    auto* widget = window->findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr);
    // Placed in the window's layout, not left lying on the window at 0,0; the last outcome
    // sits in the status bar.
    if (control.Name() == "sbOutcome") {
      EXPECT_TRUE(window->statusBar()->isAncestorOf(widget));
    } else if (control.Kind() != ControlKind::kToolbar &&
               control.Kind() != ControlKind::kStatusBar) {
      EXPECT_TRUE(window->centralWidget()->isAncestorOf(widget));
    }
    if (const auto shown = ShownCaption(*widget)) {
      EXPECT_EQ(*shown, caption);
    }
    EXPECT_EQ(widget->toolTip(), ToQt(control.ToolTip()));
    EXPECT_EQ(widget->isHidden(), !control.Visible());
    EXPECT_EQ(widget->testAttribute(Qt::WA_ForceDisabled), !control.Enabled());
    if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable()) {
      EXPECT_EQ(button->isChecked(), control.Value() != 0);
    }
  }
  EXPECT_EQ(window->windowTitle(), ToQt(model->frmMain.Caption()));
  EXPECT_EQ(Widget<QSlider>("Slider1").value(), 18);
  EXPECT_EQ(Widget<QSlider>("Slider1").maximum(), 20);
  EXPECT_TRUE(Widget<QLabel>("boardAccess").toolTip().contains("model 6 at 378h"));
}

TEST_F(MainWindowTest, ModelChangesArePaintedAtOnce) {
  Start();
  auto& lamp = Widget<QLabel>("Error_label");
  auto* lampPaints = new PaintCounter(lamp);
  auto& bar = Widget<QProgressBar>("ProgressBar1");
  auto* barPaints = new PaintCounter(bar);
  Model("Read_button").SetEnabled(true);
  EXPECT_TRUE(Widget<QPushButton>("Read_button").isEnabled());

  // No event processing below: an operation's loop never returns to the event loop.
  model->panel.ErrorLockButtons();
  EXPECT_EQ(TextColor(lamp), QColor(255, 0, 0));
  EXPECT_GT(lampPaints->paints, 0);
  EXPECT_FALSE(Widget<QPushButton>("Read_button").isEnabled());
  Model("ProgressBar1").SetValue(40);
  EXPECT_EQ(bar.value(), 40);
  EXPECT_GT(barPaints->paints, 0);
  Model("FileNameCodeText").SetCaption("/tmp/image.bin");
  EXPECT_EQ(Widget<QLabel>("FileNameCodeText").text(), "/tmp/image.bin");

  // A frame that appears is laid out at once.
  Model("Frame5").SetVisible(true);
  auto& frame = Widget<QGroupBox>("Frame5");
  EXPECT_TRUE(frame.isVisible());
  EXPECT_GT(frame.height(), 0);
  EXPECT_FALSE(frame.geometry().intersects(Widget<QGroupBox>("Frame10").geometry()));
}

TEST_F(MainWindowTest, LogLinesAreAppendedNotRewritten) {
  Start();
  auto& log = Widget<QPlainTextEdit>("SystemLog");
  int removed = 0;
  QObject::connect(log.document(), &QTextDocument::contentsChange,
                   [&removed](int, int charsRemoved, int) { removed += charsRemoved; });
  model->panel.AddLog("first");
  model->panel.AddLog("second");
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(log.document()->blockCount(), 2);
  EXPECT_EQ(log.document()->firstBlock().text(), "12:34:56>  first");
  EXPECT_EQ(log.document()->lastBlock().text(), "12:34:56>  second");

  for (int i = 0; i < 500; ++i) model->panel.AddLog("line " + std::to_string(i));
  EXPECT_EQ(removed, 0);
  EXPECT_TRUE(log.textCursor().atEnd());
  EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
  EXPECT_GT(log.verticalScrollBar()->maximum(), 0);
}

TEST_F(MainWindowTest, ClickingTheErrorLampTurnsTheAlertOff) {
  Start();
  model->panel.ErrorLockButtons();
  QTest::mouseClick(&Widget<QLabel>("Error_label"), Qt::LeftButton);
  EXPECT_EQ(Model("Error_label").ForeColor(), panel::kButtonFace);
  const QLabel& lamp = Widget<QLabel>("Error_label");
  EXPECT_EQ(TextColor(lamp), ResolveColor(panel::kButtonFace, lamp.palette()));
  EXPECT_NE(LastLogLine().find("Error Alert was Turned Off"), std::string::npos);
}

TEST_F(MainWindowTest, CheckBoxesAndOptionsShowWhatTheModelDecided) {
  Start();
  Model("CheckCode").SetEnabled(true);
  auto& code = Widget<QCheckBox>("CheckCode");
  QTest::mouseClick(&code, Qt::LeftButton);
  EXPECT_EQ(Model("CheckCode").Value(), 0);
  EXPECT_FALSE(code.isChecked());

  auto& both = Widget<QRadioButton>("HiLow_button(0)");
  auto& low = Widget<QRadioButton>("HiLow_button(2)");
  QTest::mouseClick(&low, Qt::LeftButton);
  EXPECT_EQ(Model("HiLow_button(2)").Value(), 1);
  EXPECT_EQ(Model("HiLow_button(0)").Value(), 0);
  EXPECT_TRUE(low.isChecked());
  EXPECT_FALSE(both.isChecked());
  QTest::mouseClick(&low, Qt::LeftButton);  // clicking the set option changes nothing
  EXPECT_TRUE(low.isChecked());
}

TEST_F(MainWindowTest, OperatorInputReachesTheModel) {
  Start();
  auto& slider = Widget<QSlider>("Slider1");
  slider.setFocus();
  QTest::keyClick(&slider, Qt::Key_Left);
  EXPECT_EQ(Model("Slider1").Value(), 17);

  const std::string port = Model("PortSelected").Caption();
  QTest::keyClicks(&Widget<QLineEdit>("PortSelected"), "!");
  EXPECT_EQ(Model("PortSelected").Caption(), port + "!");

  Model("Device").SetItems({"2716", "27C256"});
  auto& list = Widget<QComboBox>("Device");
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(list.currentIndex(), -1);  // nothing chosen yet: the prompt shows
  EXPECT_EQ(list.placeholderText(), ToQt(Model("Device").Caption()));
  emit list.activated(1);
  EXPECT_EQ(Model("Device").Value(), 1);
  EXPECT_EQ(Model("Device").Caption(), "27C256");
  EXPECT_EQ(list.currentText(), "27C256");

  Model("VScroll1").SetRange(0, 10);
  Widget<QScrollBar>("VScroll1").triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(Model("VScroll1").Value(), 1);
}

TEST_F(MainWindowTest, MenuEntriesToolbarAndDoubleClicksReachTheModel) {
  Start();
  Widget<QAction>("mnuToolsOptions").trigger();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "This menu option is not available.");
  // The status bar says how the last event ended.
  EXPECT_EQ(Widget<QLabel>("sbOutcome").text(),
            "Not done (not supported): This menu option is not available.");
  EXPECT_FALSE(Widget<QAction>("mnuFileSaveCode").isEnabled());
  EXPECT_FALSE(Widget<QAction>("tbToolBar:OpenData").isVisible());

  Model("mnuFileSaveCode").SetEnabled(true);
  EXPECT_TRUE(Widget<QAction>("mnuFileSaveCode").isEnabled());

  model->panel.AddLog("worth keeping");
  QTest::mouseDClick(Widget<QPlainTextEdit>("SystemLog").viewport(), Qt::LeftButton);
  EXPECT_TRUE(std::filesystem::exists(workDir / "SORVELL.LOG"));
  EXPECT_NE(LastLogLine().find("System Log was Saved"), std::string::npos);
  EXPECT_EQ(Widget<QLabel>("sbOutcome").text(), "Done: System Log was Saved to SORVELL.LOG file");
}

TEST_F(MainWindowTest, TheDefaultWidthIsRaisedToWhatTheControlsNeed) {
  Start();
  EXPECT_EQ(window->size(), window->size().expandedTo(window->minimumSizeHint()));
  EXPECT_GT(window->width(), 600);
  EXPECT_EQ(model->placement.width, static_cast<float>(window->width() * 15));
  EXPECT_EQ(model->placement.height, static_cast<float>(window->height() * 15));
}

TEST_F(MainWindowTest, AStoredSizeLargeEnoughIsKept) {
  settings.values = {{"Settings/MainLeft", "1500"},
                     {"Settings/MainTop", "750"},
                     {"Settings/MainWidth", "22500"},
                     {"Settings/MainHeight", "15000"}};
  Start();
  EXPECT_EQ(window->size(), QSize(1500, 1000));
  EXPECT_EQ(model->placement.width, 22500);
}

TEST_F(MainWindowTest, ClosingStoresThePlacement) {
  Start();
  window->resize(window->width() + 30, window->height() + 45);
  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(std::stof(settings.values.at("Settings/MainWidth")), window->width() * 15.0f);
  EXPECT_EQ(std::stof(settings.values.at("Settings/MainHeight")), window->height() * 15.0f);
  EXPECT_TRUE(settings.values.contains("Settings/MainLeft"));
}

TEST_F(MainWindowTest, ClosingWhileMinimisedKeepsTheStoredPlacement) {
  settings.values = {{"Settings/MainWidth", "22500"}, {"Settings/MainHeight", "15000"}};
  Start();
  window->resize(800, 700);
  window->showMinimized();
  window->close();
  EXPECT_TRUE(model->placement.minimised);
  EXPECT_EQ(settings.values.at("Settings/MainWidth"), "22500");
}

TEST_F(MainWindowTest, FileExitClosesTheWindowThroughTheModel) {
  Start();
  Widget<QAction>("mnuFileExit").trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(settings.values.contains("Settings/MainWidth"));
}

}  // namespace
}  // namespace sorvell::gui::testing

namespace sorvell::gui::testing {
namespace {

// Today's parts and the operator's own follow the first forty entries in the window's list; the
// read-only 2716 offers no programming there.
TEST_F(MainWindowTest, TheListHoldsTodaysPartsAndTheOperatorsOwn) {
  std::filesystem::copy_file(
      std::filesystem::path(SORVELL_SOURCE_DIR) / "docs/examples/devices.toml",
      workDir / "devices.toml");
  Start();
  auto& list = Widget<QComboBox>("Device");
  ASSERT_EQ(list.count(), 56);
  EXPECT_EQ(list.itemText(41).trimmed(), "Flash SST SST39SF010A");
  EXPECT_EQ(list.itemText(55), "Flash Alliance AS29F040  (own part)");
  emit list.activated(53);
  EXPECT_EQ(Model("Device").Value(), 53);
  EXPECT_EQ(model->device.DeviceBytes, 2048);
  EXPECT_TRUE(Widget<QPushButton>("Read_button").isEnabled());
  EXPECT_FALSE(Widget<QCheckBox>("CheckBlankPriorProgramming").isEnabled());
  EXPECT_FALSE(Widget<QPushButton>("Program_button").isEnabled());
}

}  // namespace
}  // namespace sorvell::gui::testing

namespace sorvell::gui::testing {
namespace {

// The dump's marked bytes show on a coloured ground, over exactly their characters.
TEST_F(MainWindowTest, MarkedBytesOfTheDumpAreHighlighted) {
  Start();
  Model("BufferDisplay").SetCaption("\r\n000000| 0011 2233 |\r\n000010| 4455 6677 |");
  Model("BufferDisplay").SetMarks({{2, 10, 2}});
  const auto marks = Widget<QPlainTextEdit>("BufferDisplay").extraSelections();
  ASSERT_EQ(marks.size(), 1);
  EXPECT_EQ(marks[0].cursor.selectedText(), "55");
  Model("BufferDisplay").SetMarks({});
  EXPECT_TRUE(Widget<QPlainTextEdit>("BufferDisplay").extraSelections().isEmpty());
}

}  // namespace
}  // namespace sorvell::gui::testing
