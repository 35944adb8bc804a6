#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "panel/edges.h"
#include "panel/form.h"
#include "panel/outcome.h"
#include "panel/run_control.h"

namespace sorvell::panel {

// What an operation may show or ask of the operator: the main window's controls, the system log,
// the lamps, the progress bar, the error alert, the sounds and the dialogs.
class Panel {
 public:
  Panel(Form& frmMain, Dialogs& dialogs, SoundPlayer& sounds, WallClock& clock,
        const Folders& folders);
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  Form& frmMain;
  Dialogs& dialogs;
  WallClock& clock;
  const Folders& folders;

  // Run when the operator turns a raised alert off: the board goes back to its idle state.
  std::function<void()> OnAlertOff;

  // Appends one time-stamped line to the system log.
  void AddLog(std::string_view message);
  // "INIT", "ERROR", "DONE", "SLIDE" or "OK"; any other key plays the error sound.
  void PlayEventSound(std::string_view key);
  // A plain message box with an OK button.
  void Notice(const std::string& text, const std::string& title);

  void ErrorLabelOn();
  void ErrorLabelOff();
  void ProgramLabelOn();
  void ProgramLabelOff();
  void DataFlowLabelOn();
  void DataFlowLabelOff();
  void ToggleProgramLabel();
  // The progress bar, by what a run does with it: a run starts it at 0 of its steps (or only
  // sets how many steps it has), steps it, and a stepped bar never passes its maximum.
  void StartProgress(int steps);
  void SetProgressSteps(int steps);
  void ResetProgress();
  void StepProgress(int steps = 1);
  // The speed slider: its position and its maximum (the fastest position).
  int SpeedPosition() const;
  int SpeedMaximum() const;
  // The dump window's text, and how many pages of 256 bytes its scroll bar pages through.
  void ShowDump(const std::string& text);
  void SetDumpPages(int pages);

  void ErrorLockButtons();
  // The alert box; its further text is what SetAlertDetails gave since the last box, if anything.
  void CriticalErrorBox();
  void SetAlertDetails(std::string details) { alertDetails_ = std::move(details); }
  void Error_label_Click();
  // How many times the error alert was raised in this run (the console's exit status).
  int ErrorAlertsRaised() const { return errorAlertsRaised_; }

  // --- How the operator's event ended -------------------------------------------------------
  // The shell brackets every operator event. An operation (a device operation, a file loaded or
  // saved, a setup) must report how it ended: if it does not, the event is not done, never taken
  // for done; a plain control event (a check box, the slider) is done when nothing is reported.
  void BeginEvent(bool operation);
  // Said by the operation where it decides; of several reports in one event the worst stands.
  void Report(Outcome outcome);
  void ReportDone(std::string detail = {});
  void ReportNotDone(NotDoneReason reason, std::string detail);
  void ReportDeviceError(std::string detail);
  // Ends the event: its outcome, which is also the last outcome from now on.
  const Outcome& EndEvent();
  // The outcome of the event in hand so far (none reported: done).
  const Outcome& EventOutcome() const { return eventOutcome_; }
  bool EventReported() const { return reported_; }
  const Outcome& LastOutcome() const { return lastOutcome_; }
  // How many events have ended: a front end tells whether a line or a click made one.
  int EventsEnded() const { return eventsEnded_; }
  // Told every event's outcome as it ends (the window's status bar).
  std::function<void(const Outcome&)> OnOutcome;

  // --- Long operations -----------------------------------------------------------------------
  // The front end's side of a run; none by default (nothing breathes, nothing stops).
  void SetRunControl(RunControl* control) { runControl_ = control; }
  // The operator's Stop: it takes effect at the next safe point.
  void RequestStop() { stopRequested_ = true; }
  void ClearStop() { stopRequested_ = false; }
  bool StopRequested() const;
  // Between two units of work: the window may repaint, the Stop button is offered, and a stop
  // asked for ends the operation here by throwing OperationStopped.
  void SafePoint();
  // Run first at every safe point: the shell checks there that the board still answers (it
  // throws to end the operation when it does not).
  std::function<void()> OnSafePoint;
  // Where an operation waits on the part and may not stop (an erase in progress): the window
  // may still repaint.
  void Breathe();
  // True while the front end is breathing: what the operator does then must not start anything.
  bool Breathing() const { return breathing_; }

 private:
  void TurnAlertOff();

  SoundPlayer& sounds_;
  std::string savedProgramEnabled_ = "True", savedVerifyEnabled_ = "True";
  std::string savedReadEnabled_ = "True", savedDisplayEnabled_ = "True";
  int errorAlertsRaised_ = 0;
  std::string alertDetails_;
  RunControl* runControl_ = nullptr;
  Outcome eventOutcome_, lastOutcome_;
  bool reported_ = false;
  int eventsEnded_ = 0;
  bool operationEvent_ = false;
  bool stopRequested_ = false;
  bool breathing_ = false;
};

// Sets an option of a control array ("Voltage_button(2)") and clears the others of its array.
// False when it was set already: clicking a set option changes nothing and runs no handler.
bool SelectOption(Form& form, Control& option);

// "LPTSelection(2)" -> ("LPTSelection", 2); a plain name gives index -1.
std::pair<std::string_view, int> SplitIndex(std::string_view name);

// The event sounds' file names, looked for in the program folder.
std::vector<std::string> SoundFileNames();

}  // namespace sorvell::panel
