#include "sim/bus_cycles.h"

namespace sorvell::sim {

BusEvents BusCycles::Update(const SocketLines& lines, std::uint64_t nowNs) {
  BusEvents events;
  const DevicePins pins(lines, pins_.pinCount);
  if (!pins.Powered(pins_.vccPin)) {
    events.powerLost = powered_;
    powered_ = reading_ = inhibited_ = false;
    writing_.reset();
    return events;
  }
  powered_ = true;
  const bool ceWeLow = pins.Low(pins_.cePin) && pins.Low(pins_.wePin);
  const bool oeLow = pins.Low(pins_.oePin);

  const bool inhibited = ceWeLow && oeLow;
  events.inhibitedWrite = inhibited && !inhibited_;
  inhibited_ = inhibited;

  if (writing_ && inhibited) {
    writing_.reset();
  } else if (writing_ && !ceWeLow) {
    events.write = writing_;  // data as it stood up to the rising edge
    writing_.reset();
  } else if (writing_) {
    writing_->data = pins.Data();
  } else if (ceWeLow && !oeLow) {
    writing_ = BusWrite{Address(lines), pins.Data(), nowNs};
  }

  const bool reading = pins.Low(pins_.cePin) && oeLow && pins.High(pins_.wePin);
  events.readBegan = reading && !reading_;
  reading_ = reading;
  return events;
}

bool BusCycles::Reading(const SocketLines& lines) const {
  const DevicePins pins(lines, pins_.pinCount);
  return pins.Powered(pins_.vccPin) && pins.Low(pins_.cePin) && pins.Low(pins_.oePin) &&
         pins.High(pins_.wePin);
}

std::uint32_t BusCycles::Address(const SocketLines& lines) const {
  return DevicePins(lines, pins_.pinCount).Bits(pins_.addressPins);
}

std::optional<std::uint64_t> BusCycles::WriteStartNs() const {
  if (!writing_) return std::nullopt;
  return writing_->startNs;
}

}  // namespace sorvell::sim
