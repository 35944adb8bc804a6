#include "board/real_time.h"

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>

#include <cerrno>
#include <cstring>

namespace sorvell::board {

namespace {

// Above every normal process, low among real-time ones (the kernel's own threads sit at 50).
constexpr int kTimedWorkPriority = 10;

class SystemCalls final : public RealTimeCalls {
 public:
  int LockMemory() override { return mlockall(MCL_CURRENT) == 0 ? 0 : errno; }
  void UnlockMemory() override { munlockall(); }
  int RaisePriority() override {
    if (const int error = pthread_getschedparam(pthread_self(), &policy_, &param_)) return error;
    sched_param fifo{};
    fifo.sched_priority = kTimedWorkPriority;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &fifo);
  }
  void RestorePriority() override { pthread_setschedparam(pthread_self(), policy_, &param_); }

 private:
  int policy_ = SCHED_OTHER;
  sched_param param_{};
};

std::string Refusal(int error, const char* needs) {
  return std::string(std::strerror(error)) + (error == EPERM || error == ENOMEM ? needs : "");
}

}  // namespace

std::unique_ptr<RealTimeCalls> SystemRealTimeCalls() {
  return std::make_unique<SystemCalls>();
}

// The priority is tried once here, so that a refusal is known (and told) before the first pulse.
std::string RealTimeSection::BeginRun() {
  if (runDepth_++ > 0) return {};
  const int lockError = calls_.LockMemory();
  memoryLocked_ = lockError == 0;
  const int priorityError = calls_.RaisePriority();
  priorityAllowed_ = priorityError == 0;
  if (priorityAllowed_) calls_.RestorePriority();
  if (told_ || (memoryLocked_ && priorityAllowed_)) return {};
  told_ = true;
  std::string why = "Pulses and timed sequences run";
  if (!priorityAllowed_) {
    why += " without real-time priority (" +
           Refusal(priorityError, ": needs an rtprio limit or CAP_SYS_NICE") + ")";
  }
  if (!memoryLocked_) {
    why += std::string(priorityAllowed_ ? "" : " and") + " without locked memory (" +
           Refusal(lockError, ": needs a memlock limit or CAP_IPC_LOCK") + ")";
  }
  return why;
}

void RealTimeSection::EndRun() {
  if (runDepth_ == 0 || --runDepth_ > 0) return;
  if (memoryLocked_) calls_.UnlockMemory();
  memoryLocked_ = false;
  priorityAllowed_ = false;
}

// Outside a run nothing is raised: the run is where the system was asked. Work may nest (a byte's
// command cycles inside the byte's write): the outermost piece holds the priority.
void RealTimeSection::BeginWork() {
  if (workDepth_++ > 0) return;
  priorityRaised_ = priorityAllowed_ && calls_.RaisePriority() == 0;
}

void RealTimeSection::EndWork() {
  if (workDepth_ == 0 || --workDepth_ > 0) return;
  if (priorityRaised_) calls_.RestorePriority();
  priorityRaised_ = false;
}

}  // namespace sorvell::board
