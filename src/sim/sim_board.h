#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "sim/contact_faults.h"
#include "sim/latch_decode.h"
#include "sim/socket.h"
#include "sim/virtual_clock.h"

namespace sorvell::sim {

// One programmer board: five latches clocked from the control port, the status read-back and the
// 32-pin socket with whatever part sits in it. The port bus feeds it through OnDataPort,
// OnControlPort and ReadStatus.
class SimBoard {
 public:
  // Model 4, 5 or 6; throws std::invalid_argument otherwise. Starts with all latches 0.
  SimBoard(int model, const VirtualClock& clock);

  int Model() const { return model_; }
  // Latch contents after power-up are undefined on the hardware: all 0 here, or random bytes
  // drawn from the seed. A latch that is transparent at that moment follows the data port.
  void PowerOn(std::optional<std::uint32_t> randomSeed = std::nullopt);

  std::uint8_t Latch(int index) const { return latches_.at(index); }
  // D7..D0 as the board sees them now: R4 while R3 bit 6 lets it drive, else the part's outputs,
  // else the pull-ups; then model 6's identification line. When R4 and the part both drive (a bus
  // clash, which BusClashes counts) the level is undefined on the hardware: the AND of both is
  // taken, as two push-pull outputs fighting most often read. A line the part pulls low through an
  // open-drain output reads low in every case, and is no clash.
  std::uint8_t DataBus() const;
  const SocketLines& Lines() const { return lines_; }

  // The new part first learns the current lines.
  void Insert(std::unique_ptr<SocketChip> chip);
  std::unique_ptr<SocketChip> Remove();
  SocketChip* Chip() const { return chip_.get(); }
  // What the part in the socket recorded against the board; an empty log without a part.
  const ViolationLog& ChipViolations() const;

  void SetModel4VppMillivolts(std::uint16_t mv);

  // Fault: the board loses its power or its cable after `accesses` more port accesses reach it
  // (0: at once). From then the latches hold nothing, the socket is unpowered, writes reach
  // nothing and the status lines read what an unconnected port reads (FFh).
  void LoseConnectionAfter(std::uint64_t accesses);
  // Power and cable back: the latches start as at power-on.
  void Reconnect();
  bool Connected() const { return connected_; }

  // Faults of the socket's contacts (sim/contact_faults.h); the part learns the lines anew.
  void ChangeContacts(const std::function<void(ContactFaults&)>& change) {
    change(contacts_);
    RewireSocket();
  }

  // Times the board's data latch began to drive D7..D0 while the part drove them too: each one a
  // bus clash that stresses both drivers.
  std::uint64_t BusClashes() const { return busClashes_; }

  // The parallel port's side.
  void OnDataPort(std::uint8_t value);
  void OnControlPort(std::uint8_t value);
  std::uint8_t ReadStatus();

 private:
  void FollowDataPort();
  void RewireSocket();
  // Counts the access against a pending connection loss; false once the board is gone.
  bool Reached();
  void Disconnect();
  void JudgeBusClash();

  int model_;
  const VirtualClock& clock_;
  Latches latches_{};
  std::uint8_t dataPort_ = 0;
  std::uint8_t normalisedControl_ = 0;
  int transparentLatch_ = kNoLatch;
  std::uint16_t model4VppMillivolts_;
  SocketLines lines_;
  ContactFaults contacts_;
  std::unique_ptr<SocketChip> chip_;
  bool connected_ = true;
  std::optional<std::uint64_t> accessesUntilLoss_;
  bool clashing_ = false;
  std::uint64_t busClashes_ = 0;
};

}  // namespace sorvell::sim
