#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "board/recording_port.h"
#include "shell/main_form.h"
#include "sim/virtual_clock.h"
#include "sim/virtual_timing.h"

namespace sorvell::shell::testing {

class FakeDialogs final : public Dialogs {
 public:
  Answer Message(const MessageRequest& request) override {
    messages.push_back(request);
    return request.defaultAnswer;
  }
  std::optional<std::string> Input(const std::string&, const std::string&,
                                   const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::filesystem::path> File(const FileRequest&) override { return std::nullopt; }
  std::vector<MessageRequest> messages;
};

class FakeWindows final : public WindowHost {
 public:
  void ShowWindow(Form& form, bool) override { shown.push_back(form.Name()); }
  void CloseOtherWindows() override { ++othersClosed; }
  void CloseMainWindow() override { ++mainClosed; }
  std::vector<std::string> shown;
  int othersClosed = 0;
  int mainClosed = 0;
};

class RecordingSounds final : public SoundPlayer {
 public:
  void Play(const std::filesystem::path& file) override {
    played.push_back(file.filename().string());
    if (onPlay) onPlay();
  }
  std::vector<std::string> played;
  std::function<void()> onPlay;
};

class FakeSettings final : public SettingsStore {
 public:
  std::optional<std::string> Get(const std::string& section, const std::string& key) override {
    const auto it = values.find(section + "/" + key);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void Set(const std::string& section, const std::string& key, const std::string& value) override {
    values[section + "/" + key] = value;
  }
  std::map<std::string, std::string> values;
};

class FixedClock final : public WallClock {
 public:
  LocalTime Now() override { return now; }
  LocalTime now{2026, 12, 8, 10, 58, 39};
};

// A main window on a recording port, with a scratch working folder.
struct ShellRig {
  ShellRig()
      : folder(std::filesystem::temp_directory_path() /
               ("sorvell-shell-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
    std::filesystem::create_directories(folder);
    form = std::make_unique<MainForm>(Edges{port, timing, dialogs, windows, sounds, settings, clock,
                                            Folders{folder / "prog", folder / "config", folder}});
  }
  ~ShellRig() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  board::RecordingPort port;
  sim::VirtualClock virtualClock;
  sim::VirtualTiming timing{virtualClock};
  FakeDialogs dialogs;
  FakeWindows windows;
  RecordingSounds sounds;
  FakeSettings settings;
  FixedClock clock;
  std::unique_ptr<MainForm> form;
};

}  // namespace sorvell::shell::testing
