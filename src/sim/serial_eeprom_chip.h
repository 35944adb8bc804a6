#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/flash_cells.h"
#include "sim/socket.h"

namespace sorvell::sim {

struct SerialEepromPart {
  std::string name;
  std::uint32_t sizeBytes;
  std::uint32_t pageBytes;
  // Word address bytes after the device address: 1 when the device address carries the block
  // bits (24C01 to 24C16), 2 when it carries only the chip select pins (24C32 and up).
  int wordAddressBytes;
  // Bits 3..1 of the device address that must match the part's select pins (all tied low in the
  // adapter); the remaining ones of bits 3..1 are block bits, the high bits of the memory address.
  std::uint8_t selectMask;
};

// A two-wire serial EEPROM (24C01 to 24C512) in its adapter on the 32-pin socket. The
// adapter powers it, puts SCL on the board's CE line (socket pin 22) and SDA on D7 (socket
// pin 21). SDA is open drain: the line is low while the board drives D7 low (R4 driving, bit 7
// 0) or the part pulls it low, high otherwise (OpenDrainLow tells the board what the part pulls).
//
// The protocol, from the datasheets: START is SDA falling while SCL is high, STOP SDA rising while
// SCL is high; bits are taken on SCL rising and change while SCL is low; after each byte a ninth
// clock carries the acknowledge, SDA pulled low by the receiver. The device address is 1010b,
// three select or block bits, R/W. A write sends the word address (one byte, or two for the
// 24C32: high then low, 12 bits used), then data bytes into the page buffer, whose low address
// bits wrap within the page; STOP starts the internal write cycle of the bytes loaded, during which
// the part ignores its inputs and so does not acknowledge its address (acknowledge polling). A
// read sends bytes from the address counter (the one a write's word address set, or the one after
// the last byte accessed), rolling over at the end of the memory; each one acknowledged by the
// master brings the next, a missing acknowledge ends the read. A START without a STOP in the
// middle of a write discards the bytes loaded: that is the dummy write of a random read.
class SerialEepromChip final : public SocketChip {
 public:
  static constexpr int kSclSocketPin = 22;
  static constexpr int kSdaSocketPin = 21;
  static constexpr std::uint8_t kSdaDataBit = 0x80;
  // Write cycle tWR: 5 ms maximum in the datasheets.
  static constexpr std::uint64_t kDefaultWriteCycleNs = 5'000'000;

  // Cells from the image, the rest FFh as shipped. Throws std::invalid_argument if the image is
  // larger than the part.
  SerialEepromChip(const SerialEepromPart& part, std::span<const std::uint8_t> image = {});

  // The 8-pin part sits in an adapter that does its own wiring, so it does not occupy the socket
  // from its bottom the way a 24- or 28-pin part does.
  int PinCount() const override { return 8; }
  void OnLines(const SocketLines& lines, std::uint64_t nowNs) override;
  // The part has no push-pull outputs: it only pulls SDA low.
  std::optional<std::uint8_t> DrivenData(const SocketLines&, std::uint64_t) const override {
    return std::nullopt;
  }
  std::uint8_t OpenDrainLow(const SocketLines&, std::uint64_t) const override {
    return pullingSda_ ? kSdaDataBit : 0;
  }
  // SDA changing in the instant SCL rises, the board holding SDA low while the part acknowledges
  // or sends a 1 bit, and bus timing a 100 kHz part cannot follow.
  const ViolationLog& Violations() const override { return violations_; }
  // Every START, STOP and SCL rising edge on the bus, whether the part listened or not.
  PartActivity Activity() const override { return activity_; }

  const std::string& Name() const { return part_.name; }
  const std::vector<std::uint8_t>& Contents() const { return cells_.Bytes(); }
  std::uint32_t SizeBytes() const { return cells_.Size(); }
  std::uint32_t PageBytes() const { return part_.pageBytes; }
  std::uint32_t AddressCounter() const { return counter_; }
  bool Busy(std::uint64_t nowNs) const { return nowNs < writeEndNs_; }
  std::uint64_t WriteCycleNs() const { return writeCycleNs_; }
  void SetWriteCycleNs(std::uint64_t ns) { writeCycleNs_ = ns; }
  // What a bus analyser on SCL and SDA shows: the bytes the part took from the board, one entry per
  // START it heard (device address first); the part's own bytes are not in it. Kept for the first
  // kHeardTransactions STARTs.
  static constexpr std::size_t kHeardTransactions = 4096;
  const std::vector<std::vector<std::uint8_t>>& Heard() const { return heard_; }

