#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "panel/edges.h"
#include "panel/form.h"

namespace sorvell::panel::testing {

class FakeDialogs final : public Dialogs {
 public:
  Answer Message(const MessageRequest& request) override {
    messages.push_back(request);
    if (answers.empty()) return request.defaultAnswer;
    const Answer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::optional<std::string> Input(const std::string& prompt, const std::string& title,
                                   const std::string&) override {
    inputBoxes.push_back(title + ": " + prompt);
    if (inputs.empty()) return std::nullopt;  // cancelled
    auto input = inputs.front();
    inputs.erase(inputs.begin());
    return input;
  }
  std::optional<std::filesystem::path> File(const FileRequest& request) override {
    fileRequests.push_back(request);
    if (files.empty()) return std::nullopt;
    auto file = files.front();
    files.erase(files.begin());
    return file;
  }
  std::vector<MessageRequest> messages;
  std::vector<Answer> answers;  // for the next message boxes, else their default
  std::vector<FileRequest> fileRequests;
  std::vector<std::filesystem::path> files;        // answers to the next file dialogs
  std::vector<std::string> inputBoxes;             // "title: prompt" of each input box shown
  std::vector<std::optional<std::string>> inputs;  // answers to the next input boxes
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

}  // namespace sorvell::panel::testing
