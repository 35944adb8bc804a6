// sorvell: the operator window.
#include <QApplication>
#include <QStyle>
#include <QTimer>
#include <cstdio>

#include "common/program_version.h"
#include "gui/command_line.h"
#include "gui/icons.h"
#include "gui/main_window.h"
#include "gui/qt_dialogs.h"
#include "gui/qt_help_viewer.h"
#include "gui/qt_settings_store.h"
#include "gui/qt_sound_player.h"
#include "gui/qt_window_host.h"
#include "gui/simulation_menu.h"
#include "panel/window_layouts.h"
#include "shell/stop_signals.h"
#include "shell/system_edges.h"

namespace {

using namespace sorvell;

// The one-second timer of the start: it runs once, after the window is up.
constexpr int kStartTimerMs = 1000;

bool SaveScreenshot(QWidget& window, const std::filesystem::path& file) {
  const bool saved = window.grab().save(QString::fromStdString(file.string()));
  if (!saved) std::fprintf(stderr, "sorvell: cannot write %s\n", file.c_str());
  return saved;
}

int RunWindow(QApplication& app, shell::PortBackend& backend, const gui::CommandLine& line,
              const panel::Folders& folders) {
  gui::QtDialogs dialogs;
  gui::QtWindowHost windows;
  gui::QtSoundPlayer sounds;
  gui::QtSettingsStore settings;
  gui::QtHelpViewer help(gui::QtHelpViewer::DefaultCacheFolder());
  shell::SystemWallClock clock;
  shell::SystemCheck check;
  check.toolkitVersion = qVersion();
  check.backend = shell::BackendInUse(line.board, backend);
  shell::MainForm model(shell::Edges{*backend.port, *backend.timing, dialogs, windows, sounds,
                                     settings, clock, folders, &help, check, backend.accessNs});
  gui::MainWindow window(model, backend.description);
  dialogs.SetParentWindow(&window);
  dialogs.SetStartFolder(folders.workingFolder);
  help.SetParentWindow(&window);
  windows.SetMainWindow(&window);
  model.showJobDialog = [&window, &dialogs] {
    window.ShowJobDialog(dialogs,
                         [&dialogs](bool consent) { dialogs.ConsentToNextQuestion(consent); });
  };
  windows.SetClickHandler([&model](std::string_view name) { return model.ClickAbout(name); });
  if (backend.simulator != nullptr) {
    new gui::SimulationMenu(*window.menuBar(), *backend.simulator, model, dialogs);
  }

  model.Form_Load();
  window.ApplyPlacement();
  window.show();
  if (line.screenshot) {
    // Leaves without closing the window, so a picture run does not overwrite stored settings.
    int status = 1;
    QTimer::singleShot(200, &window, [&] {
      status = SaveScreenshot(window, *line.screenshot) ? 0 : 1;
      app.exit(status);
    });
    app.exec();
    return status;
  }
  QTimer::singleShot(kStartTimerMs, &window, [&model] { model.Timer1_Timer(); });
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  gui::CommandLine line;
  std::string error;
  if (!gui::ParseCommandLine({argv + 1, argv + argc}, line, error)) {
    std::fprintf(stderr, "sorvell: %s\n%s", error.c_str(), gui::kUsage);
    return 2;
  }
  if (line.help) {
    std::fputs(gui::kUsage, stdout);
    return 0;
  }
  if (line.version) {
    std::printf("sorvell %s\n", common::kProgramVersion);
    return 0;
  }
  auto backend = shell::OpenPortBackend(line.board, error);
  if (!backend) {
    std::fprintf(stderr, "sorvell: %s\n", error.c_str());
    return 2;
  }
  shell::InstallStopSignals();
  // Qt sees only the program name: every argument was read above.
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  QApplication::setOrganizationName(panel::kApplicationTitle);
  QApplication::setApplicationName(panel::kApplicationTitle);
  QApplication::setWindowIcon(gui::ApplicationIcon());
  // The desktop entry's name: the desktop matches the window to its menu entry and icon by it.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.sorvell.Sorvell"));
  return RunWindow(app, *backend, line, gui::FoldersFor(line, argv[0]));
}
