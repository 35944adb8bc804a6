#include "sim/eprom_chip.h"

#include <algorithm>

namespace sorvell::sim {

namespace {

// Inputs other than VPP are rated to about VCC + 1 V; the board only ever puts 0 V, 5 V or VPP
// on a pin, so anything above this is VPP where it does not belong.
constexpr std::uint16_t kInputMaxMillivolts = 7000;

std::string Volts(std::uint16_t millivolts) {
  return std::to_string(millivolts / 1000) + "." + std::to_string(millivolts % 1000 / 100) + " V";
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
  const bool pulsing = PulseApplied(pins);
  if (pulse_ && !pulsing) {
    EndPulse(nowNs);
  } else if (pulse_) {
    if (Address(pins) != pulse_->address || pins.Data() != pulse_->data) pulse_->disturbed = true;
  } else if (pulsing) {
    pulse_ = ActivePulse{nowNs, Address(pins), pins.Data(), false};
  }
}

std::optional<std::uint8_t> EpromChip::DrivenData(const SocketLines& lines, std::uint64_t) const {
  const DevicePins pins(lines, PinCount());
  if (!OutputsEnabled(pins)) return std::nullopt;
  if (Damaged()) return kDamagedReadValue;
  return cells_.Read(Address(pins));
}

void EpromChip::Erase() {
  cells_.Erase();
  pulse_.reset();
  totalPulses_ = 0;
  disturbedPulses_ = 0;
}

bool EpromChip::PulseApplied(const DevicePins& pins) const {
  const EpromPinout& p = part_.pins;
  const std::uint16_t vpp = pins.Millivolts(p.vppPin);
  if (!pins.Powered(p.vccPin) || vpp < part_.vpp.minMillivolts || vpp > part_.vpp.maxMillivolts) {
    return false;
  }
  // On an OE/VPP part the OE pin is at VPP now, which is as inactive as OE gets.
  if (!part_.OeIsVpp() && pins.Low(p.oePin)) return false;
  if (!part_.HasPgmPin()) return pins.Low(p.cePin);
  return pins.Low(p.cePin) && pins.Low(p.pgmPin);
}

// Read: CE and OE low (and PGM high). The parts whose CE is the program pulse and that have a
// VPP pin of their own (27256, 27C256, 27C040 families) also have a program-verify mode: OE low
// with CE high while VPP is on, so a byte can be checked between pulses without a pulse.
bool EpromChip::OutputsEnabled(const DevicePins& pins) const {
  const EpromPinout& p = part_.pins;
  if (!pins.Powered(p.vccPin) || pins.High(p.oePin)) return false;
  if (pins.High(p.cePin)) return ProgramVerify(pins);
  return !part_.HasPgmPin() || pins.High(p.pgmPin);
}

bool EpromChip::ProgramVerify(const DevicePins& pins) const {
  if (part_.HasPgmPin() || part_.OeIsVpp()) return false;
  const std::uint16_t vpp = pins.Millivolts(part_.pins.vppPin);
  return vpp >= part_.vpp.minMillivolts && vpp <= part_.vpp.maxMillivolts;
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
  ++totalPulses_;
  if (pulse_->disturbed) {
    ++disturbedPulses_;
  } else {
    cells_.Pulse(pulse_->address, pulse_->data, nowNs - pulse_->startNs);
  }
  pulse_.reset();
}

std::unique_ptr<EpromChip> MakeEprom(const std::string& partName,
                                     std::span<const std::uint8_t> image) {
  const EpromPart* part = FindEpromPart(partName);
  return part ? std::make_unique<EpromChip>(*part, image) : nullptr;
}

}  // namespace sorvell::sim
