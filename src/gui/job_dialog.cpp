#include "gui/job_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/text.h"

namespace sorvell::gui {

JobDialog::JobDialog(shell::MainForm& model, panel::Dialogs& dialogs,
                     std::function<void(bool)> consentToNextQuestion, QWidget* parent)
    : QDialog(parent),
      model_(model),
      dialogs_(dialogs),
      consent_(std::move(consentToNextQuestion)),
      job_(new QLabel(this)),
      counts_(new QLabel(this)),
      last_(new QLabel(this)),
      load_(new QPushButton(tr("&Load Job..."), this)),
      next_(new QPushButton(tr("&Start / Next Part"), this)),
      stop_(new QPushButton(tr("S&top"), this)) {
  setWindowTitle(tr("Job"));
  setObjectName(QStringLiteral("frmJob"));
  job_->setObjectName(QStringLiteral("lblJob"));
  counts_->setObjectName(QStringLiteral("lblJobCounts"));
  last_->setObjectName(QStringLiteral("lblJobLastPart"));
  load_->setObjectName(QStringLiteral("cmdJobLoad"));
  next_->setObjectName(QStringLiteral("cmdJobNext"));
  stop_->setObjectName(QStringLiteral("cmdJobStop"));
  auto* grid = new QGridLayout(this);
  grid->addWidget(job_, 0, 0, 1, 3);
  grid->addWidget(counts_, 1, 0, 1, 3);
  grid->addWidget(last_, 2, 0, 1, 3);
  grid->addWidget(load_, 3, 0);
  grid->addWidget(next_, 3, 1);
  grid->addWidget(stop_, 3, 2);
  connect(load_, &QPushButton::clicked, this, [this] { LoadJob(); });
  connect(next_, &QPushButton::clicked, this, [this] { NextPart(); });
  connect(stop_, &QPushButton::clicked, this, [this] { Stop(); });
  Show();
}

JobDialog::~JobDialog() {
  if (run_) run_->Finish();
}

void JobDialog::LoadJob() {
  if (model_.OperationRunning()) return;
  const std::optional<std::filesystem::path> file =
      dialogs_.File({false, "Load Job", "Job Files (*.toml)|*.toml|All Files (*.*)|*.*", ""});
  if (!file) return;
  // A file that is refused leaves the job that was loaded as it was.
  const production::JobFile read = production::ReadJobFile(*file);
  if (!read.job) {
    Warn("Job Not Loaded", read.error);
    return;
  }
  EndJob();
  production::JobAnswers& answers = *this;
  run_ = std::make_unique<production::JobRun>(model_, *read.job, answers);
  const std::string error = run_->Start();
  if (afterPart) afterPart();
  if (!error.empty()) {
    run_.reset();
    Warn("Job Not Started", "Nothing was burned: " + error);
  }
  Show();
}

void JobDialog::NextPart() {
  if (!run_ || run_->Ended() || model_.OperationRunning()) return;
  partRunning_ = true;
  Show();
  run_->RunPart();
  partRunning_ = false;
  consent_(false);
  if (afterPart) afterPart();
  Show();
}

// During a part the Stop ends it at its next safe point; the job ends after it.
void JobDialog::Stop() {
  if (!run_) return;
  run_->Stop();
  Show();
}

void JobDialog::Warn(const std::string& title, const std::string& text) {
  dialogs_.Message({text, title, panel::MessageButtons::kOk, panel::MessageIcon::kExclamation});
}

void JobDialog::EndJob() {
  if (run_) run_->Finish();
  run_.reset();
}

void JobDialog::Show() {
  const bool running = run_ && !run_->Ended();
  job_->setText(run_ ? ToQt("Job " + run_->job().name + (running ? "" : ": " + run_->EndReason()))
                     : tr("No job loaded"));
  if (run_) {
    const production::JobCounts counts = run_->Counts();
    counts_->setText(
        tr("Done %1, failed %2, left %3").arg(counts.done).arg(counts.failed).arg(counts.left));
  } else {
    counts_->clear();
  }
  const std::optional<production::PartResult> last = run_ ? run_->LastPart() : std::nullopt;
  last_->setText(last ? ToQt("Part " + std::to_string(last->part) +
                             (last->serial.empty() ? "" : ", serial " + last->serial) + ": " +
                             last->outcome.Text())
                      : QString());
  // The dialog opens from a menu event, so the window's own run flag is up then: only a part of
  // the job keeps these buttons off.
  load_->setEnabled(!partRunning_);
  next_->setEnabled(running && !partRunning_);
  next_->setText(run_ && run_->NextPart() > 1 ? tr("&Next Part") : tr("&Start"));
  stop_->setEnabled(running);
}

}  // namespace sorvell::gui
