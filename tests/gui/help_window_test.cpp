#include <QApplication>
#include <QClipboard>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpSearchEngine>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include "common/program_version.h"
#include "gui/qt_help_viewer.h"
#include "gui_fixture.h"

namespace sorvell::gui::testing {
namespace {

// The manual the build compiled, beside the test executables.
std::filesystem::path BuiltManual() {
  return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "manual" /
         "index.html";
}

class HelpWindowTest : public ::testing::Test {
 protected:
  QTemporaryDir cache;
  QtHelpViewer viewer{cache.path()};
};

TEST_F(HelpWindowTest, ContentsOpenTheManualAtItsFirstPage) {
  ASSERT_TRUE(std::filesystem::exists(BuiltManual()));
  EXPECT_EQ(viewer.ShowManual(BuiltManual(), panel::HelpTopic::kContents), std::nullopt);
  HelpWindow* window = viewer.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Browser().source().toString(), "qthelp://org.sorvell.manual/doc/index.html");
  EXPECT_TRUE(window->Browser().toPlainText().contains("Sorvell operator's manual"));
  EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), 0);

  // The search entry brings the same window forward at its search.
  EXPECT_EQ(viewer.ShowManual(BuiltManual(), panel::HelpTopic::kSearch), std::nullopt);
  EXPECT_EQ(viewer.Window(), window);
  EXPECT_EQ(window->findChild<QTabWidget*>()->currentIndex(), 1);
  window->close();
}

// Where the page shows the link to `href`, in the browser's viewport; (-1, -1) without one.
QPoint LinkPosition(QTextBrowser& browser, const QString& href) {
  for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
    for (auto part = block.begin(); !part.atEnd(); ++part) {
      const QTextFragment fragment = part.fragment();
      if (fragment.charFormat().anchorHref() != href) continue;
      QTextCursor cursor(browser.document());
      cursor.setPosition(fragment.position() + fragment.length() / 2);
      browser.setTextCursor(cursor);
      browser.ensureCursorVisible();
      return browser.cursorRect(cursor).center();
    }
  }
  return {-1, -1};
}

// The manual is read by clicking: a link in a page, and once on an entry of the contents. The
// window, larger than the test's screen, is opened within it.
TEST_F(HelpWindowTest, ALinkAndOneClickOnTheContentsOpenTheirPage) {
  ASSERT_EQ(viewer.ShowManual(BuiltManual(), panel::HelpTopic::kContents), std::nullopt);
  HelpWindow& window = *viewer.Window();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry()));
  HelpBrowser& browser = window.Browser();
  const QPoint link = LinkPosition(browser, QStringLiteral("getting-started.html"));
  ASSERT_NE(link, QPoint(-1, -1));
  QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, link);
  EXPECT_EQ(browser.source().toString().toStdString(),
            "qthelp://org.sorvell.manual/doc/getting-started.html");

  QHelpContentModel& model = *window.Engine().contentModel();
  ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() > 0; }, 30000));
  auto* contents = window.findChild<QHelpContentWidget*>("HelpContents");
  contents->expandAll();
  const QModelIndex windowPage = model.index(1, 0, model.index(0, 0));
  ASSERT_EQ(windowPage.data().toString(), "The window");
  QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                    contents->visualRect(windowPage).center());
  EXPECT_EQ(browser.source().toString().toStdString(),
            "qthelp://org.sorvell.manual/doc/window.html");

  // Its pictures fit the page: the main window's, wider than the browser, is scaled down.
  const QVariant picture = browser.loadResource(
      QTextDocument::ImageResource,
      browser.source().resolved(QUrl(QStringLiteral("images/main-window.png"))));
  ASSERT_EQ(picture.typeId(), QMetaType::QImage);
  EXPECT_LE(picture.value<QImage>().width(), browser.viewport()->width());
  window.close();
}

TEST_F(HelpWindowTest, TheSearchFindsAWordOfTheManual) {
  ASSERT_EQ(viewer.ShowManual(BuiltManual(), panel::HelpTopic::kSearch), std::nullopt);
  QHelpSearchEngine* search = viewer.Window()->Engine().searchEngine();
  // Searching a half-built index would find nothing: the window says when its index is done.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !viewer.Window()->Indexing(); }, 30000));
  QSignalSpy searched(search, &QHelpSearchEngine::searchingFinished);
  viewer.Window()->Search(QStringLiteral("acknowledge"));
  ASSERT_TRUE(searched.wait(30000));
  ASSERT_GT(search->searchResultCount(), 0);
  QStringList pages;
  for (const QHelpSearchResult& result : search->searchResults(0, search->searchResultCount())) {
    pages << result.url().fileName();
  }
  EXPECT_TRUE(pages.contains("troubleshooting.html")) << pages.join(' ').toStdString();
  viewer.Window()->close();
}

// A closed help window is only deleted later, and its search indexer keeps working meanwhile:
// it must be gone with the viewer, before the folder holding its index can be removed.
TEST(HelpWindowLifetimeTest, TheWindowGoesWithItsViewerEvenWhileIndexing) {
  QPointer<HelpWindow> window;
  {
    QTemporaryDir cache;
    QtHelpViewer viewer{cache.path()};
    ASSERT_EQ(viewer.ShowManual(BuiltManual(), panel::HelpTopic::kContents), std::nullopt);
    window = viewer.Window();
    window->close();
  }
  EXPECT_TRUE(window.isNull());
}

TEST_F(HelpWindowTest, AManualWithoutItsHelpFileSaysWhereThePagesAre) {
  QTemporaryDir manual;
  const auto index = std::filesystem::path(manual.path().toStdString()) / "index.html";
  const auto error = viewer.ShowManual(index, panel::HelpTopic::kContents);
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find("sorvell.qch"), std::string::npos) << *error;
  EXPECT_EQ(viewer.Window(), nullptr);
}

TEST_F(HelpWindowTest, TheReportCanBeReadAndCopied) {
  QString shown;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* text = dialog->findChild<QPlainTextEdit*>("ReportText");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    shown = text->toPlainText();
    QTest::mouseClick(dialog->findChild<QPushButton*>("CopyButton"), Qt::LeftButton);
    static_cast<QDialog*>(dialog)->accept();
  });
  viewer.ShowReport("System Information", "Kernel: Linux 6.1.0\nNo problem found.\n");
  EXPECT_EQ(shown, "Kernel: Linux 6.1.0\nNo problem found.\n");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), shown);
}

using AboutBoxTest = GuiTest;

TEST_F(AboutBoxTest, ShowsTheBuildsVersionAndSystemInfoReachesTheModel) {
  Start();
  windows.SetClickHandler([this](std::string_view name) { return model->ClickAbout(name); });
  QString version;
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    ASSERT_NE(about, nullptr);
    version = about->findChild<QLabel*>("lblVersion")->text();
    // No viewer in this rig: the system check says it is unavailable, the box stays open.
    QTest::mouseClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(QApplication::activeModalWidget(), about);
    QTest::mouseClick(about->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
  });
  model->mnuHelpAbout_Click();
  EXPECT_EQ(version, QStringLiteral("Version %1").arg(common::kProgramVersion));
  ASSERT_FALSE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.messages.back().text, "System Information Is Unavailable At This Time");
}

}  // namespace
}  // namespace sorvell::gui::testing
