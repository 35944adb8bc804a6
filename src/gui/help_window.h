#pragma once

#include <QString>
#include <QTextBrowser>
#include <QWidget>
#include <optional>

class QHelpEngine;
class QTabWidget;

namespace sorvell::gui {

// Shows pages of the compiled manual: they live inside the help file, under qthelp:// names.
// A picture wider than the page is scaled down to the page's width.
class HelpBrowser final : public QTextBrowser {
 public:
  HelpBrowser(QHelpEngine& engine, QWidget* parent);
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  QVariant FittedImage(const QByteArray& file) const;

  QHelpEngine& engine_;
};

// The program's help window: the manual's contents and its full-text search beside the page
// shown. Qt Help does the work: the manual is compiled into a help file (.qch) by the build and
// registered here in a collection of the window's own, kept with its search index in a folder
// that can be written (an installed manual's folder usually cannot).
class HelpWindow final : public QWidget {
 public:
  HelpWindow(const QString& cacheFolder, QWidget* parent);
  // Stops a search index still being built: the engine going with the window waits for its
  // indexer thread, which must not be left working on a collection about to go.
  ~HelpWindow() override;
  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  // Registers the help file; why it cannot be used otherwise.
  std::optional<QString> Load(const QString& helpFile);
  void ShowContents();
  void ShowSearch();
  // Runs a search as if typed into the search box.
  void Search(const QString& words);

  // True from loading until the search index is built.
  bool Indexing() const { return indexing_; }
  QHelpEngine& Engine() const { return *engine_; }
  HelpBrowser& Browser() const { return *browser_; }

 private:
  void LayOut();
  void Open(const QUrl& page);
  void FollowLink(const QUrl& link);
  void OpenContentsEntry(const QModelIndex& entry);
  void ShowOnScreen();
  QUrl HomePage() const;

  QHelpEngine* engine_;
  HelpBrowser* browser_;
  QTabWidget* tabs_;
  QWidget* searchTab_;
  QString namespace_;
  bool indexing_ = false;
  bool placed_ = false;
};

}  // namespace sorvell::gui