  // Faults.
  // The bits in mask hold stuckValue's level; with mask FFh a byte that never takes. Throws
  // std::out_of_range beyond the part.
  void SetStuckBits(std::uint32_t address, std::uint8_t mask, std::uint8_t stuckValue) {
    cells_.SetStuckBits(address, mask, stuckValue);
  }
  // An absent or dead part: it never acknowledges and never pulls SDA.
  void SetNeverAcknowledges(bool dead) {
    dead_ = dead;
    if (dead) pullingSda_ = false;
  }
  // The WP pin tied high: the part acknowledges as usual but starts no write cycle, so its cells
  // keep their contents.
  void SetWriteProtected(bool protectedPart) { writeProtected_ = protectedPart; }
  // Write cycles started from now on never end: after its next write the part stays busy and
  // never acknowledges again until it is taken out.
  void SetWriteHangs(bool hangs) { writeHangs_ = hangs; }

 private:
  static constexpr std::uint64_t kNever = ~std::uint64_t{0};

  enum class State {
    kIdle,           // waiting for a START; also not addressed, busy, or a read that ended
    kDeviceAddress,  // receiving the device address
    kWordHigh,       // receiving the high word address byte (24C32)
    kWordLow,        // receiving the (low) word address byte
    kWriteData,      // receiving data bytes into the page buffer
    kReadBegins,     // read address acknowledged: the first byte goes out after the ninth clock
    kReadData,       // sending bytes
  };

  bool Sda() const { return masterSda_ && !pullingSda_; }
  // Records a violation and drops the transaction when `elapsedNs` is below `neededNs`.
  bool TooSoon(std::int64_t elapsedNs, std::int64_t neededNs, const char* what);
  void LoseFrame();
  void Start(std::uint64_t nowNs);
  void Stop(std::uint64_t nowNs);
  void OnSclRose();
  void OnSclFell();
  bool TakeByte(std::uint8_t byte);
  void SendNextByte();
  void Record(ViolationLog::Kind kind, const std::string& what) {
    violations_.Record(kind, part_.name + ": " + what);
  }

  SerialEepromPart part_;
  FlashCells cells_;
  std::uint64_t writeCycleNs_ = kDefaultWriteCycleNs;
  std::uint64_t writeEndNs_ = 0;
  bool dead_ = false;
  bool writeHangs_ = false;
  bool writeProtected_ = false;

  bool seenLines_ = false;
  bool scl_ = true;
  bool masterSda_ = true;  // the board's side of SDA
  bool pullingSda_ = false;
  // When SCL last rose and fell, and the last START and STOP; long ago at first.
  static constexpr std::int64_t kLongAgo = INT64_MIN / 2;
  std::int64_t sclRoseNs_ = kLongAgo;
  std::int64_t sclFellNs_ = kLongAgo;
  std::int64_t startNs_ = kLongAgo;
  std::int64_t stopNs_ = kLongAgo;

  State state_ = State::kIdle;
  int bits_ = 0;  // SCL rising edges in the current byte frame, the ninth being the acknowledge
  std::uint8_t shift_ = 0;
  std::uint8_t sending_ = 0;
  bool masterAcknowledged_ = false;
  bool acknowledgeClock_ = false;  // the next SCL rising edge is the part's acknowledge
  std::uint32_t block_ = 0;
  std::uint32_t wordHigh_ = 0;
  std::uint32_t counter_ = 0;
  std::uint32_t pageBase_ = 0;
  std::vector<std::optional<std::uint8_t>> page_;
  ViolationLog violations_;
  PartActivity activity_;
  std::vector<std::vector<std::uint8_t>> heard_;
};

// A fresh 24C01 to 24C512 by its chip name as the device list writes it; nullptr for
// another name. Throws std::invalid_argument if the image is larger than the part.
std::unique_ptr<SerialEepromChip> MakeSerialEeprom(const std::string& name,
                                                   std::span<const std::uint8_t> image = {});
std::vector<std::string> SerialEepromPartNames();

}  // namespace sorvell::sim
