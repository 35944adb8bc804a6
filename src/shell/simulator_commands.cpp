#include "shell/simulator_commands.h"

#include <charconv>
#include <memory>
#include <sstream>
#include <vector>

#include "buffers/buffers.h"
#include "common/atomic_file.h"
#include "sim/eprom_chip.h"
#include "sim/rom_chip.h"
#include "sim/sim_board.h"

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
  const sim::EpromPart* part = sim::FindEpromPart(words[1]);
  if (part == nullptr) {
    error = "unknown part " + words[1] + " (2732A ... 27C080, or rom)";
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
  sim::EpromChip* chip = Eprom(board, error);
  if (chip == nullptr) return false;
  if (words.size() != 2) {
    error = "sim save FILE";
    return false;
  }
  const auto& cells = chip->Contents();
  return common::WriteFileAtomically(
      words[1], std::string_view(reinterpret_cast<const char*>(cells.data()), cells.size()), error);
}

bool Fault(sim::SimBoard& board, const std::vector<std::string>& words, std::string& error) {
  sim::EpromChip* chip = Eprom(board, error);
  if (chip == nullptr) return false;
  const std::size_t size = chip->Contents().size();
  const auto address = words.size() > 2 ? HexNumber(words[2]) : std::nullopt;
  if (words.size() == 4 && words[1] == "slow") {
    const auto factor = DecimalNumber(words[3]);
    if (factor && *factor > 0 && words[2] == "all") {
      chip->SetSlowness(*factor);
      return true;
    }
    if (factor && *factor > 0 && address && *address < size) {
      chip->SetSlowCell(*address, *factor);
      return true;
    }
  }
  if (words.size() == 5 && words[1] == "stuck") {
    const auto mask = HexNumber(words[3]);
    const auto value = HexNumber(words[4]);
    if (address && *address < size && mask && *mask <= 0xFF && value && *value <= 0xFF) {
      chip->SetStuckBits(*address, static_cast<std::uint8_t>(*mask),
                         static_cast<std::uint8_t>(*value));
      return true;
    }
  }
  error =
      "sim fault slow ADDRESS|all FACTOR, or sim fault stuck ADDRESS MASK VALUE (within the part)";
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

}  // namespace sorvell::shell
