#include "catalogue/device_file.h"

#include <toml++/toml.h>
#include <algorithm>
#include <cmath>
#include <optional>

#include "common/plain_text.h"
#include "common/read_file.h"

namespace sorvell::catalogue {

namespace {

using P = ProgramRoutine;

struct AlgorithmName {
  std::string_view name;
  ProgramRoutine routine;
};

constexpr AlgorithmName kAlgorithms[] = {
    {"P2732", P::kP2732},
    {"P2764_128", P::kP2764_128},
    {"P27256_040", P::kP27256_040},
    {"P27080", P::kP27080},
    {"P27010_020", P::kP27010_020},
    {"ProgramX28C256", P::kProgramX28C256},
    {"ProgramFlash", P::kProgramFlash},
    {"Program24CXX", P::kProgram24CXX},
    {"Program24C32", P::kProgram24C32},
};

constexpr std::string_view kKeys[] = {"name", "like", "algorithm", "size", "vpp", "id", "page"};

// A fault in the file: the line it is on, and why.
struct Refusal {
  std::size_t line;
  std::string reason;
};

bool HasWord(const std::string& name, const std::string& word) {
  const std::string lower = " " + common::LowerCase(name) + " ";
  return lower.find(" " + common::LowerCase(word) + " ") != std::string::npos;
}

std::size_t LineOf(const toml::node& node) {
  return node.source().begin.line;
}

// The largest built-in part of a family: the address lines its wiring drives.
std::int32_t FamilyReach(const std::string& family) {
  std::int32_t reach = 0;
  for (const DeviceRow& row : KnownDevices()) {
    if (row.available && row.Family() == family) reach = std::max(reach, row.sizeBytes);
  }
  return reach;
}

class RowReader {
 public:
  RowReader(const toml::table& table, std::size_t line, const std::vector<DeviceRow>& taken)
      : table_(table), line_(line), taken_(taken) {}

  std::optional<Refusal> Read(DeviceRow& row) {
    if (auto refused = CheckKeys()) return refused;
    std::string name;
    if (auto refused = ReadName(name)) return refused;
    if (auto refused = ReadTemplate(row)) return refused;
    row.name = name;
    row.origin = RowOrigin::kOperator;
    row.available = true;
    if (auto refused = ReadSize(row)) return refused;
    if (auto refused = ReadVpp(row)) return refused;
    if (auto refused = ReadId(row)) return refused;
    return ReadPage(row);
  }

 private:
  std::optional<Refusal> CheckKeys() const {
    for (auto&& [key, value] : table_) {
      if (std::ranges::find(kKeys, key.str()) == std::end(kKeys)) {
        return Refusal{LineOf(value), "unknown key \"" + std::string(key.str()) +
                                          "\" (name, like, algorithm, size, vpp, id, page)"};
      }
    }
    return std::nullopt;
  }

  std::optional<Refusal> ReadName(std::string& name) const {
    const auto* text = table_["name"].as_string();
    if (text == nullptr) return Refusal{line_, "a device needs a name, as text"};
    name = text->get();
    const std::size_t line = LineOf(*text);
    if (name.empty() || name.size() > static_cast<std::size_t>(kNameWidth)) {
      return Refusal{line, "a name of 1 to 30 characters is needed"};
    }
    if (!std::ranges::all_of(name, [](char c) { return c >= 0x20 && c < 0x7F; })) {
      return Refusal{line, "the name holds a character the list cannot show"};
    }
    if (name.starts_with("N/A") || name.front() == ' ' || name.back() == ' ') {
      return Refusal{line, "the name may not begin with \"N/A\" or a blank, nor end with one"};
    }
    for (const DeviceRow& row : taken_) {
      if (common::LowerCase(row.name) == common::LowerCase(name)) {
        return Refusal{line, "the name \"" + name + "\" is in the list already"};
      }
    }
    return std::nullopt;
  }

  // The built-in part the row starts from: the one `like` names, or for an algorithm the smallest
  // part on it that holds the size.
  std::optional<Refusal> ReadTemplate(DeviceRow& row) const {
    const auto* like = table_["like"].as_string();
    const auto* algorithm = table_["algorithm"].as_string();
    if ((like == nullptr) == (algorithm == nullptr)) {
      return Refusal{line_,
                     "give either like = \"a built-in part\" or algorithm = \"...\", as text"};
    }
    if (like != nullptr) return FindLike(like->get(), LineOf(*like), row);
    return FindAlgorithm(algorithm->get(), LineOf(*algorithm), row);
  }

