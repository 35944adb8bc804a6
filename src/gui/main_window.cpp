#include "gui/main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cmath>
#include <filesystem>
#include <optional>

#include "gui/form_view.h"
#include "gui/job_dialog.h"
#include "gui/menu_keys.h"
#include "gui/text.h"
#include "shell/stop_signals.h"

namespace sorvell::gui {

namespace {

// The model keeps window coordinates in twips; a 96 dpi pixel is 15 of them.
constexpr float kTwipsPerPixel = 15;

int Pixels(float twips) {
  return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
float Twips(int pixels) {
  return static_cast<float>(pixels) * kTwipsPerPixel;
}

FormEvents EventsOf(shell::MainForm& model) {
  return {[&model](std::string_view name) { return model.Click(name); },
          [&model](std::string_view name) { return model.DblClick(name); },
          [&model](std::string_view name, int value) { return model.SetValue(name, value); },
          [&model](std::string_view name, std::string text) {
            return model.SetText(name, std::move(text));
          }};
}

// The one local regular file a drop carries, else nothing.
std::optional<std::filesystem::path> DroppedFile(const QMimeData* data) {
  if (data == nullptr || data->urls().size() != 1) return std::nullopt;
  const QUrl url = data->urls().front();
  if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile()) return std::nullopt;
  return std::filesystem::path(ToStd(url.toLocalFile()));
}

}  // namespace

MainWindow::MainWindow(shell::MainForm& model, const std::string& boardAccess)
    : model_(model), view_(new FormView(model.frmMain, *this, EventsOf(model))) {
  setWindowTitle(ToQt(model.frmMain.Caption()));
  setAcceptDrops(true);
  LayOut();
  ArrangeFileMenu();
  AddMenuKeys(*view_);
  ShowBoardAccess(boardAccess);
  WireRunControl();
}

void MainWindow::ShowJobDialog(panel::Dialogs& dialogs,
                               std::function<void(bool)> consentToNextQuestion) {
  if (jobDialog_ == nullptr) {
    jobDialog_ = new JobDialog(model_, dialogs, std::move(consentToNextQuestion), this);
    jobDialog_->afterPart = [this] { AfterOperatorEvent(); };
  }
  jobDialog_->show();
  jobDialog_->raise();
}

MainWindow::~MainWindow() {
  model_.panel.SetRunControl(nullptr);
}

// How often the window looks for a stop signal while no operation runs.
constexpr int kSignalPollMs = 200;

void MainWindow::WireRunControl() {
  runControl_ = std::make_unique<WindowRunControl>(*view_, *statusBar());
  model_.panel.SetRunControl(runControl_.get());
  view_->afterEvent = [this] { AfterOperatorEvent(); };
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] { StopOperation(); });
  auto* signalPoll = new QTimer(this);
  connect(signalPoll, &QTimer::timeout, this, [this] {
    if (shell::StopSignalReceived() != 0 && !model_.OperationRunning()) close();
  });
  signalPoll->start(kSignalPollMs);
}

void MainWindow::StopOperation() {
  if (model_.OperationRunning()) model_.Stop_button_Click();
}

// An event handled while the operation breathed is not the end of the run.
void MainWindow::AfterOperatorEvent() {
  if (model_.OperationRunning()) return;
  FollowModel();
  runControl_->Finish();
  if (closeAfterRun_ || shell::StopSignalReceived() != 0) {
    closeAfterRun_ = false;
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

// Exit stays the last entry of the File menu, below the recent files that follow it in the model.
void MainWindow::ArrangeFileMenu() {
  QMenu* file = view_->Menu("mnuFile");
  QAction* exit = view_->Action("mnuFileExit");
  if (file == nullptr || exit == nullptr) return;
  file->removeAction(exit);
  file->addAction(exit);
}

// The backend line can be long (it says why no real port could be opened): the status bar shows
// the start of it, the tool tip all of it.
void MainWindow::ShowBoardAccess(const std::string& boardAccess) {
  const QString text = QStringLiteral("Board access: ") + ToQt(boardAccess);
  auto* label = new QLabel(statusBar());
  label->setObjectName(QStringLiteral("boardAccess"));
  label->setToolTip(text);
  label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, 480));
  statusBar()->addPermanentWidget(label);
}

// Until a window is first shown, its layouts keep the sizes their controls had when they were laid
// out, although start-up has since changed captions; the window's minimum must count the new ones.
void MainWindow::RefreshSizeHints() {
  for (QLayout* layout : findChildren<QLayout*>()) layout->invalidate();
  for (QWidget* widget : findChildren<QWidget*>()) widget->updateGeometry();
}

void MainWindow::ApplyPlacement() {
  shell::WindowPlacement& placement = model_.placement;
  ensurePolished();
  RefreshSizeHints();
  const QSize stored(Pixels(placement.width), Pixels(placement.height));
  const QSize size = stored.expandedTo(minimumSizeHint());
  if (size != stored) {
    placement.width = Twips(size.width());
    placement.height = Twips(size.height());
  }
  resize(size);
  move(Pixels(placement.left), Pixels(placement.top));
}

void MainWindow::StorePlacement() {
  shell::WindowPlacement& placement = model_.placement;
  placement.minimised = isMinimized();
  placement.left = Twips(pos().x());
  placement.top = Twips(pos().y());
  placement.width = Twips(width());
  placement.height = Twips(height());
}

// Closing during a run asks first; on Yes the run stops at its next safe point and the window
// closes once the board is idle, on No the run goes on. File > Exit is the model closing its own
// window, not a close during a run.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (model_.OperationRunning() && model_.panel.Breathing()) {
    if (!closeAfterRun_ && model_.AskToStopAndClose()) closeAfterRun_ = true;
    event->ignore();
    return;
  }
  if (!unloaded_) {
    unloaded_ = true;
    StorePlacement();
    model_.Form_Unload();
  }
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!model_.OperationRunning() && DroppedFile(event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const auto file = DroppedFile(event->mimeData());
  if (!file || model_.OperationRunning()) return;
  event->acceptProposedAction();
  model_.OpenCode(*file);
  AfterOperatorEvent();
}

}  // namespace sorvell::gui
