#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QWidget>

#include "gui/colors.h"
#include "gui/form_view.h"

namespace sorvell::gui {
namespace {

using panel::ControlKind;

TEST(ColorTest, ModelColoursAndSystemColours) {
  QPalette palette;
  palette.setColor(QPalette::Button, QColor(1, 2, 3));
  palette.setColor(QPalette::ButtonText, QColor(4, 5, 6));
  EXPECT_EQ(ResolveColor(panel::kRed, palette), QColor(255, 0, 0));
  EXPECT_EQ(ResolveColor(panel::kGreen, palette), QColor(0, 128, 0));
  EXPECT_EQ(ResolveColor(0x00C08040, palette), QColor(0x40, 0x80, 0xC0));  // 00BBGGRR
  EXPECT_EQ(ResolveColor(panel::kButtonFace, palette), QColor(1, 2, 3));
  EXPECT_EQ(ResolveColor(panel::kButtonText, palette), QColor(4, 5, 6));
}

// A small form of its own, with events that count what reaches the "model" and may refuse.
class FormViewTest : public ::testing::Test {
 protected:
  FormViewTest() : form("frmTest", "Test") {
    form.Add("Frame1", ControlKind::kFrame, "Options");
    form.Add("Choice(0)", ControlKind::kOptionButton, "A", "", "Frame1");
    form.Add("Choice(1)", ControlKind::kOptionButton, "B", "", "Frame1");
    form.Add("Speed", ControlKind::kSlider).SetRange(1, 20);
    form.Add("List", ControlKind::kDropDownList, "Pick one");
    form.Add("Name", ControlKind::kTextBox, "abc");
    form.Add("Dump", ControlKind::kMultiLineTextBox);
    form.Add("Bar", ControlKind::kProgressBar);
    form.Add("Go", ControlKind::kButton, "Go");
    form.Add("mnuTop", ControlKind::kMenu, "&Top");
    form.Add("mnuEntry", ControlKind::kMenuItem, "&Entry", "", "mnuTop");
    FormEvents events;
    events.click = [this](std::string_view name) {
      clicks_.emplace_back(name);
      return ++events_, true;
    };
    events.setValue = [this](std::string_view, int) { return ++events_, accept_; };
    events.setText = [this](std::string_view, std::string) { return ++events_, true; };
    view = new FormView(form, root, std::move(events));
  }

  panel::Form form;
  QWidget root;
  FormView* view;
  int events_ = 0;
  std::vector<std::string> clicks_;
  bool accept_ = false;
};

TEST_F(FormViewTest, ModelChangesNeverComeBackAsEvents) {
  form["Speed"].SetValue(7);
  form["Speed"].SetRange(5, 10);
  form["List"].SetItems({"x", "y"});
  form["List"].SetValue(1);
  form["List"].SetCaption("y");
  form["Name"].SetCaption("changed");
  form["Choice(1)"].SetValue(1);
  EXPECT_EQ(events_, 0);
  EXPECT_EQ(view->As<QSlider>("Speed")->value(), 7);
  EXPECT_EQ(view->As<QSlider>("Speed")->minimum(), 5);
  EXPECT_EQ(view->As<QComboBox>("List")->currentText(), "y");
  EXPECT_EQ(view->As<QLineEdit>("Name")->text(), "changed");
  EXPECT_TRUE(view->As<QRadioButton>("Choice(1)")->isChecked());
}

TEST_F(FormViewTest, AButtonsBackColourMarksItBusyAndReturns) {
  QWidget& button = *view->Widget("Go");
  const QColor face = button.palette().color(QPalette::Button);
  form["Go"].SetBackColor(0x80000014);  // the 3-D highlight, as during a verify
  EXPECT_EQ(button.palette().color(QPalette::Button),
            ResolveColor(0x80000014, QApplication::palette(&button)));
  form["Go"].SetBackColor(panel::kButtonFace);
  EXPECT_EQ(button.palette().color(QPalette::Button), face);
}

TEST_F(FormViewTest, AValueTheModelRefusesIsRenderedBack) {
  form["Speed"].SetValue(10);
  view->As<QSlider>("Speed")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(events_, 1);
  EXPECT_EQ(view->As<QSlider>("Speed")->value(), 10);

  // Option buttons are the model's: Qt neither checks them on a click nor clears siblings.
  form["Choice(0)"].SetValue(1);
  form["Choice(1)"].SetValue(1);
  EXPECT_TRUE(view->As<QRadioButton>("Choice(0)")->isChecked());
  QTest::mouseClick(view->As<QRadioButton>("Choice(1)"), Qt::LeftButton);
  EXPECT_TRUE(view->As<QRadioButton>("Choice(1)")->isChecked());
}

TEST_F(FormViewTest, ControlsSitInTheirFramesAndKeepTheirText) {
  EXPECT_EQ(view->As<QRadioButton>("Choice(0)")->parentWidget(), view->Widget("Frame1"));
  EXPECT_EQ(view->As<QGroupBox>("Frame1")->title(), "Options");
  std::vector<std::string> topLevel;
  for (const auto* control : view->TopLevelControls()) topLevel.push_back(control->Name());
  EXPECT_EQ(topLevel,
            (std::vector<std::string>{"Frame1", "Speed", "List", "Name", "Dump", "Bar", "Go"}));
  EXPECT_EQ(view->Widget("mnuTop"), nullptr);

  // A page of text replaces the last; a text that opens with a line break has no empty line.
  auto* dump = view->As<QPlainTextEdit>("Dump");
  form["Dump"].SetCaption("\r\nline 1\r\nline 2");
  EXPECT_EQ(dump->toPlainText(), "line 1\nline 2");
  form["Dump"].SetCaption("page 2");
  EXPECT_EQ(dump->toPlainText(), "page 2");
  form["Dump"].SetEnabled(false);  // a change that is not the text leaves the text alone
  EXPECT_EQ(dump->toPlainText(), "page 2");
}

// Opening a menu is the menu's own click, as the model knows menus; entries click by name.
TEST_F(FormViewTest, MenusClickWhenOpenedAndEntriesWhenChosen) {
  QMenu* menu = view->Menu("mnuTop");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(view->MenuBar()->actions().value(0), menu->menuAction());
  EXPECT_EQ(menu->title(), "&Top");
  emit menu->aboutToShow();
  view->Action("mnuEntry")->trigger();
  EXPECT_EQ(clicks_, (std::vector<std::string>{"mnuTop", "mnuEntry"}));
  form["mnuEntry"].SetVisible(false);
  EXPECT_FALSE(view->Action("mnuEntry")->isVisible());
}

TEST_F(FormViewTest, AnEmptyProgressRangeShowsNothingDoneRatherThanBusy) {
  auto* bar = view->As<QProgressBar>("Bar");
  EXPECT_LT(bar->minimum(), bar->maximum());
  form["Bar"].SetRange(0, 200);
  form["Bar"].SetValue(50);
  EXPECT_EQ(bar->maximum(), 200);
  EXPECT_EQ(bar->value(), 50);
}

}  // namespace
}  // namespace sorvell::gui
