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

// What a device run takes from the system, and gives back. Memory is locked for the outermost
// run (locking it for every pulse would fault the whole program in again and again); real-time
// priority is held only while a piece of timed work runs (a pulse, a page load, a byte on the
// bus), so the window and other programs run normally between them. A refusal is no error: the
// pulses are measured and a late page load is caught. Why the system refused is told once, the
// first time.
class RealTimeSection {
 public:
  explicit RealTimeSection(RealTimeCalls& calls) : calls_(calls) {}

  std::string BeginRun();
  void EndRun();
  void BeginWork();
  void EndWork();

 private:
  RealTimeCalls& calls_;
  int runDepth_ = 0;
  int workDepth_ = 0;
  bool memoryLocked_ = false;
  bool priorityAllowed_ = false;
  bool priorityRaised_ = false;
  bool told_ = false;
};

}  // namespace sorvell::board
