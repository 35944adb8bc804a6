#include "sim/eprom_chip.h"

#include <algorithm>
#include <cstdio>

namespace sorvell::sim {

namespace {

// Inputs other than VPP are rated to about VCC + 1 V; the board only ever puts 0 V, 5 V or VPP
// on a pin, so anything above this is VPP where it does not belong.
constexpr std::uint16_t kInputMaxMillivolts = 7000;

std::string Volts(std::uint16_t millivolts) {
  return std::to_string(millivolts / 1000) + "." + std::to_string(millivolts % 1000 / 100) + " V";
}

std::string Microseconds(std::uint64_t ns) {
  return std::to_string(ns / 1000) + " us";
}

std::string Hex(std::uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "%05Xh", address);
  return text;
}

}  // namespace

EpromChip::EpromChip(const EpromPart& part, std::span<const std::uint8_t> image)
    : part_(part), cells_(part.SizeBytes(), part.cellProgramNs, image) {}

void EpromChip::OnLines(const SocketLines& lines, std::uint64_t nowNs) {
  const DevicePins pins(lines, PinCount());
  CheckVoltages(pins);
  if (Damaged()) {
    pulse_.reset();
    return;
  }
  readJudged_ = false;
  const bool pulsing = PulseApplied(pins);
  if (pulse_ && !pulsing) {
    EndPulse(nowNs);
  } else if (pulse_) {
    if (Address(pins) != pulse_->address || pins.Data() != pulse_->data) pulse_->disturbed = true;
  } else if (pulsing) {
    pulse_ = ActivePulse{nowNs, Address(pins), pins.Data(), false};
  }
  if (!VppAtProgramLevel(pins)) lastPulsed_.reset();
}

std::optional<std::uint8_t> EpromChip::DrivenData(const SocketLines& lines, std::uint64_t) const {
  const DevicePins pins(lines, PinCount());
  if (!OutputsEnabled(pins)) return std::nullopt;
  if (Damaged()) return kDamagedReadValue;
  if (VppAtProgramLevel(pins) && !VerifiesLastPulse(pins)) {
    RecordReadWithVpp(pins);
    return std::nullopt;
  }
  return cells_.Read(Address(pins));
}

// What DrivenData decides, without recording a read with VPP on: the board asks this on every
// change of the lines, not only when it samples the bus.
bool EpromChip::Drives(const SocketLines& lines, std::uint64_t) const {
  const DevicePins pins(lines, PinCount());
  if (!OutputsEnabled(pins)) return false;
  return Damaged() || !VppAtProgramLevel(pins) || VerifiesLastPulse(pins);
}

void EpromChip::Erase() {
  cells_.Erase();
  pulse_.reset();
  lastPulsed_.reset();
  totalPulses_ = 0;
  disturbedPulses_ = 0;
  pulseWidths_.clear();
}

bool EpromChip::PulseApplied(const DevicePins& pins) const {
  const EpromPinout& p = part_.pins;
  if (!pins.Powered(p.vccPin) || !VppInWindow(pins)) return false;
  // On an OE/VPP part the OE pin is at VPP now, which is as inactive as OE gets.
  if (!part_.OeIsVpp() && pins.Low(p.oePin)) return false;
  if (!part_.HasPgmPin()) return pins.Low(p.cePin);
  return pins.Low(p.cePin) && pins.Low(p.pgmPin);
}

// Read: CE and OE low (and PGM high). The parts whose CE is the program pulse and that have a
// VPP pin of their own (27256, 27C256, 27C040 families) also have a program-verify mode: OE low
// with CE high while VPP is on, so a byte can be checked between pulses without a pulse. On the
// parts with a PGM pin, program verify is the read state with VPP on.
bool EpromChip::OutputsEnabled(const DevicePins& pins) const {
  const EpromPinout& p = part_.pins;
  if (!pins.Powered(p.vccPin) || pins.High(p.oePin)) return false;
  if (part_.readsWithVppAtVcc && !pins.Powered(p.vppPin)) return false;
  if (pins.High(p.cePin)) return !part_.HasPgmPin() && !part_.OeIsVpp() && VppAtProgramLevel(pins);
  return !part_.HasPgmPin() || pins.High(p.pgmPin);
}

