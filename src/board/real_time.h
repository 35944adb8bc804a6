#pragma once

#include <memory>
#include <string>

namespace sorvell::board {

// The operating system's calls that keep time-critical work on time. Each returns 0 or the error
// number of its refusal.
class RealTimeCalls {
 public:
  virtual ~RealTimeCalls() = default;
  virtual int LockMemory() = 0;  // every page mapped now made resident
  virtual void UnlockMemory() = 0;
  virtual int RaisePriority() = 0;  // real-time FIFO scheduling for the calling thread
  virtual void RestorePriority() = 0;
};

// mlockall and pthread_setschedparam.
std::unique_ptr<RealTimeCalls> SystemRealTimeCalls();

// What a programming run of page loads takes from the system, and gives back. Memory is locked
// for the run (locking it for every page would fault the whole program in 512 times); the
// real-time priority is held only while a page is loaded, so the window and other programs run
// normally between pages. A refusal is no error: the byte-load timing catches a late page. Why
// the system refused is told once, the first time.
class RealTimeSection {
 public:
  explicit RealTimeSection(RealTimeCalls& calls) : calls_(calls) {}

  std::string BeginRun();
  void EndRun();
  void BeginPageLoad();
  void EndPageLoad();

 private:
  RealTimeCalls& calls_;
  bool memoryLocked_ = false;
  bool priorityAllowed_ = false;
  bool priorityRaised_ = false;
  bool told_ = false;
};

}  // namespace sorvell::board
