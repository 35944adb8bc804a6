#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sorvell::panel {

class Form;

enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MessageIcon { kNone, kCritical, kQuestion, kExclamation, kInformation };
enum class Answer { kOk, kCancel, kYes, kNo };

struct MessageRequest {
  std::string text;
  std::string title;
  MessageButtons buttons = MessageButtons::kOk;
  MessageIcon icon = MessageIcon::kNone;
  Answer defaultAnswer = Answer::kOk;
  // Further lines under the main message (the window's informative text), if any.
  std::string details{};
};

struct FileRequest {
  bool save = false;
  std::string title;
  std::string filter;  // "Binary Files (*.bin)|*.bin|All Files (*.*)|*.*"
  std::string initialName;
};

// Everything that asks the operator: the window shows real dialogs, the console answers from
// its script.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual Answer Message(const MessageRequest& request) = 0;
  virtual std::optional<std::string> Input(const std::string& prompt, const std::string& title,
                                           const std::string& initial) = 0;
  virtual std::optional<std::filesystem::path> File(const FileRequest& request) = 0;
};

// The windows themselves, as the front end has them.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Shows a secondary window; a modal one returns when the operator closes it.
  virtual void ShowWindow(Form& form, bool modal) = 0;
  virtual void CloseOtherWindows() = 0;
  // Closing the main window runs its shutdown.
  virtual void CloseMainWindow() = 0;
};

enum class HelpTopic { kContents, kSearch };

// The operator's manual and the About box's system report, as the front end shows them.
class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  // Opens the manual, whose first page is `index`, at its contents or with its search ready.
  // Empty when it is shown, else why it could not be.
  virtual std::optional<std::string> ShowManual(const std::filesystem::path& index,
                                                HelpTopic topic) = 0;
  // Shows a text the operator reads and may copy.
  virtual void ShowReport(const std::string& title, const std::string& text) = 0;
};

// Starts a sound and returns at once; a machine without audio plays nothing.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void Play(const std::filesystem::path& file) = 0;
};

// The per-user settings store, keyed by the application's title.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> Get(const std::string& section, const std::string& key) = 0;
  virtual void Set(const std::string& section, const std::string& key,
                   const std::string& value) = 0;
};

struct LocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalTime Now() = 0;
};

// Where files live. The program folder holds what ships with the program (sounds, help); the
// configuration folder the board configuration file; the working folder what the operator
// saves (log, dump, setups); the data folder what the program keeps for the operator across runs
// (the record of every part, the backups of parts before they were erased or burned).
struct Folders {
  std::filesystem::path programFolder;
  std::filesystem::path configFolder;
  std::filesystem::path workingFolder;
  std::filesystem::path dataFolder{};
};

}  // namespace sorvell::panel
