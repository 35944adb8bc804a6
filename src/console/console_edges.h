#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>

#include "panel/edges.h"
#include "panel/form.h"

namespace sorvell::console {

// Dialogs answered from the script: each dialog takes the next queued answer, or its default
// button (OK everywhere with --yes), and is printed as "DIALOG [title] text => answer".
class ScriptedDialogs final : public panel::Dialogs {
 public:
  ScriptedDialogs(std::FILE* out, bool yesToAll) : out_(out), yesToAll_(yesToAll) {}

  void Queue(std::string answer) { answers_.push_back(std::move(answer)); }
  // Answers queued for questions that were never asked (a burn refused before its question).
  void ClearAnswers() { answers_.clear(); }
  // Asked for a question box nothing queued answers (not with --yes): the operator at a
  // terminal. None leaves the box's default button.
  std::function<std::optional<panel::Answer>(const panel::MessageRequest&)> ask;
  // Questions the script itself answered Cancel or No (a queued answer, not a default): what
  // it asked for, which does not stop it.
  int ScriptCancels() const { return scriptCancels_; }
  // A question that offers something besides going on (Yes the offer, No without it, Cancel)
  // answered yes, by --yes or at the terminal, goes on without the offer.
  bool declineOffers = false;

  panel::Answer Message(const panel::MessageRequest& request) override;
  std::optional<std::string> Input(const std::string& prompt, const std::string& title,
                                   const std::string& initial) override;
  std::optional<std::filesystem::path> File(const panel::FileRequest& request) override;

 private:
  std::optional<std::string> NextAnswer();
  void Print(const std::string& title, const std::string& text, const std::string& answer);

  std::FILE* out_;
  bool yesToAll_;
  std::deque<std::string> answers_;
  int scriptCancels_ = 0;
};

// Prints every log line as it is added, without its leading line break.
class LogEcho {
 public:
  LogEcho(panel::Form& mainWindow, std::FILE* out);
  LogEcho(const LogEcho&) = delete;  // the window holds a pointer to it
  LogEcho& operator=(const LogEcho&) = delete;
  // Every line printed is also added to `lines` (null: none), for the log file.
  void KeepLines(std::string* lines) { kept_ = lines; }

 private:
  std::string* kept_ = nullptr;
};

// The console has no windows: showing one is noted, closing the main one ends the script.
class ConsoleWindows final : public panel::WindowHost {
 public:
  explicit ConsoleWindows(std::FILE* out) : out_(out) {}
  void ShowWindow(panel::Form& form, bool modal) override;
  void CloseOtherWindows() override {}
  void CloseMainWindow() override { closeRequested = true; }
  bool closeRequested = false;

 private:
  std::FILE* out_;
};

// The console shows no manual: it says where the manual is, for a browser. A report is printed
// whole.
class ConsoleHelp final : public panel::HelpViewer {
 public:
  explicit ConsoleHelp(std::FILE* out) : out_(out) {}
  std::optional<std::string> ShowManual(const std::filesystem::path& index,
                                        panel::HelpTopic topic) override;
  void ShowReport(const std::string& title, const std::string& text) override;

 private:
  std::FILE* out_;
};

// No sound on the console.
class SilentSounds final : public panel::SoundPlayer {
 public:
  void Play(const std::filesystem::path&) override {}
};

// The console has no window to place, so its settings live only as long as the run.
class MemorySettings final : public panel::SettingsStore {
 public:
  std::optional<std::string> Get(const std::string& section, const std::string& key) override;
  void Set(const std::string& section, const std::string& key, const std::string& value) override;

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace sorvell::console