// Above what a logic input stands: the board switched VPP onto the pin.
bool EpromChip::VppAtProgramLevel(const DevicePins& pins) const {
  return pins.Millivolts(part_.pins.vppPin) > kInputMaxMillivolts;
}

bool EpromChip::VppInWindow(const DevicePins& pins) const {
  const std::uint16_t vpp = pins.Millivolts(part_.pins.vppPin);
  return vpp >= part_.vpp.minMillivolts && vpp <= part_.vpp.maxMillivolts;
}

// Program verify: the part's verify state (CE high on CE-pulse parts, CE low on PGM parts), VPP
// within its window, at the address of the pulse just given.
bool EpromChip::VerifiesLastPulse(const DevicePins& pins) const {
  const bool verifyState = part_.HasPgmPin() == pins.Low(part_.pins.cePin);
  return verifyState && VppInWindow(pins) && lastPulsed_ == Address(pins);
}

void EpromChip::RecordReadWithVpp(const DevicePins& pins) const {
  if (readJudged_) return;
  readJudged_ = true;
  violations_.Record(ViolationLog::Kind::kReadWithVpp,
                     "read at " + Hex(Address(pins)) + " with VPP " +
                         Volts(pins.Millivolts(part_.pins.vppPin)) + " on pin " +
                         std::to_string(part_.pins.vppPin));
}

std::uint32_t EpromChip::Address(const DevicePins& pins) const {
  return pins.Bits(part_.AddressPins());
}

// An unpowered part is taken to survive anything: with VCC off there is no path for the
// programming current that ruins it.
void EpromChip::CheckVoltages(const DevicePins& pins) {
  const EpromPinout& p = part_.pins;
  if (!pins.Powered(p.vccPin)) return;
  const std::uint16_t vpp = pins.Millivolts(p.vppPin);
  if (!Damaged() && vpp > part_.vpp.destroyMillivolts) {
    damage_ = "VPP " + Volts(vpp) + " on pin " + std::to_string(p.vppPin) + ", above its " +
              Volts(part_.vpp.destroyMillivolts) + " limit";
  }
  for (int pin = 1; pin <= p.pinCount; ++pin) {
    if (pin == p.vppPin || pin == p.vccPin || pins.Millivolts(pin) <= kInputMaxMillivolts) continue;
    if (std::ranges::find(strayPins_, pin) == strayPins_.end()) strayPins_.push_back(pin);
  }
}

void EpromChip::EndPulse(std::uint64_t nowNs) {
  const std::uint64_t widthNs = nowNs - pulse_->startNs;
  ++totalPulses_;
  ++pulsesEver_;
  ++pulseWidths_[widthNs];
  JudgePulseWidth(widthNs);
  if (pulse_->disturbed) {
    ++disturbedPulses_;
  } else {
    cells_.Pulse(pulse_->address, pulse_->data, widthNs);
  }
  lastPulsed_ = pulse_->address;
  pulse_.reset();
}

void EpromChip::JudgePulseWidth(std::uint64_t widthNs) {
  const PulseWindow& window = part_.pulse;
  if (widthNs >= window.minNs && widthNs <= window.maxNs) return;
  violations_.Record(ViolationLog::Kind::kPulseWidth,
                     "program pulse of " + Microseconds(widthNs) + " at " + Hex(pulse_->address) +
                         ", outside " + Microseconds(window.minNs) + " to " +
                         Microseconds(window.maxNs));
}

std::unique_ptr<EpromChip> MakeEprom(const std::string& partName,
                                     std::span<const std::uint8_t> image) {
  const EpromPart* part = FindEpromPart(partName);
  return part ? std::make_unique<EpromChip>(*part, image) : nullptr;
}

}  // namespace sorvell::sim
