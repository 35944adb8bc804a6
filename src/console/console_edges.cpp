#include "console/console_edges.h"

#include <sstream>

#include "panel/form.h"

namespace sorvell::console {

namespace {

using panel::Answer;
using panel::MessageButtons;

const char* AnswerText(Answer answer) {
  switch (answer) {
    case Answer::kOk:
      return "OK";
    case Answer::kCancel:
      return "Cancel";
    case Answer::kYes:
      return "Yes";
    case Answer::kNo:
      return "No";
  }
  return "OK";
}

// The answer if the box has such a button.
std::optional<Answer> ButtonOf(MessageButtons buttons, const std::string& text) {
  switch (buttons) {
    case MessageButtons::kOk:
      if (text == "OK") return Answer::kOk;
      break;
    case MessageButtons::kOkCancel:
      if (text == "OK") return Answer::kOk;
      if (text == "Cancel") return Answer::kCancel;
      break;
    case MessageButtons::kYesNo:
      if (text == "Yes") return Answer::kYes;
      if (text == "No") return Answer::kNo;
      break;
    case MessageButtons::kYesNoCancel:
      // OK takes the offer, as the box's default button does.
      if (text == "Yes" || text == "OK") return Answer::kYes;
      if (text == "No") return Answer::kNo;
      if (text == "Cancel") return Answer::kCancel;
      break;
  }
  return std::nullopt;
}

Answer Affirmative(MessageButtons buttons) {
  const bool yesNo = buttons == MessageButtons::kYesNo || buttons == MessageButtons::kYesNoCancel;
  return yesNo ? Answer::kYes : Answer::kOk;
}

// Log text and messages may hold line breaks; a dialog stays on one output line.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    line += c == '\n' ? ' ' : c;
  }
  return line;
}

}  // namespace

std::optional<std::string> ScriptedDialogs::NextAnswer() {
  if (answers_.empty()) return std::nullopt;
  std::string answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

void ScriptedDialogs::Print(const std::string& title, const std::string& text,
                            const std::string& answer) {
  std::fprintf(out_, "DIALOG [%s] %s => %s\n", OneLine(title).c_str(), OneLine(text).c_str(),
               answer.c_str());
  std::fflush(out_);
}

Answer ScriptedDialogs::Message(const panel::MessageRequest& request) {
  // A box that offers something besides going on burns nothing unless a yes is given: its
  // default button is for the operator who reads it.
  const Answer unanswered =
      request.buttons == MessageButtons::kYesNoCancel ? Answer::kCancel : request.defaultAnswer;
  Answer answer = yesToAll_ ? Affirmative(request.buttons) : unanswered;
  if (const auto queued = NextAnswer()) {
    if (const auto button = ButtonOf(request.buttons, *queued)) answer = *button;
    const bool declinedOffer =
        answer == Answer::kNo && request.buttons == MessageButtons::kYesNoCancel;
    if (answer == Answer::kCancel || (answer == Answer::kNo && !declinedOffer)) ++scriptCancels_;
  } else if (!yesToAll_ && ask && request.buttons != MessageButtons::kOk) {
    answer = ask(request).value_or(answer);
  }
  if (declineOffers && request.buttons == MessageButtons::kYesNoCancel && answer == Answer::kYes) {
    answer = Answer::kNo;
  }
  Print(request.title, request.text, AnswerText(answer));
  // The box's further lines, each on a line of its own under it.
  std::istringstream details(request.details);
  for (std::string line; std::getline(details, line);) std::fprintf(out_, "  %s\n", line.c_str());
  std::fflush(out_);
  return answer;
}

std::optional<std::string> ScriptedDialogs::Input(const std::string& prompt,
                                                  const std::string& title,
                                                  const std::string& initial) {
  std::string answer = "Cancel";
  if (!answers_.empty()) {
    answer = NextAnswer().value_or("Cancel");
    if (answer == "Cancel") ++scriptCancels_;
  } else if (yesToAll_) {
    answer = initial;
  }
  Print(title, prompt, answer);
  if (answer == "Cancel") return std::nullopt;
  return answer;
}

std::optional<std::filesystem::path> ScriptedDialogs::File(const panel::FileRequest& request) {
  const std::optional<std::string> queued = NextAnswer();
  std::string answer = queued.value_or("Cancel");
  if (answer.empty()) answer = "Cancel";
  if (queued && answer == "Cancel") ++scriptCancels_;
  Print(request.title, request.save ? "Save file" : "Open file", answer);
  if (answer == "Cancel") return std::nullopt;
  return std::filesystem::path(answer);
}

LogEcho::LogEcho(panel::Form& mainWindow, std::FILE* out) {
  mainWindow.onAppended = [this, out](const panel::Control& control, std::string_view appended) {
    if (control.Name() != "SystemLog") return;
    if (appended.starts_with("\r\n")) appended.remove_prefix(2);
    std::fprintf(out, "%.*s\n", static_cast<int>(appended.size()), appended.data());
    if (kept_ != nullptr) kept_->append(appended).append("\n");
    std::fflush(out);
  };
}

void ConsoleWindows::ShowWindow(panel::Form& form, bool modal) {
  std::fprintf(out_, "WINDOW [%s] %s\n", form.Caption().c_str(), modal ? "shown modal" : "shown");
}

std::optional<std::string> MemorySettings::Get(const std::string& section, const std::string& key) {
  const auto it = values_.find(section + "/" + key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void MemorySettings::Set(const std::string& section, const std::string& key,
                         const std::string& value) {
  values_[section + "/" + key] = value;
}

std::optional<std::string> ConsoleHelp::ShowManual(const std::filesystem::path& index,
                                                   panel::HelpTopic topic) {
  const char* what = topic == panel::HelpTopic::kSearch ? "search" : "contents";
  std::fprintf(out_, "HELP %s: the manual is %s\n", what, index.c_str());
  std::fflush(out_);
  return std::nullopt;
}

void ConsoleHelp::ShowReport(const std::string& title, const std::string& text) {
  std::fprintf(out_, "%s\n%s", title.c_str(), text.c_str());
  std::fflush(out_);
}

}  // namespace sorvell::console
