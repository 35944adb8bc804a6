#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "panel/edges.h"
#include "production/job_run.h"
#include "shell/main_form.h"

class QLabel;
class QPushButton;

namespace sorvell::gui {

// Tools > Job...: load a job, burn its parts one at a time, stop. The job run in the core does
// the work; the dialog shows its counts and the last part.
class JobDialog final : public QDialog, private production::JobAnswers {
 public:
  // `consentToNextQuestion` answers (true) or stops answering (false) the next question box
  // on the operator's behalf: the programming question of a part of the job.
  JobDialog(shell::MainForm& model, panel::Dialogs& dialogs,
            std::function<void(bool)> consentToNextQuestion, QWidget* parent);
  ~JobDialog() override;
  // After each part, as after any operator event: the main window follows the model.
  std::function<void()> afterPart;

 private:
  void ConsentToNextBurn() override { consent_(true); }
  void LoadJob();
  void NextPart();
  void Stop();
  void Warn(const std::string& title, const std::string& text);
  void EndJob();
  void Show();

  shell::MainForm& model_;
  panel::Dialogs& dialogs_;
  std::function<void(bool)> consent_;
  std::unique_ptr<production::JobRun> run_;
  QLabel* job_;
  QLabel* counts_;
  QLabel* last_;
  QPushButton* load_;
  QPushButton* next_;
  QPushButton* stop_;
  bool partRunning_ = false;
};

}  // namespace sorvell::gui
