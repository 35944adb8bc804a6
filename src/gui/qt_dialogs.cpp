#include "gui/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "gui/text.h"
#include "panel/window_layouts.h"

namespace sorvell::gui {

namespace {

using panel::Answer;
using panel::MessageButtons;
using panel::MessageIcon;

QString FilterEntry(QString description, QString patterns) {
  patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
  QStringList list = patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (QString& pattern : list) {
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  }
  // The description may already name its patterns in parentheses; Qt reads the last ones.
  const auto open = description.lastIndexOf(QLatin1Char('('));
  if (open > 0 && description.endsWith(QLatin1Char(')'))) description.truncate(open);
  return description.trimmed() + QStringLiteral(" (") + list.join(QLatin1Char(' ')) +
         QLatin1Char(')');
}

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kCritical:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::kOkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::kYesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::kYesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::kOk:
      break;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButton ButtonOf(Answer answer) {
  switch (answer) {
    case Answer::kCancel:
      return QMessageBox::Cancel;
    case Answer::kYes:
      return QMessageBox::Yes;
    case Answer::kNo:
      return QMessageBox::No;
    case Answer::kOk:
      break;
  }
  return QMessageBox::Ok;
}

// A box closed without a button answers as its escape button would.
Answer AnswerOf(int button, MessageButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      break;
  }
  if (buttons == MessageButtons::kYesNo) return Answer::kNo;
  return buttons == MessageButtons::kOk ? Answer::kOk : Answer::kCancel;
}

}  // namespace

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    entries << FilterEntry(parts[i], parts[i + 1]);
  }
  return entries.join(QStringLiteral(";;"));
}

// Boxes without a title carry the application's, as the window system gives them.
QString QtDialogs::Title(const std::string& title) const {
  return ToQt(title.empty() ? panel::kApplicationTitle : title);
}

Answer QtDialogs::Message(const panel::MessageRequest& request) {
  // A job's programming question: the operator consented when starting the job.
  if (consentToNextQuestion_ && request.icon == panel::MessageIcon::kQuestion) {
    consentToNextQuestion_ = false;
    const bool yes = request.buttons == panel::MessageButtons::kYesNo ||
                     request.buttons == panel::MessageButtons::kYesNoCancel;
    return yes ? Answer::kYes : Answer::kOk;
  }
  QMessageBox box(IconOf(request.icon), Title(request.title), ToQtLines(request.text),
                  ButtonsOf(request.buttons), parent_);
  if (!request.details.empty()) box.setInformativeText(ToQtLines(request.details));
  const auto defaultButton = ButtonOf(request.defaultAnswer);
  if (box.button(defaultButton) != nullptr) box.setDefaultButton(defaultButton);
  return AnswerOf(box.exec(), request.buttons);
}

std::optional<std::string> QtDialogs::Input(const std::string& prompt, const std::string& title,
                                            const std::string& initial) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, Title(title), ToQtLines(prompt),
                                             QLineEdit::Normal, ToQt(initial), &ok);
  if (!ok) return std::nullopt;
  return ToStd(text);
}

std::optional<std::filesystem::path> QtDialogs::File(const panel::FileRequest& request) {
  const QString title = Title(request.title);
  const QString filter = QtFileFilter(request.filter);
  std::filesystem::path initialPath = request.initialName;
  if (initialPath.is_relative() && !startFolder_.empty()) initialPath = startFolder_ / initialPath;
  const QString initial = QString::fromStdString(initialPath.string());
  const QString chosen = request.save
                             ? QFileDialog::getSaveFileName(parent_, title, initial, filter)
                             : QFileDialog::getOpenFileName(parent_, title, initial, filter);
  if (chosen.isEmpty()) return std::nullopt;
  return std::filesystem::path(chosen.toStdString());
}

}  // namespace sorvell::gui
