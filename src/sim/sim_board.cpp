#include "sim/sim_board.h"

#include <random>
#include <stdexcept>

#include "sim/socket_wiring.h"
#include "sim/status_wiring.h"

namespace sorvell::sim {

namespace {

constexpr std::uint8_t kD4 = 0x10;
constexpr std::uint8_t kPullUps = 0xFF;

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
  // An open-drain line is low if the board or the part pulls it: wired-AND.
  const std::uint8_t openDrainLow = chip_ ? chip_->OpenDrainLow(lines_, clock_.NowNs()) : 0;
  const std::uint8_t released = static_cast<std::uint8_t>(~openDrainLow);
  if ((latches_[kR3] & kR3DataDisable) == 0) return latches_[kR4] & released;
  std::uint8_t bus = kPullUps;
  if (chip_) bus = chip_->DrivenData(lines_, clock_.NowNs()).value_or(kPullUps);
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

void SimBoard::OnDataPort(std::uint8_t value) {
  dataPort_ = value;
  FollowDataPort();
}

void SimBoard::OnControlPort(std::uint8_t value) {
  normalisedControl_ = NormaliseControl(model_, value);
  transparentLatch_ = TransparentLatch(normalisedControl_);
  FollowDataPort();
}

std::uint8_t SimBoard::ReadStatus() const {
  return StatusInputs(model_, HighNibbleSelected(normalisedControl_), DataBus());
}

void SimBoard::FollowDataPort() {
  if (transparentLatch_ == kNoLatch || latches_[transparentLatch_] == dataPort_) return;
  latches_[transparentLatch_] = dataPort_;
  RewireSocket();
}

// Recomputing the socket is cheap; telling the part only on a real change keeps reads fast.
void SimBoard::RewireSocket() {
  const SocketLines lines = WireSocket(model_, latches_, model4VppMillivolts_);
  if (lines == lines_) return;
  lines_ = lines;
  if (chip_) chip_->OnLines(lines_, clock_.NowNs());
}

}  // namespace sorvell::sim
