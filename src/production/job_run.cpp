#include "production/job_run.h"

#include "buffers/buffers.h"
#include "buffers/checksums.h"
#include "catalogue/device_names.h"
#include "common/hex_text.h"
#include "common/read_file.h"
#include "common/trim.h"

namespace sorvell::production {

namespace {

// The option buttons of the programming voltage, in the order the window shows them.
int VoltageButton(const std::string& volts) {
  if (volts == "5") return 0;
  if (volts == "12.5") return 1;
  return volts == "21" ? 2 : 3;
}

bool Available(const panel::Control& control) {
  return control.Enabled() && control.Visible();
}

}  // namespace

JobRun::JobRun(shell::MainForm& form, Job job, JobAnswers& answers)
    : form_(form), job_(std::move(job)), answers_(answers) {
  if (job_.serial) serials_ = job_.serial->Sequence();
}

// The image is checked before anything is selected or loaded: a job whose image changed since
// the job was written changes nothing.
std::string JobRun::Start() {
  std::string error = CheckImage();
  if (error.empty()) error = SelectDevice();
  if (error.empty()) error = CheckSerialPlace();
  if (error.empty()) error = SetOptions();
  if (error.empty()) error = OpenImage();
  started_ = error.empty();
  if (started_)
    form_.panel.AddLog("Job " + job_.name + " started: " + std::to_string(job_.count) + " parts");
  return error;
}

std::string JobRun::CheckImage() const {
  std::string bytes, error;
  if (!common::ReadRegularFile(job_.image, buffers::kCodeBufferSize, bytes, error)) {
    return "the image " + job_.image.string() + ": " + error;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::string sha256 = buffers::ChecksumsOf({data, bytes.size()}).sha256;
  if (sha256 != job_.sha256) {
    return "the image " + job_.image.string() + " is not the job's: its SHA-256 is " + sha256 +
           ", the job names " + job_.sha256;
  }
  return {};
}

std::string JobRun::SelectDevice() {
  const catalogue::DeviceChoice choice =
      catalogue::ChooseDevice(form_.frmMain["Device"].Items(), job_.device);
  if (!choice.index) return choice.error;
  return Set("Device", *choice.index);
}

std::string JobRun::CheckSerialPlace() const {
  if (!job_.serial) return {};
  const std::int64_t end = job_.serial->address + job_.serial->length;
  if (end <= form_.device.DeviceBytes) return {};
  return "the serial number at " +
         common::HexText(static_cast<std::uint32_t>(job_.serial->address)) + "h (" +
         std::to_string(job_.serial->length) + " bytes) lies beyond the end of the " +
         common::TrimBlanks(form_.device.DeviceName) + " (" +
         std::to_string(form_.device.DeviceBytes) + " bytes)";
}

// Each option as the operator sets it at the window. An option the part does not offer is
// refused only when the job asks for other than what the window already has.
std::string JobRun::SetOptions() {
  const auto setFlag = [this](const char* control, bool on) -> std::string {
    const panel::Control& box = form_.frmMain[control];
    if (!Available(box) && (box.Value() != 0) == on) return {};
    return Set(control, on ? 1 : 0);
  };
  std::string error = setFlag("CheckBlankPriorProgramming", job_.blankCheck);
  if (error.empty()) error = setFlag("VerifyAfterProgramming", job_.verify);
  // A part the blank check passes is never read into a backup, so "not-for-blank" needs no more
  // than the backups left on; "off" turns them off.
  if (error.empty()) error = setFlag("BackupBeforeBurn", job_.backup != JobBackup::kOff);
  if (error.empty()) {
    const int half = static_cast<int>(job_.half);
    error = setFlag(("HiLow_button(" + std::to_string(half) + ")").c_str(), true);
  }
  if (error.empty() && !job_.vpp.empty()) {
    error = Set("Voltage_button(" + std::to_string(VoltageButton(job_.vpp)) + ")", 1);
  }
  if (error.empty() && job_.speed != 0) error = Set("Slider1", job_.speed);
  return error;
}

std::string JobRun::Set(const std::string& name, int value) {
  const panel::Control& control = form_.frmMain[name];
  if (Available(control) && form_.SetValue(name, value)) return {};
  std::string caption = control.Caption();
  std::erase(caption, '&');
  return "\"" + common::TrimBlanks(caption) + "\" (" + name + ") is not available for the " +
         common::TrimBlanks(form_.device.DeviceName);
}

// File > Open Code as the window does it for a file named without the dialog.
std::string JobRun::OpenImage() {
  form_.OpenCode(job_.image);
  const panel::Outcome& outcome = form_.LastOutcome();
  if (outcome.IsDone()) return {};
  return "the image " + job_.image.string() + " was not loaded: " + outcome.Text();
}

bool JobRun::Ended() const {
  return !EndReason().empty();
}

std::string JobRun::EndReason() const {
  if (!started_) return "the job has not started";
  if (stopAsked_) return "stopped by the operator";
  if (done_ + failed_ >= job_.count) return "every part of the job was burned";
  if (!serials_) return {};
  const std::optional<std::uint64_t> number = serials_->Current();
  if (!number) return "the serial numbers are used up";
  const SerialBytes bytes = EncodeSerial(*number, job_.serial->length, job_.serial->encoding);
  return bytes.bytes.empty() ? bytes.error : std::string();
}

PartResult JobRun::RunPart() {
  PartResult result{NextPart(), {}, {}};
  form_.partInJob = {job_.name, result.part, {}};
  std::vector<std::uint8_t> serial;
  if (serials_) {
    const std::uint64_t number = serials_->Current().value_or(0);
    serial = EncodeSerial(number, job_.serial->length, job_.serial->encoding).bytes;
    result.serial = SerialText(number);
    form_.partInJob.serial = result.serial;
  }
  result.outcome = serial.empty() ? Burn() : PutSerial(serial);
  if (!serial.empty() && result.outcome.IsDone()) result.outcome = Burn();
  Count(result);
  last_ = result;
  return result;
}

panel::Outcome JobRun::PutSerial(const std::vector<std::uint8_t>& bytes) {
  form_.TypeCodeBytes(static_cast<std::int32_t>(job_.serial->address), bytes);
  return form_.LastOutcome();
}

panel::Outcome JobRun::Burn() {
  if (!Available(form_.frmMain["Program_button"])) {
    return panel::Outcome::NotDone(panel::NotDoneReason::kNotSupported,
                                   "the Program button is not available");
  }
  // Starting the job was the operator's consent to burn every part of it.
  answers_.ConsentToNextBurn();
  form_.Click("Program_button");
  return form_.LastOutcome();
}

void JobRun::Count(const PartResult& result) {
  const bool done = result.outcome.IsDone();
  done ? ++done_ : ++failed_;
  if (serials_) done ? serials_->Advance() : serials_->Failed(job_.serial->reuseFailed);
  if (result.outcome.kind == panel::OutcomeKind::kStopped) stopAsked_ = true;
}

void JobRun::Stop() {
  stopAsked_ = true;
  if (form_.OperationRunning()) form_.Stop_button_Click();
}

void JobRun::Finish() {
  if (started_) {
    const JobCounts counts = Counts();
    form_.panel.AddLog("Job " + job_.name + " ended (" + EndReason() + "): " +
                       std::to_string(counts.done) + " done, " + std::to_string(counts.failed) +
                       " failed, " + std::to_string(counts.left) + " left");
  }
  form_.partInJob = {};
}

JobCounts JobRun::Counts() const {
  return {done_, failed_, job_.count - done_ - failed_};
}

}  // namespace sorvell::production
