#pragma once

#include <cstdint>
#include <string>

namespace sorvell::sim {

// What a part was put through outside its datasheet's operating conditions: nothing that
// destroys it at once, but what a real part answers with wrong data, weak cells or lost
// retention. Counted, with the latest one spelt out, so a test can require a clean run.
class ViolationLog {
 public:
  enum class Kind { kReadWithVpp, kPulseWidth };

  void Record(Kind kind, std::string what) {
    ++count_;
    ++(kind == Kind::kReadWithVpp ? readsWithVpp_ : pulseWidths_);
    last_ = std::move(what);
  }
  std::uint64_t Count() const { return count_; }
  std::uint64_t Count(Kind kind) const {
    return kind == Kind::kReadWithVpp ? readsWithVpp_ : pulseWidths_;
  }
  // Empty while the count is 0.
  const std::string& Last() const { return last_; }

 private:
  std::uint64_t count_ = 0;
  std::uint64_t readsWithVpp_ = 0;
  std::uint64_t pulseWidths_ = 0;
  std::string last_;
};

}  // namespace sorvell::sim
