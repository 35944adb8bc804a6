#include "console/job_command.h"

#include "console/exit_status.h"
#include "production/job_run.h"
#include "shell/stop_signals.h"

namespace sorvell::console {

namespace {

// The console's answer to the programming question of each part: the queued OK.
class ConsoleJobAnswers final : public production::JobAnswers {
 public:
  explicit ConsoleJobAnswers(ScriptedDialogs& dialogs) : dialogs_(dialogs) {}
  void ConsentToNextBurn() override { dialogs_.Queue("OK"); }

 private:
  ScriptedDialogs& dialogs_;
};

void PrintPart(const production::PartResult& result, const production::JobCounts& counts,
               std::FILE* out) {
  const std::string serial = result.serial.empty() ? "" : ", serial " + result.serial;
  std::fprintf(out, "part %d%s: %s; done %d, failed %d, left %d\n", result.part, serial.c_str(),
               result.outcome.Text().c_str(), counts.done, counts.failed, counts.left);
  std::fflush(out);
}

// The operator's go for the next part: Enter; "q" or the end of input ends the job.
bool PartInserted(const production::JobRun& run, const OperatorLine& operatorLine, std::FILE* out) {
  std::fprintf(out, "insert part %d of %d, press Enter\n", run.NextPart(), run.job().count);
  std::fflush(out);
  const std::optional<std::string> line = operatorLine();
  return line && *line != "q";
}

int JobStatus(const production::JobRun& run) {
  if (shell::StopSignalReceived() != 0) return kExitStopped;
  const production::JobCounts counts = run.Counts();
  if (counts.failed > 0) return kExitErrorAlert;
  return run.StopAsked() && counts.left > 0 ? kExitNotDone : kExitOk;
}

}  // namespace

int RunJobCommand(shell::MainForm& form, ScriptedDialogs& dialogs, const Command& command,
                  const OperatorLine& operatorLine, const std::function<void()>& afterEvent,
                  std::FILE* out, std::FILE* err) {
  production::JobFile file = production::ReadJobFile(command.input);
  if (!file.job) {
    std::fprintf(err, "sorvell-cli: job not loaded: %s\n", file.error.c_str());
    return kExitBadInput;
  }
  if (command.count != 0) file.job->count = command.count;
  if (form.board.DataPort == 0) {
    std::fprintf(err, "sorvell-cli: no board answered: the job was not started\n");
    return kExitNoBoard;
  }
  ConsoleJobAnswers answers(dialogs);
  production::JobRun run(form, *file.job, answers);
  if (const std::string error = run.Start(); !error.empty()) {
    if (afterEvent) afterEvent();
    std::fprintf(err, "sorvell-cli: job %s not started, nothing was burned: %s\n",
                 file.job->name.c_str(), error.c_str());
    return kExitNotDone;
  }
  while (!run.Ended()) {
    if (!command.noWait && !PartInserted(run, operatorLine, out)) run.Stop();
    if (shell::StopSignalReceived() != 0) run.Stop();
    if (run.Ended()) break;
    const production::PartResult result = run.RunPart();
    dialogs.ClearAnswers();
    if (afterEvent) afterEvent();
    if (shell::StopSignalReceived() != 0) run.Stop();
    PrintPart(result, run.Counts(), out);
  }
  const int status = JobStatus(run);
  const production::JobCounts counts = run.Counts();
  std::fprintf(out, "job %s ended: %s; done %d, failed %d, left %d\n", run.job().name.c_str(),
               run.EndReason().c_str(), counts.done, counts.failed, counts.left);
  run.Finish();
  return status;
}

}  // namespace sorvell::console
