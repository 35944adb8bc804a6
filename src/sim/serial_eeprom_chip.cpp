#include "sim/serial_eeprom_chip.h"

namespace sorvell::sim {

namespace {

constexpr std::uint8_t kDeviceCode = 0xA0;  // 1010b in bits 7..4
constexpr std::uint8_t kReadBit = 0x01;

// Sizes and pages from the datasheets. The 24C01 and 24C02 have three select pins and 8-byte
// pages; the 24C04 two select pins (A2 A1) and one block bit; the 24C08 one select pin, A2
// (device address bit 3), and two block bits; the 24C16 uses all three bits as block bits. From
// the 24C32 on, A2 A1 A0 select and two word address bytes follow: 32-byte pages up to the 24C64,
// 64 on the 24C128 and 24C256, 128 on the 24C512. The adapter ties every select pin low.
const SerialEepromPart kParts[] = {
    {"24C01", 128, 8, 1, 0x0E},      {"24C02", 256, 8, 1, 0x0E},     {"24C04", 512, 16, 1, 0x0C},
    {"24C08", 1024, 16, 1, 0x08},    {"24C16", 2048, 16, 1, 0x00},   {"24C32", 4096, 32, 2, 0x0E},
    {"24C64", 8192, 32, 2, 0x0E},    {"24C128", 16384, 64, 2, 0x0E}, {"24C256", 32768, 64, 2, 0x0E},
    {"24C512", 65536, 128, 2, 0x0E},
};

// Standard-mode (100 kHz) bus timing of the datasheets, in ns: SCL low and high, START set-up
// (SCL high before SDA falls) and hold (SDA low before SCL falls), STOP set-up, and the bus free
// time between a STOP and the next START.
constexpr std::int64_t kSclLowNs = 4700;
constexpr std::int64_t kSclHighNs = 4000;
constexpr std::int64_t kStartSetupNs = 4700;
constexpr std::int64_t kStartHoldNs = 4000;
constexpr std::int64_t kStopSetupNs = 4000;
constexpr std::int64_t kBusFreeNs = 4700;

bool High(const SocketLines& lines, int pin) {
  return lines.millivolts[pin] >= kLogicHighMinMillivolts;
}

}  // namespace

SerialEepromChip::SerialEepromChip(const SerialEepromPart& part,
                                   std::span<const std::uint8_t> image)
    : part_(part), cells_(part.sizeBytes, image), page_(part.pageBytes) {}

// Edges that come in one change of the lines are ordered as the datasheet timing allows: SDA may
// change together with SCL falling (hold time 0), so SCL falls first; SDA changing together with
// SCL rising misses the data setup time: recorded, and taken as settled before the edge.
void SerialEepromChip::OnLines(const SocketLines& lines, std::uint64_t nowNs) {
  const bool scl = High(lines, kSclSocketPin);
  const bool masterSda = High(lines, kSdaSocketPin);
  if (!seenLines_) {
    seenLines_ = true;
    scl_ = scl;
    masterSda_ = masterSda;
    return;
  }
  const auto now = static_cast<std::int64_t>(nowNs);
  const bool sclRose = scl && !scl_;
  if (!scl && scl_) {
    scl_ = false;
    sclFellNs_ = now;
    const bool lost =
        TooSoon(now - sclRoseNs_, kSclHighNs, "SCL high") ||
        (startNs_ > sclRoseNs_ && TooSoon(now - startNs_, kStartHoldNs, "START hold"));
    if (!lost) OnSclFell();
  }
  if (masterSda != masterSda_) {
    if (sclRose) {
      Record(ViolationLog::Kind::kSerialDataSetup, "SDA changed in the instant SCL rose");
    }
    const bool before = Sda();
    masterSda_ = masterSda;
    const bool after = Sda();
    if (scl_ && before != after) {
      if (after) {
        ++activity_.stops;
        Stop(nowNs);
      } else {
        ++activity_.starts;
        Start(nowNs);
      }
    }
  }
  if (sclRose) {
    ++activity_.clocks;
    scl_ = true;
    sclRoseNs_ = now;
    if (!TooSoon(now - sclFellNs_, kSclLowNs, "SCL low")) OnSclRose();
  }
}

bool SerialEepromChip::TooSoon(std::int64_t elapsedNs, std::int64_t neededNs, const char* what) {
  if (state_ == State::kIdle || elapsedNs >= neededNs) return false;
  Record(ViolationLog::Kind::kSerialTiming, std::string(what) + " " + std::to_string(elapsedNs) +
                                                " ns, a 100 kHz part needs " +
                                                std::to_string(neededNs));
  LoseFrame();
  return true;
}

// A part that missed an edge has lost count of the bits: it lets go of SDA and waits for the next
// START, forgetting the page it was loading.
void SerialEepromChip::LoseFrame() {
  pullingSda_ = false;
  acknowledgeClock_ = false;
  state_ = State::kIdle;
}

// During the write cycle the inputs are off: the part does not even see the START.
void SerialEepromChip::Start(std::uint64_t nowNs) {
  const auto now = static_cast<std::int64_t>(nowNs);
  const std::int64_t sinceStop = now - stopNs_;
  const std::int64_t sclHigh = now - sclRoseNs_;
  startNs_ = now;
  // A part that listens records a START it cannot take (TooSoon looks only while listening).
  const bool listening = !dead_ && !Busy(nowNs);
  state_ = listening ? State::kDeviceAddress : State::kIdle;
  if (TooSoon(sclHigh, kStartSetupNs, "START set-up") ||
      TooSoon(sinceStop, kBusFreeNs, "bus free time before START")) {
    return;
  }
  pullingSda_ = false;
  acknowledgeClock_ = false;
  bits_ = 0;
  shift_ = 0;
  if (listening && heard_.size() < kHeardTransactions) heard_.emplace_back();
}

void SerialEepromChip::Stop(std::uint64_t nowNs) {
  const auto now = static_cast<std::int64_t>(nowNs);
  stopNs_ = now;
  if (TooSoon(now - sclRoseNs_, kStopSetupNs, "STOP set-up")) return;
  pullingSda_ = false;
  acknowledgeClock_ = false;
  bool loaded = false;
  if (state_ == State::kWriteData && !writeProtected_) {
    for (std::uint32_t offset = 0; offset < part_.pageBytes; ++offset) {
      if (!page_[offset]) continue;
      cells_.Write(pageBase_ + offset, *page_[offset]);
      loaded = true;
    }
  }
  if (loaded) writeEndNs_ = writeHangs_ ? kNever : nowNs + writeCycleNs_;
  state_ = State::kIdle;
}

void SerialEepromChip::OnSclRose() {
  // The master must let go of SDA for the acknowledge, or it reads its own low as one.
  if (acknowledgeClock_ && !masterSda_) {
    Record(ViolationLog::Kind::kSdaNotReleased,
           "the board held SDA low during the part's acknowledge clock");
  }
  acknowledgeClock_ = false;
  if (state_ == State::kIdle) return;
  const bool sending = state_ == State::kReadData;
  if (bits_ < 8) {
    if (sending && (sending_ & (0x80 >> bits_)) && !masterSda_) {
      Record(ViolationLog::Kind::kSdaNotReleased,
             "the board held SDA low while the part sent a 1 bit");
    }
    if (!sending) shift_ = static_cast<std::uint8_t>(shift_ << 1 | (Sda() ? 1 : 0));
    ++bits_;
    return;
  }
  if (bits_ == 8) {
    if (sending) masterAcknowledged_ = !Sda();
    bits_ = 9;
  }
}

void SerialEepromChip::OnSclFell() {
  if (state_ == State::kIdle) return;
  if (state_ == State::kReadData && bits_ >= 1 && bits_ <= 7) {
    pullingSda_ = (sending_ & (0x80 >> bits_)) == 0;
    return;
  }
  if (bits_ == 8) {
    // The byte is complete: a receiver answers during the ninth clock, a sender lets go of SDA.
    acknowledgeClock_ = state_ != State::kReadData;
    pullingSda_ = acknowledgeClock_ && TakeByte(shift_);
    return;
  }
  if (bits_ != 9) return;
  pullingSda_ = false;
  bits_ = 0;
  shift_ = 0;
  if (state_ == State::kReadBegins || (state_ == State::kReadData && masterAcknowledged_)) {
    state_ = State::kReadData;
    SendNextByte();
  } else if (state_ == State::kReadData) {
    state_ = State::kIdle;  // no acknowledge: the read is over, the part waits for STOP or START
  }
}

// Whether the part acknowledges the byte it just received.
bool SerialEepromChip::TakeByte(std::uint8_t byte) {
  if (!heard_.empty() && heard_.size() < kHeardTransactions) heard_.back().push_back(byte);
  switch (state_) {
    case State::kDeviceAddress: {
      const std::uint8_t select = static_cast<std::uint8_t>(part_.selectMask | 0xF0);
      if ((byte & select) != kDeviceCode) {
        state_ = State::kIdle;
        return false;
      }
      block_ = static_cast<std::uint32_t>(byte & 0x0E & ~part_.selectMask) >> 1;
      if (byte & kReadBit) {
        state_ = State::kReadBegins;
      } else {
        state_ = part_.wordAddressBytes == 2 ? State::kWordHigh : State::kWordLow;
      }
      return true;
    }
    case State::kWordHigh:
      wordHigh_ = byte;
      state_ = State::kWordLow;
      return true;
    case State::kWordLow: {
      const std::uint32_t high = part_.wordAddressBytes == 2 ? wordHigh_ : block_;
      counter_ = (high << 8 | byte) % cells_.Size();
      pageBase_ = counter_ - counter_ % part_.pageBytes;
      page_.assign(part_.pageBytes, std::nullopt);
      state_ = State::kWriteData;
      return true;
    }
    case State::kWriteData: {
      // The low address bits count within the page and wrap there; a later byte for the same
      // offset replaces the earlier one.
      const std::uint32_t offset = counter_ - pageBase_;
      page_[offset] = byte;
      counter_ = pageBase_ + (offset + 1) % part_.pageBytes;
      return true;
    }
    default:
      return false;
  }
}

void SerialEepromChip::SendNextByte() {
  sending_ = cells_.Read(counter_);
  counter_ = (counter_ + 1) % cells_.Size();
  pullingSda_ = (sending_ & 0x80) == 0;
}

std::unique_ptr<SerialEepromChip> MakeSerialEeprom(const std::string& name,
                                                   std::span<const std::uint8_t> image) {
  for (const SerialEepromPart& part : kParts) {
    if (part.name == name) return std::make_unique<SerialEepromChip>(part, image);
  }
  return nullptr;
}

std::vector<std::string> SerialEepromPartNames() {
  std::vector<std::string> names;
  for (const SerialEepromPart& part : kParts) names.push_back(part.name);
  return names;
}

}  // namespace sorvell::sim
