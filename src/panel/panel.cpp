#include "panel/panel.h"

#include <utility>

#include <algorithm>

#include <string>

#include "panel/time_text.h"

namespace sorvell::panel {

namespace {

constexpr const char* kLockedButtons[] = {"Program_button", "Verify_button", "Read_button",
                                          "Display_button"};

struct SoundFile {
  const char* key;
  const char* file;
};

constexpr SoundFile kSounds[] = {{"INIT", "init.wav"},
                                 {"ERROR", "error.wav"},
                                 {"DONE", "done.wav"},
                                 {"SLIDE", "slide.wav"},
                                 {"OK", "ok.wav"}};

const char* TrueFalse(bool value) {
  return value ? "True" : "False";
}

}  // namespace

std::vector<std::string> SoundFileNames() {
  std::vector<std::string> names;
  for (const SoundFile& sound : kSounds) names.emplace_back(sound.file);
  return names;
}

Panel::Panel(Form& form, Dialogs& dialogBoxes, SoundPlayer& sounds, WallClock& wallClock,
             const Folders& programFolders)
    : frmMain(form),
      dialogs(dialogBoxes),
      clock(wallClock),
      folders(programFolders),
      sounds_(sounds) {}

// Appends one line; the text is never rewritten whole, so a long log stays fast.
void Panel::AddLog(std::string_view message) {
  std::string line = "\r\n" + TimeText(clock.Now()) + ">  ";
  line.append(message);
  frmMain["SystemLog"].AppendText(line);
}

void Panel::PlayEventSound(std::string_view key) {
  const char* file = "error.wav";
  for (const SoundFile& sound : kSounds) {
    if (key == sound.key) file = sound.file;
  }
  sounds_.Play(folders.programFolder / file);
}

void Panel::Notice(const std::string& text, const std::string& title) {
  dialogs.Message({text, title, MessageButtons::kOk, MessageIcon::kNone, Answer::kOk});
}

void Panel::ErrorLabelOn() {
  frmMain["Error_label"].SetForeColor(kRed);
  ProgramLabelOff();
  DataFlowLabelOff();
}
void Panel::ErrorLabelOff() {
  frmMain["Error_label"].SetForeColor(kButtonFace);
}
void Panel::ProgramLabelOn() {
  frmMain["Program_label"].SetForeColor(kGreen);
}
void Panel::ProgramLabelOff() {
  frmMain["Program_label"].SetForeColor(kButtonFace);
}
void Panel::DataFlowLabelOn() {
  frmMain["DataFlow_label"].SetForeColor(kGreen);
}
void Panel::DataFlowLabelOff() {
  frmMain["DataFlow_label"].SetForeColor(kButtonFace);
}

void Panel::ToggleProgramLabel() {
  Control& lamp = frmMain["Program_label"];
  lamp.SetForeColor(lamp.ForeColor() == kGreen ? kButtonFace : kGreen);
}

void Panel::StartProgress(int steps) {
  SetProgressSteps(steps);
  ResetProgress();
}

void Panel::SetProgressSteps(int steps) {
  frmMain["ProgressBar1"].SetRange(0, steps);
}

void Panel::ResetProgress() {
  frmMain["ProgressBar1"].SetValue(0);
}

void Panel::StepProgress(int steps) {
  Control& bar = frmMain["ProgressBar1"];
  if (bar.Value() < bar.Maximum()) bar.SetValue(std::min(bar.Maximum(), bar.Value() + steps));
}

int Panel::SpeedPosition() const {
  return frmMain["Slider1"].Value();
}

int Panel::SpeedMaximum() const {
  return frmMain["Slider1"].Maximum();
}

void Panel::ShowDump(const std::string& text) {
  frmMain["BufferDisplay"].SetCaption(text);
}

void Panel::SetDumpPages(int pages) {
  frmMain["VScroll1"].SetRange(0, pages - 1);
}

void Panel::BeginEvent(bool operation) {
  eventOutcome_ = Outcome::Done();
  reported_ = false;
  operationEvent_ = operation;
  alertDetails_.clear();  // further text belongs to the alert of the event that gave it
}

void Panel::Report(Outcome outcome) {
  eventOutcome_ = reported_ ? Worse(eventOutcome_, outcome) : std::move(outcome);
  reported_ = true;
}

void Panel::ReportDone(std::string detail) {
  Report(Outcome::Done(std::move(detail)));
}

void Panel::ReportNotDone(NotDoneReason reason, std::string detail) {
  Report(Outcome::NotDone(reason, std::move(detail)));
}

void Panel::ReportDeviceError(std::string detail) {
  Report(Outcome::DeviceError(std::move(detail)));
}

const Outcome& Panel::EndEvent() {
  if (!reported_ && operationEvent_) {
    eventOutcome_ =
        Outcome::NotDone(NotDoneReason::kUnstated, "the operation did not say how it ended");
  }
  lastOutcome_ = eventOutcome_;
  ++eventsEnded_;
  reported_ = false;
  operationEvent_ = false;
  if (OnOutcome) OnOutcome(lastOutcome_);
  return lastOutcome_;
}

bool Panel::StopRequested() const {
  return stopRequested_ || (runControl_ != nullptr && runControl_->StopRequested());
}

void Panel::SafePoint() {
  if (OnSafePoint) OnSafePoint();
  Control& stop = frmMain["Stop_button"];
  if (!stop.Enabled()) stop.SetEnabled(true);
  Breathe();
  if (!StopRequested()) return;
  stopRequested_ = false;
  throw OperationStopped();
}

void Panel::Breathe() {
  if (runControl_ == nullptr || breathing_) return;
  breathing_ = true;
  const struct Lower {
    bool& flag;
    ~Lower() { flag = false; }
  } lower{breathing_};
  runControl_->Breathe();
}

void Panel::ErrorLockButtons() {
  ++errorAlertsRaised_;
  ErrorLabelOn();
  savedProgramEnabled_ = TrueFalse(frmMain["Program_button"].Enabled());
  savedVerifyEnabled_ = TrueFalse(frmMain["Verify_button"].Enabled());
  savedReadEnabled_ = TrueFalse(frmMain["Read_button"].Enabled());
  savedDisplayEnabled_ = TrueFalse(frmMain["Display_button"].Enabled());
  for (const char* name : kLockedButtons) frmMain[name].SetEnabled(false);
}

void Panel::CriticalErrorBox() {
  dialogs.Message({"Program or Compare Error", "Critical Message", MessageButtons::kOk,
                   MessageIcon::kCritical, Answer::kOk, std::exchange(alertDetails_, {})});
  TurnAlertOff();
}

void Panel::Error_label_Click() {
  TurnAlertOff();
}

// Only a raised alert (the lamp exactly red) is turned off; otherwise nothing happens.
void Panel::TurnAlertOff() {
  if (frmMain["Error_label"].ForeColor() != kRed) return;
  ErrorLabelOff();
  ProgramLabelOff();
  DataFlowLabelOff();
  AddLog("Error Alert was Turned Off");
  frmMain["ProgressBar1"].SetValue(0);
  frmMain["Program_button"].SetEnabled(savedProgramEnabled_ == "True");
  frmMain["Verify_button"].SetEnabled(savedVerifyEnabled_ == "True");
  frmMain["Read_button"].SetEnabled(savedReadEnabled_ == "True");
  frmMain["Display_button"].SetEnabled(savedDisplayEnabled_ == "True");
  if (OnAlertOff) OnAlertOff();
}

std::pair<std::string_view, int> SplitIndex(std::string_view name) {
  const auto open = name.find('(');
  if (open == std::string_view::npos || name.back() != ')') return {name, -1};
  return {name.substr(0, open), std::stoi(std::string(name.substr(open + 1)))};
}

bool SelectOption(Form& form, Control& option) {
  if (option.Value()) return false;
  const auto [array, index] = SplitIndex(option.Name());
  for (int i = 0;; ++i) {
    Control* sibling = form.Find(std::string(array) + "(" + std::to_string(i) + ")");
    if (sibling == nullptr) break;
    sibling->SetValue(i == index ? 1 : 0);
  }
  return true;
}

}  // namespace sorvell::panel
