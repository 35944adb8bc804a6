#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "gui/run_control.h"
#include "shell/main_form.h"

class QLayout;
class QSplitter;
class QStackedWidget;

namespace sorvell::gui {

class FormView;
class ImageView;
class JobDialog;

// The main window: every control of frmMain rendered by a FormView and laid out for today's
// screens, with the model's menus, toolbar and status bar. Closing it (also from File > Exit)
// records where it was and runs the model's shutdown.
class MainWindow final : public QMainWindow {
 public:
  // `boardAccess` says which port backend the program runs on; the status bar shows it.
  MainWindow(shell::MainForm& model, const std::string& boardAccess);
  ~MainWindow() override;

  FormView& View() const { return *view_; }
  WindowRunControl& RunControl() { return *runControl_; }

  // After Form_Load: takes the stored position and size, and raises a size below what the
  // controls need to the window's minimum, writing the raised size back to the model.
  void ApplyPlacement();
  // Tools > Job...: the Job dialog, shown beside the window; its questions go through `dialogs`.
  void ShowJobDialog(panel::Dialogs& dialogs, std::function<void(bool)> consentToNextQuestion);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // A file dropped on the window opens as the code file.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void LayOut();
  void ArrangeFileMenu();
  QLayout* PortRow() const;
  QLayout* OperationRow() const;
  QLayout* ButtonGrid() const;
  QLayout* SpeedRow() const;
  QLayout* OptionColumn() const;
  QLayout* LampGrid() const;
  QLayout* FileNameGrid() const;
  QSplitter* Displays();
  QWidget* DumpPages();
  QWidget& Control(const char* name) const;
  void ShowBoardAccess(const std::string& boardAccess);
  void RefreshSizeHints();
  void StorePlacement();
  void WireRunControl();
  void AfterOperatorEvent();
  // The title, and the dump as the whole image's view or as the model's text.
  void FollowModel();
  void StopOperation();

  shell::MainForm& model_;
  FormView* view_;
  std::unique_ptr<WindowRunControl> runControl_;
  QStackedWidget* dumpPages_ = nullptr;
  QWidget* dumpText_ = nullptr;
  ImageView* imageView_ = nullptr;
  JobDialog* jobDialog_ = nullptr;
  bool unloaded_ = false;
  bool closeAfterRun_ = false;
};

}  // namespace sorvell::gui
