#include "sim/sim_board.h"

#include <random>
#include <stdexcept>

#include "sim/socket_wiring.h"
#include "sim/status_wiring.h"

namespace sorvell::sim {

namespace {

constexpr std::uint8_t kD4 = 0x10;
constexpr std::uint8_t kPullUps = 0xFF;
// Status inputs with nothing driving them, as on a port whose board is off or unplugged.
constexpr std::uint8_t kUnconnectedStatus = 0xFF;

int CheckedModel(int model) {
  if (model < 4 || model > 6) throw std::invalid_argument("board model must be 4, 5 or 6");
  return model;
}

}  // namespace

SimBoard::SimBoard(int model, const VirtualClock& clock)
    : model_(CheckedModel(model)),
      clock_(clock),
      normalisedControl_(NormaliseControl(model, 0)),
      model4VppMillivolts_(kDefaultModel4VppMillivolts),
      lines_(WireSocket(model, latches_, model4VppMillivolts_)) {
  transparentLatch_ = TransparentLatch(normalisedControl_);
  FollowDataPort();
}

void SimBoard::PowerOn(std::optional<std::uint32_t> randomSeed) {
  latches_ = {};
  if (randomSeed) {
    std::mt19937 random(*randomSeed);
    for (std::uint8_t& latch : latches_) latch = static_cast<std::uint8_t>(random() & 0xFF);
  }
  if (transparentLatch_ != kNoLatch) latches_[transparentLatch_] = dataPort_;
  RewireSocket();
}

std::uint8_t SimBoard::DataBus() const {
  const std::uint64_t now = clock_.NowNs();
  // An open-drain line is low if the board or the part pulls it: wired-AND, never a clash.
  const std::uint8_t openDrainLow = chip_ ? chip_->OpenDrainLow(lines_, now) : 0;
  const std::uint8_t released = static_cast<std::uint8_t>(~openDrainLow);
  if ((latches_[kR3] & kR3DataDisable) == 0) {
    const std::uint8_t latch = latches_[kR4];
    if (!chip_ || !chip_->Drives(lines_, now)) return latch & released;
    // A bus clash: the part drives as well. Where the two outputs differ the level is undefined
    // on the hardware; the side driving low most often wins the fight, so the AND of both is
    // taken. It is neither driver's byte when they differ: a read in a clash does not give what
    // the program expects.
    const std::uint8_t part = chip_->DrivenData(lines_, now).value_or(latch);
    return static_cast<std::uint8_t>(latch & part & released);
  }
  std::uint8_t bus = kPullUps;
  if (chip_) bus = chip_->DrivenData(lines_, now).value_or(kPullUps);
  bus &= released;
  // The identification line is an open collector on D4: it wins over pull-up and part alike.
  if (model_ == 6 && (latches_[kR3] & kR3Model6Id)) bus &= static_cast<std::uint8_t>(~kD4);
  return bus;
}

void SimBoard::Insert(std::unique_ptr<SocketChip> chip) {
  chip_ = std::move(chip);
  if (chip_) chip_->OnLines(lines_, clock_.NowNs());
}

std::unique_ptr<SocketChip> SimBoard::Remove() {
  return std::move(chip_);
}

const ViolationLog& SimBoard::ChipViolations() const {
  static const ViolationLog kNoPart;
  return chip_ ? chip_->Violations() : kNoPart;
}

void SimBoard::SetModel4VppMillivolts(std::uint16_t mv) {
  model4VppMillivolts_ = mv;
  RewireSocket();
}

void SimBoard::LoseConnectionAfter(std::uint64_t accesses) {
  accessesUntilLoss_ = accesses;
  if (accesses == 0) Disconnect();
}

void SimBoard::Reconnect() {
  accessesUntilLoss_.reset();
  connected_ = true;
  PowerOn();
}

void SimBoard::OnDataPort(std::uint8_t value) {
  if (!Reached()) return;
  dataPort_ = value;
  FollowDataPort();
}

void SimBoard::OnControlPort(std::uint8_t value) {
  if (!Reached()) return;
  normalisedControl_ = NormaliseControl(model_, value);
  transparentLatch_ = TransparentLatch(normalisedControl_);
  FollowDataPort();
}

std::uint8_t SimBoard::ReadStatus() {
  if (!Reached()) return kUnconnectedStatus;
  // A part's outputs may come on by themselves (a busy part finishing), not only on a new line.
  JudgeBusClash();
  const bool latchDrives = (latches_[kR3] & kR3DataDisable) == 0;
  const bool partDrives = !latchDrives && chip_ && chip_->Drives(lines_, clock_.NowNs());
  return StatusInputs(model_, HighNibbleSelected(normalisedControl_),
                      contacts_.ToBoard(DataBus(), partDrives));
}

bool SimBoard::Reached() {
  if (connected_ && accessesUntilLoss_) {
    if (*accessesUntilLoss_ == 0) {
      Disconnect();
    } else {
      --*accessesUntilLoss_;
    }
  }
  return connected_;
}

// Without power the latches forget, and every socket pin, the part's supply too, is at 0 V.
void SimBoard::Disconnect() {
  connected_ = false;
  accessesUntilLoss_.reset();
  latches_ = {};
  lines_ = SocketLines{};
  clashing_ = false;
  if (chip_) chip_->OnLines(lines_, clock_.NowNs());
}

void SimBoard::JudgeBusClash() {
  const bool latchDrives = (latches_[kR3] & kR3DataDisable) == 0;
  const bool clashing = latchDrives && chip_ && chip_->Drives(lines_, clock_.NowNs());
  if (clashing && !clashing_) ++busClashes_;
  clashing_ = clashing;
}

void SimBoard::FollowDataPort() {
  if (!connected_) return;
  if (transparentLatch_ == kNoLatch || latches_[transparentLatch_] == dataPort_) return;
  latches_[transparentLatch_] = dataPort_;
  RewireSocket();
}

// Recomputing the socket is cheap; telling the part only on a real change keeps reads fast. Runs
// only when a latch changed.
void SimBoard::RewireSocket() {
  if (!connected_) return;
  const SocketLines lines = contacts_.ToPart(WireSocket(model_, latches_, model4VppMillivolts_));
  if (lines != lines_) {
    lines_ = lines;
    if (chip_) chip_->OnLines(lines_, clock_.NowNs());
  }
  // Register 4 may start driving FFh onto pulled-up lines: no line moves, yet both drive.
  JudgeBusClash();
}

}  // namespace sorvell::sim
