#include "shell/simulator_commands.h"

#include <charconv>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "buffers/buffers.h"
#include "common/atomic_file.h"
#include "sim/eprom_chip.h"
#include "sim/page_write_chip.h"
#include "sim/rom_chip.h"
#include "sim/serial_eeprom_chip.h"
#include "sim/sim_board.h"
#include "sim/sim_port.h"
#include "sim/writable_parts.h"

namespace sorvell::shell {

namespace {

std::optional<std::uint32_t> HexNumber(std::string text) {
  if (text.starts_with("0x") || text.starts_with("0X")) text = text.substr(2);
  if (!text.empty() && (text.back() == 'h' || text.back() == 'H')) text.pop_back();
  std::uint32_t value = 0;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || code != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint32_t> DecimalNumber(const std::string& text) {
  std::uint32_t value = 0;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || code != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

sim::EpromChip* Eprom(sim::SimBoard& board, std::string& error) {
  auto* chip = dynamic_cast<sim::EpromChip*>(board.Chip());
  if (chip == nullptr) error = "there is no EPROM in the socket";
  return chip;
}

sim::WritableChip* Writable(sim::SimBoard& board, std::string& error) {
  auto* chip = dynamic_cast<sim::WritableChip*>(board.Chip());
  if (chip == nullptr) error = "there is no Flash or EEPROM in the socket";
  return chip;
}

// The cells of an EPROM, Flash or EEPROM in the socket; nullptr for none of them.
const std::vector<std::uint8_t>* Cells(sim::SimBoard& board, std::string& error) {
  if (auto* eprom = dynamic_cast<sim::EpromChip*>(board.Chip())) return &eprom->Contents();
  if (auto* writable = dynamic_cast<sim::WritableChip*>(board.Chip())) {
    return &writable->Contents();
  }
  if (auto* serial = dynamic_cast<sim::SerialEepromChip*>(board.Chip())) {
    return &serial->Contents();
  }
  error = "there is no EPROM, Flash or EEPROM in the socket";
  return nullptr;
}

bool InsertWritable(sim::SimBoard& board, const std::string& name,
                    const std::vector<std::uint8_t>& image, std::string& error) {
  const std::unique_ptr<sim::WritableChip> probe = sim::MakeWritableChip(name);
  if (image.size() > probe->SizeBytes()) {
    error = "the image is larger than the " + name;
    return false;
  }
  board.Insert(sim::MakeWritableChip(name, image));
  return true;
}

sim::SerialEepromChip* SerialEeprom(sim::SimBoard& board, std::string& error) {
  auto* chip = dynamic_cast<sim::SerialEepromChip*>(board.Chip());
  if (chip == nullptr) error = "there is no serial EEPROM in the socket";
  return chip;
}

bool InsertSerialEeprom(sim::SimBoard& board, const std::string& name,
                        const std::vector<std::uint8_t>& image, std::string& error) {
  const std::unique_ptr<sim::SerialEepromChip> probe = sim::MakeSerialEeprom(name);
  if (image.size() > probe->SizeBytes()) {
    error = "the image is larger than the " + name;
    return false;
  }
  board.Insert(sim::MakeSerialEeprom(name, image));
  return true;
}

bool IsSerialEepromPart(const std::string& name) {
  for (const std::string& part : sim::SerialEepromPartNames()) {
    if (part == name) return true;
  }
  return false;
}

bool IsWritablePart(const std::string& name) {
  for (const std::string& part : sim::WritablePartNames()) {
    if (part == name) return true;
  }
  return false;
}

bool Insert(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  if (words.size() < 2 || words.size() > 3) {
    error = "sim insert PART [IMAGE]";
    return false;
  }
  std::vector<std::uint8_t> image;
  if (words.size() == 3 &&
      !buffers::ReadImageFile(words[2], sim::RomChip::kMaxImageBytes, image, error)) {
    return false;
  }
  if (words[1] == "rom") {
    if (image.empty()) {
      error = "sim insert rom needs an image";
      return false;
    }
    board.Insert(std::make_unique<sim::RomChip>(std::move(image)));
    return true;
  }
  if (IsWritablePart(words[1])) return InsertWritable(board, words[1], image, error);
  if (IsSerialEepromPart(words[1])) return InsertSerialEeprom(board, words[1], image, error);
  const sim::EpromPart* part = sim::FindEpromPart(words[1]);
  if (part == nullptr) {
    error = "unknown part " + words[1] +
            " (2732A ... 27C080, AM29F010 ... AT29C256, 24C08, 24C16, 24C32, or rom)";
    return false;
  }
  if (image.size() > part->SizeBytes()) {
    error = words[2] + " is larger than the " + words[1];
    return false;
  }
  board.Insert(std::make_unique<sim::EpromChip>(*part, image));
  return true;
}

bool Save(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  const std::vector<std::uint8_t>* stored = Cells(board, error);
  if (stored == nullptr) return false;
  if (words.size() != 2) {
    error = "sim save FILE";
    return false;
  }
  const auto& cells = *stored;
  return common::WriteFileAtomically(
      words[1], std::string_view(reinterpret_cast<const char*>(cells.data()), cells.size()), error);
}

// Stuck bits: the same fault for EPROM and Flash cells.
bool StuckFault(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  const std::vector<std::uint8_t>* cells = Cells(board, error);
  if (cells == nullptr) return false;
  const auto address = HexNumber(words[2]);
  const auto mask = HexNumber(words[3]);
  const auto value = HexNumber(words[4]);
  if (!address || *address >= cells->size() || !mask || *mask > 0xFF || !value || *value > 0xFF) {
    error = "sim fault stuck ADDRESS MASK VALUE (within the part, hex)";
    return false;
  }
  const auto maskByte = static_cast<std::uint8_t>(*mask);
  const auto valueByte = static_cast<std::uint8_t>(*value);
  if (auto* eprom = dynamic_cast<sim::EpromChip*>(board.Chip())) {
    eprom->SetStuckBits(*address, maskByte, valueByte);
  } else if (auto* serial = dynamic_cast<sim::SerialEepromChip*>(board.Chip())) {
    serial->SetStuckBits(*address, maskByte, valueByte);
  } else {
    dynamic_cast<sim::WritableChip&>(*board.Chip()).SetStuckBits(*address, maskByte, valueByte);
  }
  return true;
}

bool SlowFault(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  sim::EpromChip* chip = Eprom(board, error);
  if (chip == nullptr) return false;
  const auto factor = DecimalNumber(words[3]);
  const auto address = HexNumber(words[2]);
  if (factor && *factor > 0 && words[2] == "all") {
    chip->SetSlowness(*factor);
    return true;
  }
  if (factor && *factor > 0 && address && *address < chip->Contents().size()) {
    chip->SetSlowCell(*address, *factor);
    return true;
  }
  error = "sim fault slow ADDRESS|all FACTOR (within the part)";
  return false;
}

bool IdFault(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  sim::WritableChip* chip = Writable(board, error);
  if (chip == nullptr) return false;
  if (!chip->Id()) {
    error = "the " + chip->Name() + " has no identification mode";
    return false;
  }
  const auto maker = HexNumber(words[2]);
  const auto device = HexNumber(words[3]);
  if (!maker || *maker > 0xFF || !device || *device > 0xFF) {
    error = "sim fault id MAKER DEVICE (hex bytes)";
    return false;
  }
  chip->SetForeignId({static_cast<std::uint8_t>(*maker), static_cast<std::uint8_t>(*device)});
  return true;
}

// Faults of the socket's contacts: they stay with the socket when the part is changed.
bool ContactFault(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  const std::string& kind = words[1];
  const auto line = words.size() > 2 ? DecimalNumber(words[2]) : std::nullopt;
  const std::string how = words.size() > 3 ? words[3] : "";
  const auto percent = words.size() > 3 ? DecimalNumber(words[3]) : std::nullopt;
  const auto seed = words.size() > 4 ? DecimalNumber(words[4]) : std::optional<std::uint32_t>(1);
  std::function<void(sim::ContactFaults&)> change;
  if (kind == "data-line" && line && *line < 8 && words.size() == 4 &&
      (how == "low" || how == "high" || how == "open")) {
    change = [&](sim::ContactFaults& c) {
      how == "open" ? c.OpenDataLine(static_cast<int>(*line))
                    : c.HoldDataLine(static_cast<int>(*line), how == "high");
    };
  } else if (kind == "address-line" && line && *line < 20 && words.size() == 4 &&
             (how == "open" || (how == "short" && *line < 19))) {
    change = [&](sim::ContactFaults& c) {
      how == "open" ? c.OpenAddressLine(static_cast<int>(*line))
                    : c.ShortAddressLines(static_cast<int>(*line));
    };
  } else if (kind == "contact" && line && *line < 8 && percent && *percent >= 1 &&
             *percent <= 100 && seed && words.size() <= 5) {
    change = [&](sim::ContactFaults& c) {
      c.MakeContactFlaky(static_cast<int>(*line), static_cast<int>(*percent),
                         static_cast<std::uint32_t>(*seed));
    };
  } else if (kind == "contacts-good" && words.size() == 2) {
    change = [](sim::ContactFaults& c) { c.Clear(); };
  } else {
    error =
        "sim fault data-line N low|high|open, address-line N open|short (with N+1), contact N "
        "PERCENT [SEED] or contacts-good (decimal line numbers: D0..D7, A0..A19)";
    return false;
  }
  board.ChangeContacts(change);
  return true;
}

bool Fault(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  const std::string kind = words.size() > 1 ? words[1] : "";
  if (kind == "slow" && words.size() == 4) return SlowFault(board, words, error);
  if (kind == "stuck" && words.size() == 5) return StuckFault(board, words, error);
  if (kind == "id" && words.size() == 4) return IdFault(board, words, error);
  if (kind == "data-line" || kind == "address-line" || kind == "contact" ||
      kind == "contacts-good") {
    return ContactFault(board, words, error);
  }
  if (kind == "erase-hangs" && words.size() == 2) {
    sim::WritableChip* chip = Writable(board, error);
    if (chip != nullptr) chip->SetEraseHangs(true);
    return chip != nullptr;
  }
  if (kind == "no-ack" && words.size() == 2) {
    sim::SerialEepromChip* chip = SerialEeprom(board, error);
    if (chip != nullptr) chip->SetNeverAcknowledges(true);
    return chip != nullptr;
  }
  if (kind == "busy" && words.size() == 2) {
    sim::SerialEepromChip* chip = SerialEeprom(board, error);
    if (chip != nullptr) chip->SetWriteHangs(true);
    return chip != nullptr;
  }
  if (kind == "board-off-after" && words.size() == 3) {
    const auto accesses = DecimalNumber(words[2]);
    if (!accesses) {
      error = "sim fault board-off-after ACCESSES (decimal)";
      return false;
    }
    board.LoseConnectionAfter(*accesses);
    return true;
  }
  error =
      "sim fault slow ADDRESS|all FACTOR, stuck ADDRESS MASK VALUE, id MAKER DEVICE, "
      "erase-hangs, no-ack, busy, board-off-after N, port-fails-after N, data-line N "
      "low|high|open, address-line N open|short, contact N PERCENT [SEED] or contacts-good";
  return false;
}

// Software data protection of a page-write part, or the WP pin of a serial EEPROM.
bool Protect(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  if (words.size() != 2 || (words[1] != "on" && words[1] != "off")) {
    error = "sim protect on|off";
    return false;
  }
  const bool on = words[1] == "on";
  if (auto* chip = dynamic_cast<sim::PageWriteChip*>(board.Chip())) {
    chip->SetProtected(on);
    return true;
  }
  if (auto* chip = dynamic_cast<sim::SerialEepromChip*>(board.Chip())) {
    chip->SetWriteProtected(on);
    return true;
  }
  error = "there is no page-write part (X28C256, AT29C256) or serial EEPROM in the socket";
  return false;
}

bool Model4Vpp(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  const std::string volts = words.size() == 2 ? words[1] : "";
  const std::uint16_t millivolts = volts == "12.5" ? 12500
                                   : volts == "21" ? 21000
                                   : volts == "25" ? 25000
                                                   : 0;
  if (millivolts == 0) {
    error = "sim vpp4 12.5|21|25";
    return false;
  }
  board.SetModel4VppMillivolts(millivolts);
  return true;
}

}  // namespace

bool RunSimCommand(sim::SimBoard& board, const std::string& command, std::string& error) {
  std::istringstream in(command);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  if (words.empty()) {
    error = "sim needs a command";
    return false;
  }
  const std::string& verb = words[0];
  if (verb == "insert") return Insert(board, words, error);
  if (verb == "save") return Save(board, words, error);
  if (verb == "fault") return Fault(board, words, error);
  if (verb == "vpp4") return Model4Vpp(board, words, error);
  if (verb == "protect") return Protect(board, words, error);
  if (verb == "remove" && words.size() == 1) {
    board.Remove();
    return true;
  }
  if (verb == "erase" && words.size() == 1) {
    sim::EpromChip* chip = Eprom(board, error);
    if (chip != nullptr) chip->Erase();
    return chip != nullptr;
  }
  error = "unknown simulator command: sim " + command;
  return false;
}

bool RunSimCommand(sim::SimulatedPort& port, sim::SimBoard& board, const std::string& command,
                   std::string& error) {
  std::istringstream in(command);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  if (words.size() == 3 && words[0] == "fault" && words[1] == "port-fails-after") {
    const auto accesses = DecimalNumber(words[2]);
    if (!accesses) {
      error = "sim fault port-fails-after ACCESSES (decimal)";
      return false;
    }
    port.FailAfter(*accesses);
    return true;
  }
  if (words.size() == 1 && words[0] == "reconnect") {
    port.Repair();
    board.Reconnect();
    return true;
  }
  return RunSimCommand(board, command, error);
}

std::string SimulatedPartFor(const std::string& rowName) {
  std::istringstream words(rowName);
  for (std::string word; words >> word;) {
    if (IsWritablePart(word) || IsSerialEepromPart(word) || sim::FindEpromPart(word) != nullptr) {
      return word;
    }
  }
  return "";
}

}  // namespace sorvell::shell