  std::optional<Refusal> FindLike(const std::string& part, std::size_t line, DeviceRow& row) const {
    std::vector<const DeviceRow*> found;
    for (const DeviceRow& known : KnownDevices()) {
      if (known.available && HasWord(known.name, part)) found.push_back(&known);
    }
    if (found.size() != 1) {
      return Refusal{line, "like = \"" + part + "\" names " +
                               (found.empty() ? "no built-in part that can be chosen"
                                              : "several built-in parts; give the part number")};
    }
    row = *found.front();
    row.like = found.front()->name;
    return std::nullopt;
  }

  std::optional<Refusal> FindAlgorithm(const std::string& name, std::size_t line,
                                       DeviceRow& row) const {
    const auto* known = std::ranges::find(kAlgorithms, name, &AlgorithmName::name);
    if (known == std::end(kAlgorithms)) {
      return Refusal{line, "unknown algorithm \"" + name + "\""};
    }
    const auto* size = table_["size"].as_integer();
    if (size == nullptr) return Refusal{line, "a device on an algorithm needs its size in bytes"};
    const DeviceRow* best = nullptr;
    for (const DeviceRow& candidate : KnownDevices()) {
      // A read-only row has the routine's family but not its programming voltage.
      if (!candidate.available || candidate.readOnly) continue;
      if (candidate.Routines().program != known->routine) continue;
      if (candidate.sizeBytes < size->get()) continue;
      if (best == nullptr || candidate.sizeBytes < best->sizeBytes) best = &candidate;
    }
    if (best == nullptr) {
      return Refusal{LineOf(*size),
                     "no part on " + name + " reaches " + std::to_string(size->get()) + " bytes"};
    }
    row = *best;
    row.like = best->name;
    return std::nullopt;
  }

  std::optional<Refusal> ReadSize(DeviceRow& row) const {
    const toml::node_view<const toml::node> node = table_["size"];
    if (!node) return std::nullopt;
    const auto* size = node.as_integer();
    if (size == nullptr) return Refusal{LineOf(*node.node()), "size must be a number of bytes"};
    const std::int64_t bytes = size->get();
    const std::int32_t reach = FamilyReach(row.Family());
    if (bytes < 1 || bytes > reach) {
      return Refusal{LineOf(*size), "size " + std::to_string(bytes) + " is not within 1 to " +
                                        std::to_string(reach) +
                                        " bytes, what the address lines of " + row.like + " reach"};
    }
    // The page-write routine writes every page of the 32 KB part, whatever the row says.
    if (row.Routines().program == ProgramRoutine::kProgramX28C256 && bytes != reach) {
      return Refusal{LineOf(*size), "size of a page-write part must be " + std::to_string(reach)};
    }
    row.sizeBytes = static_cast<std::int32_t>(bytes);
    return std::nullopt;
  }

  // The highest programming voltage offered: 5 V for the parts written at 5 V, 12.5, 21 or 25 V
  // for the UV-EPROMs, as the board's VPP switch has them.
  std::optional<Refusal> ReadVpp(DeviceRow& row) const {
    const toml::node_view<const toml::node> node = table_["vpp"];
    if (!node) return std::nullopt;
    const std::optional<double> volts = node.value<double>();
    const std::size_t line = LineOf(*node.node());
    if (!volts) return Refusal{line, "vpp must be a number of volts"};
    const bool eprom = row.deviceClass == 'P';
    const double levels[] = {5.0, 12.5, 21.0, 25.0};
    for (int code = 0; code < 4; ++code) {
      if (std::abs(*volts - levels[code]) > 1e-9) continue;
      if ((code == 0) == eprom) break;
      row.vppCode = code;
      return std::nullopt;
    }
    return Refusal{line, eprom ? "vpp of a UV-EPROM must be 12.5, 21 or 25 (volts)"
                               : "vpp of a part written at 5 V must be 5 (volts)"};
  }

