#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include "gui/help_window.h"
#include "panel/edges.h"

class QPlainTextEdit;

namespace sorvell::gui {

// A report the operator reads and copies: a read-only text and a Copy button.
class ReportDialog final : public QDialog {
 public:
  ReportDialog(const QString& title, const QString& text, QWidget* parent);
};

// The manual in the program's help window, which is made on first use and kept; reports in a
// ReportDialog. The manual's help file (sorvell.qch) sits beside its first page.
class QtHelpViewer final : public panel::HelpViewer {
 public:
  // `cacheFolder`: where the help window keeps its collection and search index.
  explicit QtHelpViewer(QString cacheFolder) : cacheFolder_(std::move(cacheFolder)) {}
  // The help window goes with the viewer that made it, whether or not it was closed: a closed
  // window is only deleted later, and its indexer must not outlive the cache folder.
  ~QtHelpViewer() override { delete window_.data(); }
  QtHelpViewer(const QtHelpViewer&) = delete;
  QtHelpViewer& operator=(const QtHelpViewer&) = delete;
  void SetParentWindow(QWidget* window) { parent_ = window; }

  std::optional<std::string> ShowManual(const std::filesystem::path& index,
                                        panel::HelpTopic topic) override;
  void ShowReport(const std::string& title, const std::string& text) override;

  // The help window once opened, else null.
  HelpWindow* Window() const { return window_.data(); }

  // Where the help window keeps its files when nothing else is said: the user's cache folder.
  static QString DefaultCacheFolder();

 private:
  QString cacheFolder_;
  QPointer<QWidget> parent_;
  QPointer<HelpWindow> window_;
};

}  // namespace sorvell::gui
