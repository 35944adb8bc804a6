#include <algorithm>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "gui/form_dialog.h"
#include "gui_fixture.h"

namespace sorvell::gui::testing {
namespace {

using SecondaryWindowTest = GuiTest;

// The dump's columns line up when every character it shows has one advance width. Some
// monospace fonts do not call themselves fixed-pitch, so the widths are what is checked.
bool EveryDumpCharacterIsAsWide(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString dumpCharacters = QStringLiteral("0123456789ABCDEF| .:abcxyzMW");
  const int width = metrics.horizontalAdvance(dumpCharacters.front());
  return width > 0 && std::ranges::all_of(dumpCharacters, [&](QChar c) {
           return metrics.horizontalAdvance(c) == width;
         });
}

TEST_F(SecondaryWindowTest, TheDisplayWindowRendersItsFormAndFollowsIt) {
  Start();
  windows.ShowWindow(model->frmDisplay1, false);
  FormDialog* display = windows.OpenWindow("frmDisplay1");
  ASSERT_NE(display, nullptr);
  EXPECT_TRUE(display->isVisible());
  EXPECT_FALSE(display->isModal());
  EXPECT_EQ(display->windowTitle(), "Code Buffer Display");
  auto* dump = display->findChild<QPlainTextEdit*>("BufferDisplay");
  ASSERT_NE(dump, nullptr);
  EXPECT_TRUE(EveryDumpCharacterIsAsWide(dump->font()));
  EXPECT_NE(display->findChild<QScrollBar*>("VScroll1"), nullptr);
  for (int i = 1; i <= 5; ++i) {
    const QString name = QStringLiteral("Command%1").arg(i);
    auto* button = display->findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), name);
  }

  model->frmDisplay1["BufferDisplay"].SetCaption("0000: FF FF\r\n0010: FF FF");
  EXPECT_EQ(dump->toPlainText(), "0000: FF FF\n0010: FF FF");

  // Showing it again brings the same window forward rather than opening a second one.
  windows.ShowWindow(model->frmDisplay1, false);
  EXPECT_EQ(windows.OpenWindow("frmDisplay1"), display);

  windows.CloseOtherWindows();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(windows.OpenWindow("frmDisplay1"), nullptr);
  model->frmDisplay1["BufferDisplay"].SetCaption("after close");  // must not reach a dead view
}

TEST_F(SecondaryWindowTest, TheAboutBoxIsModalAndOkClosesIt) {
  Start();
  model->frmAbout["lblVersion"].SetCaption("Version 1.0.66");
  QString description;
  bool wasModal = false;
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    ASSERT_NE(about, nullptr);
    wasModal = true;
    description = about->findChild<QLabel*>("lblDescription")->text();
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), "Version 1.0.66");
    QTest::mouseClick(about->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
  });
  windows.ShowWindow(model->frmAbout, true);  // returns once OK closed it
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(description, ToQt(model->frmAbout["lblDescription"].Caption()));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(SecondaryWindowTest, ClosingTheMainWindowClosesTheOthers) {
  Start();
  windows.ShowWindow(model->frmDisplay1, false);
  QPointer<FormDialog> display = windows.OpenWindow("frmDisplay1");
  window->close();
  EXPECT_TRUE(display.isNull() || !display->isVisible());
}

}  // namespace
}  // namespace sorvell::gui::testing