  std::optional<Refusal> ReadId(DeviceRow& row) const {
    const toml::node_view<const toml::node> node = table_["id"];
    if (!node) return std::nullopt;
    const std::size_t line = LineOf(*node.node());
    if (row.Routines().program != ProgramRoutine::kProgramFlash) {
      return Refusal{line, "id is for Flash parts on the AMD command set only"};
    }
    const auto* codes = node.as_array();
    if (codes == nullptr || codes->size() != 2) {
      return Refusal{line, "id must be [maker, device], two bytes such as [0xBF, 0xB7]"};
    }
    int bytes[2];
    for (std::size_t i = 0; i < 2; ++i) {
      const auto* code = codes->get(i)->as_integer();
      if (code == nullptr || code->get() < 0 || code->get() > 0xFF) {
        return Refusal{line, "id must be [maker, device], two bytes such as [0xBF, 0xB7]"};
      }
      bytes[i] = static_cast<int>(code->get());
    }
    row.id = PartCode{bytes[0], bytes[1]};
    return std::nullopt;
  }

  // Only a two-wire part's page may differ from its model's: the page-write EEPROM's routine
  // writes 64-byte pages whatever the row says.
  std::optional<Refusal> ReadPage(DeviceRow& row) const {
    const toml::node_view<const toml::node> node = table_["page"];
    if (node) {
      const std::size_t line = LineOf(*node.node());
      if (row.Routines().bus != Bus::kTwoWire) {
        return Refusal{line, "page is for serial EEPROMs only"};
      }
      const auto* page = node.as_integer();
      const std::int64_t bytes = page == nullptr ? 0 : page->get();
      if (bytes < 1 || bytes > 256 || (bytes & (bytes - 1)) != 0) {
        return Refusal{line, "page must be a power of two from 1 to 256 (bytes)"};
      }
      row.pageBytes = static_cast<int>(bytes);
    }
    if (row.pageBytes > 0 && row.sizeBytes % row.pageBytes != 0) {
      return Refusal{line_, "size " + std::to_string(row.sizeBytes) + " is not whole pages of " +
                                std::to_string(row.pageBytes) + " bytes"};
    }
    return std::nullopt;
  }

  const toml::table& table_;
  std::size_t line_;
  const std::vector<DeviceRow>& taken_;
};

DeviceFile Refused(const std::string& fileName, const Refusal& refusal) {
  return {{}, fileName + " line " + std::to_string(refusal.line) + ": " + refusal.reason};
}

// The file is plain ASCII: part names are, and the parser must not see anything else.
std::optional<Refusal> NotAscii(std::string_view text) {
  if (const auto line = common::FirstNonAsciiLine(text)) {
    return Refusal{*line, "a character that is not plain ASCII: the file must be plain text"};
  }
  return std::nullopt;
}

}  // namespace

DeviceFile ParseDeviceFile(std::string_view text, const std::string& fileName) {
  if (const auto refused = NotAscii(text)) return Refused(fileName, *refused);
  toml::table document;
  try {
    document = toml::parse(text, std::string_view(fileName));
  } catch (const toml::parse_error& error) {
    return Refused(fileName, {error.source().begin.line, std::string(error.description())});
  }
  for (auto&& [key, value] : document) {
    if (key.str() != "device" || !value.is_array_of_tables()) {
      return Refused(fileName, {LineOf(value), "only [[device]] tables belong in this file"});
    }
  }
  const toml::array* devices = document["device"].as_array();
  if (devices == nullptr) return {};
  if (devices->size() > kDeviceFileMaxRows) {
    return Refused(fileName, {LineOf(*devices), "more than 100 devices"});
  }
  std::vector<DeviceRow> taken = KnownDevices();
  DeviceFile file;
  for (const toml::node& node : *devices) {
    DeviceRow row;
    RowReader reader(*node.as_table(), LineOf(node), taken);
    if (const auto refused = reader.Read(row)) return Refused(fileName, *refused);
    taken.push_back(row);
    file.rows.push_back(std::move(row));
  }
  return file;
}

DeviceFile ReadDeviceFile(const std::filesystem::path& path) {
  std::error_code missing;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, missing))) return {};
  std::string text, error;
  if (!common::ReadRegularFile(path, kDeviceFileMaxBytes, text, error,
                               common::EmptyFile::kAccepted)) {
    return {{}, path.string() + ": " + error};
  }
  return ParseDeviceFile(text, path.string());
}

}  // namespace sorvell::catalogue
