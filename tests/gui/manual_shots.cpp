// Writes the manual's pictures into a folder: the main window after a read on a simulated
// board, the About box, the system report and the help window. Run on Qt's offscreen platform.
#include <QApplication>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <cstdio>

#include <fstream>
#include "gui/form_dialog.h"
#include "gui/qt_help_viewer.h"
#include "gui_fixture.h"
#include "shell/simulator_commands.h"
#include "sim/sim_port.h"

namespace {

using namespace sorvell;

bool Save(QWidget& widget, const QString& file) {
  const bool saved = widget.grab().save(file);
  std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "cannot write",
               file.toUtf8().constData());
  return saved;
}

// The windows over a simulated model 6 board with a 27C256 holding a short text.
struct Shots : gui::testing::GuiTest {
  void TestBody() override {}

  bool Take(const QString& into, const std::filesystem::path& manual) {
    Start();
    window->resize(1100, 760);
    const std::filesystem::path image = workDir / "firmware.bin";
    std::ofstream(image) << "Sorvell device programmer - boot ROM v2.1 (c) the operator\n";
    std::string error;
    if (!shell::RunSimCommand(*backend.simulator->BoardAt(board::kLpt378),
                              "insert 27C256 " + image.string(), error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
    model->SetValue("Device", 11);
    // Clicked as the operator does, so the window unlocks its controls when the read is done.
    QTest::mouseClick(window->findChild<QPushButton*>("Read_button"), Qt::LeftButton);
    bool ok = Save(*window, into + "/main-window.png");

    model->frmAbout_Load();
    gui::FormDialog about(model->frmAbout, window.get());
    about.show();
    ok = Save(about, into + "/about.png") && ok;

    shell::SystemCheck check;
    check.toolkitVersion = qVersion();
    check.backend = shell::BackendInUse({}, backend);
    const auto report = shell::SystemReportText(check);
    gui::ReportDialog dialog("System Information", gui::ToQt(report.value_or("")), window.get());
    dialog.show();
    ok = Save(dialog, into + "/system-info.png") && ok;

    QTemporaryDir cache;
    gui::QtHelpViewer help(cache.path());
    if (help.ShowManual(manual, panel::HelpTopic::kContents)) return false;
    // The contents tree is built on a thread of the help engine.
    QHelpContentModel* contents = help.Window()->Engine().contentModel();
    QSignalSpy created(contents, &QHelpContentModel::contentsCreated);
    if (contents->rowCount() == 0 && !created.wait(10000)) return false;
    help.Window()->Engine().contentWidget()->expandAll();
    QApplication::processEvents();
    return Save(*help.Window(), into + "/help-window.png") && ok;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: sorvell-manual-shots FOLDER\n", stderr);
    return 2;
  }
  const auto manual = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) /
                      "manual" / "index.html";
  Shots shots;
  return shots.Take(QString::fromLocal8Bit(argv[1]), manual) ? 0 : 1;
}
