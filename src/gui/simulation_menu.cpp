#include "gui/simulation_menu.h"

#include <QMenu>
#include <QMenuBar>

#include "shell/main_form.h"
#include "shell/simulator_commands.h"
#include "sim/eprom_parts.h"
#include "sim/sim_port.h"
#include "sim/writable_parts.h"

namespace sorvell::gui {

namespace {

constexpr const char* kTitle = "Simulation";

}  // namespace

SimulationMenu::SimulationMenu(QMenuBar& bar, sim::SimulatedPort& simulator, shell::MainForm& model,
                               panel::Dialogs& dialogs)
    : QObject(&bar), simulator_(simulator), model_(model), dialogs_(dialogs) {
  QMenu* menu = bar.addMenu("Si&mulation");
  menu->setObjectName("mnuSimulation");
  AddPartMenus(*menu);
  menu->addSeparator();
  Add(*menu, "simRemove", "&Remove Part", [this] { Run("remove"); });
  Add(*menu, "simErase", "UV &Erase Part", [this] { Run("erase"); });
  Add(*menu, "simSave", "&Save Part Contents...", [this] {
    if (auto file = dialogs_.File({true, "Save Part Contents", "All Files (*.*)|*.*", ""})) {
      Run("save " + file->string());
    }
  });
  menu->addSeparator();
  AddFaultActions(*menu);
}

QAction& SimulationMenu::Add(QMenu& menu, const QString& name, const QString& caption,
                             std::function<void()> action) {
  QAction* item = menu.addAction(caption);
  item->setObjectName(name);
  QObject::connect(item, &QAction::triggered, this, std::move(action));
  return *item;
}

void SimulationMenu::AddPartMenus(QMenu& menu) {
  QMenu* erased = menu.addMenu("&Insert Erased Part");
  QMenu* holding = menu.addMenu("Insert Part &Holding an Image");
  for (const std::string& part : sim::SocketPartNames()) {
    const QString name = QString::fromStdString(part);
    Add(*erased, "simInsert" + name, name, [this, part] { Run("insert " + part); });
    Add(*holding, "simInsertImage" + name, name, [this, part] {
      if (auto file = dialogs_.File({false, "Image for the " + part, "All Files (*.*)|*.*", ""})) {
        Run("insert " + part + " " + file->string());
      }
    });
  }
  Add(menu, "simInsertRom", "Insert Read-Only &ROM...", [this] {
    if (auto file = dialogs_.File({false, "ROM Image", "All Files (*.*)|*.*", ""})) {
      Run("insert rom " + file->string());
    }
  });
}

void SimulationMenu::AddFaultActions(QMenu& menu) {
  Add(menu, "simSlow", "Make Cells &Slow...", [this] {
    AskAndRun("Cell address in hex (or all) and how many times the usual pulse time it needs:",
              "fault slow");
  });
  Add(menu, "simStuck", "Stic&k Bits...", [this] {
    AskAndRun("Cell address, bit mask and the value the bits are stuck at, in hex:", "fault stuck");
  });
  Add(menu, "simForeignId", "Foreign Flash &ID...", [this] {
    AskAndRun("Maker and device code the Flash part answers with, in hex:", "fault id");
  });
  Add(menu, "simDataLine", "&Data Line Held or Open...",
      [this] { AskAndRun("Data line (0 to 7) and low, high or open:", "fault data-line"); });
  Add(menu, "simAddressLine", "Add&ress Line Open or Shorted...", [this] {
    AskAndRun("Address line (0 to 19) and open, or short (with the line above it):",
              "fault address-line");
  });
  Add(menu, "simContact", "&Loose Contact...", [this] {
    AskAndRun("Data line (0 to 7), how often it fails in percent, and a seed:", "fault contact");
  });
  Add(menu, "simContactsGood", "Contacts &Good Again", [this] { Run("fault contacts-good"); });
  Add(menu, "simEraseHangs", "Flash Erase &Never Ends", [this] { Run("fault erase-hangs"); });
  Add(menu, "simNoAck", "Serial Part Never &Answers", [this] { Run("fault no-ack"); });
  Add(menu, "simBusy", "Serial Part Stays &Busy", [this] { Run("fault busy"); });
  Add(menu, "simPortFails", "&Port Fails After...", [this] {
    AskAndRun("Port accesses that still go through before the port fails:",
              "fault port-fails-after");
  });
  Add(menu, "simBoardOff", "Board Loses Power or &Cable After...", [this] {
    AskAndRun("Port accesses the board still takes before it goes silent:",
              "fault board-off-after");
  });
  Add(menu, "simReconnect", "Reconnec&t Port and Board", [this] { Run("reconnect"); });
  Add(menu, "simProtectOn", "Write &Protection On", [this] { Run("protect on"); });
  Add(menu, "simProtectOff", "Write Protection O&ff", [this] { Run("protect off"); });
  QMenu* vpp = menu.addMenu("Model &4 Board VPP");
  for (const char* volts : {"12.5", "21", "25"}) {
    Add(*vpp, QString("simVpp4_") + volts, QString(volts) + " V",
        [this, volts] { Run(std::string("vpp4 ") + volts); });
  }
}

void SimulationMenu::AskAndRun(const char* prompt, const std::string& verb) {
  if (auto answer = dialogs_.Input(prompt, kTitle, "")) Run(verb + " " + *answer);
}

bool SimulationMenu::Run(const std::string& command) {
  sim::SimBoard* board = simulator_.BoardAt(model_.board.DataPort);
  for (const std::uint16_t base : {board::kLpt378, board::kLpt278, board::kLpt3BC}) {
    if (board == nullptr) board = simulator_.BoardAt(base);
  }
  std::string error = "no simulated board is placed";
  if (board != nullptr && shell::RunSimCommand(simulator_, *board, command, error)) return true;
  dialogs_.Message({error, kTitle, panel::MessageButtons::kOk, panel::MessageIcon::kExclamation,
                    panel::Answer::kOk});
  return false;
}

}  // namespace sorvell::gui
