// What an operator expects of a desktop window: the usual keys, a file opened by a drop, and a
// window that fits a small screen.
#include <QAction>
#include <QCheckBox>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <fstream>

#include "gui/form_view.h"
#include "gui_fixture.h"

namespace sorvell::gui::testing {
namespace {

class WindowComfortsTest : public GuiTest {
 protected:
  std::filesystem::path Write(const std::string& name, std::size_t bytes) {
    const std::filesystem::path file = workDir / name;
    std::ofstream(file, std::ios::binary) << std::string(bytes, '\x5A');
    return file;
  }
};

TEST_F(WindowComfortsTest, TheUsualKeysAreOnTheirMenuEntries) {
  Start();
  for (const auto& [entry, keys] :
       std::vector<std::pair<const char*, const char*>>{{"mnuFileOpenCode", "Ctrl+O"},
                                                        {"mnuFileSaveCode", "Ctrl+S"},
                                                        {"mnuFileSaveCodeAs", "Ctrl+Shift+S"},
                                                        {"mnuHelpContents", "F1"},
                                                        {"mnuFileExit", "Ctrl+Q"},
                                                        {"mnuImageUndo", "Ctrl+Z"},
                                                        {"mnuImageFindNext", "F3"}}) {
    EXPECT_EQ(Widget<QAction>(entry).shortcut(), QKeySequence(QString::fromLatin1(keys))) << entry;
  }
  // Exit stays last in the File menu, below the recent files.
  EXPECT_EQ(window->View().Menu("mnuFile")->actions().back(), &Widget<QAction>("mnuFileExit"));
}

TEST_F(WindowComfortsTest, AFileDroppedOnTheWindowOpensAsTheCode) {
  Start();
  const std::filesystem::path file = Write("Dropped.bin", 64);
  const QUrl fileUrl = QUrl::fromLocalFile(ToQt(file.string()));
  struct Drop {
    QList<QUrl> urls;
    bool taken;
  };
  for (const Drop& drop :
       {Drop{{QUrl::fromLocalFile(ToQt(workDir.string()))}, false}, Drop{{fileUrl, fileUrl}, false},
        Drop{{QUrl(QStringLiteral("https://example.org/a.bin"))}, false}, Drop{{fileUrl}, true}}) {
    SCOPED_TRACE(drop.urls.front().toString().toStdString());
    QMimeData data;
    data.setUrls(drop.urls);
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_EQ(enter.isAccepted(), drop.taken);
    QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &dropped);
  }
  EXPECT_EQ(model->buffers.CodeFileName, file.string());
  EXPECT_EQ(Model("FileNameCodeSize").Caption(), "(64)");
  EXPECT_EQ(model->recentFiles.Entries().front(), file.string());
  EXPECT_TRUE(model->LastOutcome().IsDone());
}

// Every control a part can show, a long file name and a long outcome: still no wider or taller
// than a 1024x600 screen needs.
TEST_F(WindowComfortsTest, TheWindowFitsA1024By600Screen) {
  Start();
  const auto& items = Model("Device").Items();
  const auto part = std::ranges::find_if(
      items, [](const std::string& item) { return item.starts_with("Eprom 27C256"); });
  model->SetValue("Device", static_cast<int>(part - items.begin()));
  const std::string longName = "/home/operator/jobs/" + std::string(200, 'n') + ".bin";
  Model("FileNameCodeText").SetCaption(longName);
  Model("sbOutcome").SetCaption("Not done (file not loaded): " + longName);
  Model("sbStatusBar").SetCaption("Reading Code File " + longName + " into Buffer... Wait");
  for (const char* shown : {"FileNameDataLabel", "FileNameDataText", "FileNameDataSize"}) {
    Model(shown).SetVisible(true);
  }
  Model("FileNameDataText").SetCaption(longName);
  QCoreApplication::processEvents();
  const QSize minimum = window->minimumSizeHint();
  EXPECT_LE(minimum.width(), 1024);
  EXPECT_LE(minimum.height(), 600);
  // The last box of the automatic steps, shown with the others once a part is chosen.
  const auto& backup = Widget<QCheckBox>("BackupBeforeBurn");
  EXPECT_TRUE(backup.isVisibleTo(window.get()));
  EXPECT_TRUE(backup.isChecked());
  EXPECT_EQ(backup.text(), "Backup Before Erasing or Burning");
}

}  // namespace
}  // namespace sorvell::gui::testing
