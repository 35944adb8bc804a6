#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "gui/qt_dialogs.h"
#include "production/job_run.h"
#include "shell/main_form.h"

class QLabel;
class QPushButton;

namespace sorvell::gui {

// Tools > Job...: load a job, burn its parts one at a time, stop. The job run in the core does
// the work; the dialog shows its counts and the last part.
class JobDialog final : public QDialog, private production::JobAnswers {
 public:
  JobDialog(shell::MainForm& model, QtDialogs& dialogs, QWidget* parent);
  ~JobDialog() override;
  // After each part, as after any operator event: the main window follows the model.
  std::function<void()> afterPart;

 private:
  void ConsentToNextBurn() override { dialogs_.ConsentToNextQuestion(true); }
  void LoadJob();
  void NextPart();
  void Stop();
  void EndJob();
  void Show();

  shell::MainForm& model_;
  QtDialogs& dialogs_;
  std::unique_ptr<production::JobRun> run_;
  QLabel* job_;
  QLabel* counts_;
  QLabel* last_;
  QPushButton* load_;
  QPushButton* next_;
  QPushButton* stop_;
};

}  // namespace sorvell::gui
