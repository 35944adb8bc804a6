#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "gui/main_window.h"
#include "gui/qt_window_host.h"
#include "gui/render.h"
#include "gui/text.h"
#include "shell/main_form.h"
#include "shell/port_backend.h"
#include "sim/eprom_chip.h"
#include "sim/sim_port.h"

namespace sorvell::gui::testing {

// Records every message box and answers it from `answers`, then OK; input boxes and file dialogs
// take the queued inputs and files, then are cancelled.
class ScriptedDialogs final : public panel::Dialogs {
 public:
  panel::Answer Message(const panel::MessageRequest& request) override {
    messages.push_back(request);
    if (answers.empty()) return panel::Answer::kOk;
    const panel::Answer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::optional<std::string> Input(const std::string&, const std::string&,
                                   const std::string&) override {
    if (inputs.empty()) return std::nullopt;
    std::string input = inputs.front();
    inputs.erase(inputs.begin());
    return input;
  }
  std::optional<std::filesystem::path> File(const panel::FileRequest&) override {
    ++fileDialogs;
    if (files.empty()) return std::nullopt;
    std::filesystem::path file = files.front();
    files.erase(files.begin());
    return file;
  }
  std::vector<panel::MessageRequest> messages;
  std::vector<panel::Answer> answers;
  std::vector<std::string> inputs;
  std::vector<std::filesystem::path> files;
  int fileDialogs = 0;
};

class MemorySettings final : public panel::SettingsStore {
 public:
  std::optional<std::string> Get(const std::string& section, const std::string& key) override {
    const auto it = values.find(section + "/" + key);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Set(const std::string& section, const std::string& key, const std::string& value) override {
    values[section + "/" + key] = value;
  }
  std::map<std::string, std::string> values;  // "Section/Key"
};

class RecordedSounds final : public panel::SoundPlayer {
 public:
  void Play(const std::filesystem::path& file) override { played.push_back(file); }
  std::vector<std::filesystem::path> played;
};

class FixedClock final : public panel::WallClock {
 public:
  panel::LocalTime Now() override { return {2024, 5, 6, 12, 34, 56}; }
};

// The caption or text a widget shows, for the kinds of widget that show one.
inline std::optional<QString> ShownCaption(const QWidget& widget) {
  if (auto* frame = qobject_cast<const QGroupBox*>(&widget)) return frame->title();
  if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  if (auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (auto* box = qobject_cast<const QLineEdit*>(&widget)) return box->text();
  if (auto* list = qobject_cast<const QComboBox*>(&widget)) {
    return list->currentIndex() < 0 ? list->placeholderText() : list->currentText();
  }
  if (auto* bar = qobject_cast<const QStatusBar*>(&widget)) {
    return bar->findChild<QLabel*>(kStatusCaptionName)->text();
  }
  return std::nullopt;
}

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
 public:
  explicit PaintCounter(QObject& watched) : QObject(&watched) { watched.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// The main window over a simulated model 6 board at 378h, with faked dialogs, settings, sounds
// and clock, and the real window host. Start() runs the program's start-up sequence.
class GuiTest : public ::testing::Test {
 protected:
  GuiTest() {
    std::string error;
    shell::BoardRequest request;
    EXPECT_TRUE(shell::AddBoardSpec("sim:6@378", request, error));
    backend = std::move(*shell::OpenPortBackend(request, error));
    workDir = folder.path().toStdString();
  }
  ~GuiTest() override {
    window.reset();
    model.reset();
  }

  void Start() {
    model =
        std::make_unique<shell::MainForm>(shell::Edges{*backend.port,
                                                       *backend.timing,
                                                       dialogs,
                                                       windows,
                                                       sounds,
                                                       settings,
                                                       clock,
                                                       panel::Folders{workDir, workDir, workDir},
                                                       nullptr,
                                                       {},
                                                       backend.accessNs});
    window = std::make_unique<MainWindow>(*model, backend.description);
    windows.SetMainWindow(window.get());
    model->Form_Load();
    window->ApplyPlacement();
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  panel::Control& Model(const char* name) { return model->frmMain[name]; }

  // Puts a 27C256 in the simulated socket and chooses it in the list.
  void SelectA27C256() {
    backend.simulator->BoardAt(board::kLpt378)->Insert(sim::MakeEprom("27C256"));
    const auto& items = Model("Device").Items();
    const auto row = std::find_if(items.begin(), items.end(), [](const std::string& item) {
      return item.starts_with("Eprom 27C256");
    });
    ASSERT_NE(row, items.end());
    model->SetValue("Device", static_cast<int>(row - items.begin()));
  }

  template <typename T>
  T& Widget(const char* name) {
    T* widget = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
  }

  std::string LastLogLine() const {
    const std::string& log = model->frmMain["SystemLog"].Caption();
    return log.substr(log.rfind('\n') + 1);
  }

  shell::PortBackend backend;
  ScriptedDialogs dialogs;
  QtWindowHost windows;
  MemorySettings settings;
  RecordedSounds sounds;
  FixedClock clock;
  QTemporaryDir folder;  // the working folder, private to each test (tests run in parallel)
  std::filesystem::path workDir;
  std::unique_ptr<shell::MainForm> model;
  std::unique_ptr<MainWindow> window;
};

}  // namespace sorvell::gui::testing
