#pragma once

#include <optional>
#include <string>

#include "panel/outcome.h"
#include "production/job_file.h"
#include "production/serial_numbers.h"
#include "shell/main_form.h"

namespace sorvell::production {

// What the front end answers on the job's behalf.
class JobAnswers {
 public:
  virtual ~JobAnswers() = default;
  // The next programming question is answered Yes (OK): the operator who started the job
  // consented to burning each of its parts, so the job does not ask again for every part.
  virtual void ConsentToNextBurn() = 0;
};

struct JobCounts {
  int done = 0;
  int failed = 0;  // failed, not done, or stopped
  int left = 0;
};

// How one part of the job went.
struct PartResult {
  int part = 0;        // 1 to the job's count
  std::string serial;  // empty without a serial rule
  panel::Outcome outcome;
};

// A job run over the main window: each part burned as the operator would burn it at the window
// (device, options, image, Program), so the same blank check, verify, log and alert hold, and
// each part's outcome is the outcome of its Program event.
class JobRun {
 public:
  JobRun(shell::MainForm& form, Job job, JobAnswers& answers);

  // Checks the image against the job's SHA-256, selects the device, sets the options and opens
  // the image, through the window's events. Empty when the job is ready; else why it is not, and
  // nothing was burned.
  std::string Start();
  // No part is left to burn: all were burned, the serial numbers ran out, or a stop was asked.
  bool Ended() const;
  // Why the job ended; empty while it runs.
  std::string EndReason() const;
  // The next part: its serial put into the image, then Program with the job's options.
  PartResult RunPart();
  // The operator's stop: a part being burned ends at its next safe point as Stopped, and no
  // further part is started.
  void Stop();
  // The job is over: the window no longer names a part in a job.
  void Finish();

  const Job& job() const { return job_; }
  bool StopAsked() const { return stopAsked_; }
  JobCounts Counts() const;
  int NextPart() const { return done_ + failed_ + 1; }
  const std::optional<PartResult>& LastPart() const { return last_; }

 private:
  std::string CheckImage() const;
  std::string SelectDevice();
  std::string SetOptions();
  std::string Set(const std::string& control, int value);
  std::string OpenImage();
  std::string CheckSerialPlace() const;
  // The part's serial number into the program buffer; the outcome of typing it.
  panel::Outcome PutSerial(const std::vector<std::uint8_t>& bytes);
  panel::Outcome Burn();
  void Count(const PartResult& result);

  shell::MainForm& form_;
  Job job_;
  JobAnswers& answers_;
  std::optional<SerialSequence> serials_;
  std::optional<PartResult> last_;
  std::string endReason_;
  int done_ = 0;
  int failed_ = 0;
  bool started_ = false;
  bool stopAsked_ = false;
};

}  // namespace sorvell::production
