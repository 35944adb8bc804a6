// A long operation in the window: it repaints while the run goes on, what the operator clicks then
// neither acts nor comes back afterwards, and Stop, Esc or closing the window end the run safely.
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "gui/form_view.h"
#include "gui_fixture.h"
#include "sim/eprom_chip.h"
#include "sim/sim_port.h"

namespace sorvell::gui::testing {
namespace {

class LongOperationTest : public GuiTest {
 protected:
  void StartWithA27C256() {
    Start();
    SelectA27C256();
    model->SetValue("CheckBlankPriorProgramming", 0);
    model->SetValue("VerifyAfterProgramming", 0);
    std::fill_n(model->buffers.CodeBuffer.begin(), 32768, 0x00);
    Model("Program_button").SetEnabled(true);
    window->View().Render(Model("Program_button"));
    window->RunControl().SetInterval(std::chrono::milliseconds(0));
  }
  QPushButton& Button(const char* name) { return Widget<QPushButton>(name); }
  bool Logged(const char* text) {
    return model->frmMain["SystemLog"].Caption().find(text) != std::string::npos;
  }
};

TEST_F(LongOperationTest, TheWindowRepaintsAClickDuringTheRunIsDroppedAndStopEndsIt) {
  StartWithA27C256();
  PaintCounter paints(*window);
  bool readEnabled = true, stopEnabled = false, readAccepted = true;
  int paintsBefore = 0;
  QTimer::singleShot(0, window.get(), [&] {
    readEnabled = Button("Read_button").isEnabled();
    stopEnabled = Button("Stop_button").isEnabled();
    QTest::mouseClick(&Button("Read_button"), Qt::LeftButton);  // inactive: nothing happens
    readAccepted = model->Click("Read_button");                 // what reaches the model is refused
    paintsBefore = paints.paints;
    window->resize(window->size() + QSize(40, 30));
    window->update();
  });
  QTimer::singleShot(0, window.get(), [&] { Button("Stop_button").click(); });
  Button("Program_button").click();

  EXPECT_FALSE(readEnabled);
  EXPECT_TRUE(stopEnabled);
  EXPECT_FALSE(readAccepted);
  EXPECT_GT(paints.paints, paintsBefore) << "no repaint during the run";
  EXPECT_EQ(model->OperationsStopped(), 1);
  EXPECT_TRUE(
      LastLogLine().ends_with("Operation STOPPED by the operator - board reset, "
                              "programming voltage off"));
  QCoreApplication::processEvents();
  EXPECT_FALSE(Logged("Read from Device")) << "a click of the run was replayed";
  EXPECT_TRUE(Button("Read_button").isEnabled());
  EXPECT_FALSE(Button("Stop_button").isEnabled());
}

// Closing during a run asks: No leaves the run going, Yes stops it and closes once the board is
// idle.
TEST_F(LongOperationTest, EscStopsAndClosingDuringARunAsksFirst) {
  StartWithA27C256();
  QTimer::singleShot(0, window.get(), [&] { QTest::keyClick(window.get(), Qt::Key_Escape); });
  Button("Program_button").click();
  EXPECT_EQ(model->OperationsStopped(), 1);
  EXPECT_TRUE(window->isVisible());

  bool runningAfterNo = false;
  std::size_t asked = 0;
  QTimer::singleShot(0, window.get(), [&] {
    asked = dialogs.messages.size();
    dialogs.answers = {panel::Answer::kNo};
    window->close();
    runningAfterNo = model->OperationRunning() && !model->panel.StopRequested();
    Button("Stop_button").click();
  });
  Button("Program_button").click();
  EXPECT_TRUE(runningAfterNo);
  ASSERT_GT(dialogs.messages.size(), asked);
  EXPECT_TRUE(dialogs.messages[asked].text.starts_with("An operation is running."));
  EXPECT_EQ(dialogs.messages[asked].buttons, panel::MessageButtons::kYesNo);
  EXPECT_EQ(dialogs.messages[asked].defaultAnswer, panel::Answer::kNo);
  EXPECT_TRUE(window->isVisible());

  QTimer::singleShot(0, window.get(), [&] {
    dialogs.answers = {panel::Answer::kYes};
    window->close();
  });
  Button("Program_button").click();
  EXPECT_EQ(model->OperationsStopped(), 3);
  QCoreApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(settings.values.contains("Settings/MainWidth")) << "the shutdown ran";
}

}  // namespace
}  // namespace sorvell::gui::testing
