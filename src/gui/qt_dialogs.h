#pragma once

#include <QPointer>
#include <QString>
#include <string_view>

#include "panel/edges.h"

#include <QWidget>

namespace sorvell::gui {

// A file dialog filter as the model writes it, description and pattern pairs split by '|'
// ("Binary Files (*.bin)|*.bin|All Files (*.*)|*.*"), in Qt's form ("Binary Files (*.bin);;All
// Files (*)"). Each pattern list (';'-separated) becomes the description's parenthesis, and *.*
// becomes *, which on Linux also matches names without a dot.
QString QtFileFilter(std::string_view filter);

// Message boxes, input boxes and file dialogs over the main window.
class QtDialogs final : public panel::Dialogs {
 public:
  void SetParentWindow(QWidget* window) { parent_ = window; }
  // Where file dialogs open when the model names a file without a folder: the working folder,
  // which need not be the folder the program was started in.
  void SetStartFolder(std::filesystem::path folder) { startFolder_ = std::move(folder); }

  // The next question box is answered Yes (OK) without showing it: a job's programming
  // question, which starting the job answered. Off again once a question took it, or by false.
  void ConsentToNextQuestion(bool consent) { consentToNextQuestion_ = consent; }

  panel::Answer Message(const panel::MessageRequest& request) override;
  std::optional<std::string> Input(const std::string& prompt, const std::string& title,
                                   const std::string& initial) override;
  std::optional<std::filesystem::path> File(const panel::FileRequest& request) override;

 private:
  QString Title(const std::string& title) const;

  QPointer<QWidget> parent_;
  std::filesystem::path startFolder_;
  bool consentToNextQuestion_ = false;
};

}  // namespace sorvell::gui
