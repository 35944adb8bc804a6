#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "panel/edges.h"

class QAction;
class QMenu;
class QMenuBar;

namespace sorvell::sim {
class SimulatedPort;
}  // namespace sorvell::sim

namespace sorvell::shell {
class MainForm;
}  // namespace sorvell::shell

namespace sorvell::gui {

// The Simulation menu, present only on the simulated board: what an operator with a real board
// does with the chip in the socket (insert, remove, UV erase) and what can go wrong with it
// (slow or stuck cells), so everything can be tried without hardware.
class SimulationMenu final : public QObject {
 public:
  SimulationMenu(QMenuBar& bar, sim::SimulatedPort& simulator, shell::MainForm& model,
                 panel::Dialogs& dialogs);

  // Runs one simulator command on the board in use; a refused one is shown in a message box.
  bool Run(const std::string& command);

 private:
  void AddPartMenus(QMenu& menu);
  void AddFaultActions(QMenu& menu);
  void AskAndRun(const char* prompt, const std::string& verb);
  QAction& Add(QMenu& menu, const QString& name, const QString& caption,
               std::function<void()> action);

  sim::SimulatedPort& simulator_;
  shell::MainForm& model_;
  panel::Dialogs& dialogs_;
};

}  // namespace sorvell::gui
