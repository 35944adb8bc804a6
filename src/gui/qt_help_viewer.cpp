#include "gui/qt_help_viewer.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "gui/text.h"

namespace sorvell::gui {

namespace {

constexpr const char* kHelpFile = "sorvell.qch";
constexpr int kReportWidth = 720;
constexpr int kReportHeight = 480;

}  // namespace

ReportDialog::ReportDialog(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("ReportDialog"));
  setWindowTitle(title);
  resize(kReportWidth, kReportHeight);
  auto* view = new QPlainTextEdit(text, this);
  view->setObjectName(QStringLiteral("ReportText"));
  view->setReadOnly(true);
  view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  QPushButton* copy = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
  copy->setObjectName(QStringLiteral("CopyButton"));
  connect(copy, &QPushButton::clicked, this,
          [text] { QGuiApplication::clipboard()->setText(text); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view, 1);
  layout->addWidget(buttons);
}

QString QtHelpViewer::DefaultCacheFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/help");
}

std::optional<std::string> QtHelpViewer::ShowManual(const std::filesystem::path& index,
                                                    panel::HelpTopic topic) {
  const QString helpFile = ToQt((index.parent_path() / kHelpFile).string());
  if (!QFileInfo(helpFile).isFile()) {
    return "The manual's help file " + helpFile.toStdString() +
           " is missing. Its pages can be read in a web browser: " + index.string();
  }
  if (window_.isNull()) {
    // A top-level window beside the main one, which takes it along when it goes.
    window_ = new HelpWindow(cacheFolder_, parent_);
    window_->setAttribute(Qt::WA_DeleteOnClose);
    if (const auto error = window_->Load(helpFile)) {
      delete window_.data();
      return error->toStdString();
    }
  }
  if (topic == panel::HelpTopic::kSearch) {
    window_->ShowSearch();
  } else {
    window_->ShowContents();
  }
  return std::nullopt;
}

void QtHelpViewer::ShowReport(const std::string& title, const std::string& text) {
  ReportDialog dialog(ToQt(title), ToQt(text), parent_);
  dialog.exec();
}

}  // namespace sorvell::gui
