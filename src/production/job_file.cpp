#include "production/job_file.h"

#include <toml++/toml.h>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>

#include "common/plain_text.h"
#include "common/read_file.h"

namespace sorvell::production {

namespace {

constexpr std::array<std::string_view, 12> kJobKeys = {"name", "device", "image",       "sha256",
                                                       "vpp",  "speed",  "blank_check", "verify",
                                                       "half", "backup", "count",       "serial"};
constexpr std::array<std::string_view, 7> kSerialKeys = {
    "address", "length", "encoding", "start", "step", "list", "reuse_failed"};

// A fault in the file: the line it is on, and why.
struct Refusal {
  std::size_t line;
  std::string reason;
};
using Fault = std::optional<Refusal>;

std::size_t LineOf(const toml::node& node) {
  return node.source().begin.line;
}

std::string Joined(std::span<const std::string_view> words) {
  std::string text;
  for (const std::string_view word : words) text += (text.empty() ? "" : ", ") + std::string(word);
  return text;
}

Fault UnknownKeys(const toml::table& table, std::span<const std::string_view> keys) {
  for (auto&& [key, value] : table) {
    if (std::ranges::find(keys, key.str()) == keys.end()) {
      return Refusal{LineOf(value),
                     "unknown key \"" + std::string(key.str()) + "\" (" + Joined(keys) + ")"};
    }
  }
  return std::nullopt;
}

Fault NotAscii(std::string_view text) {
  if (const auto line = common::FirstNonAsciiLine(text)) {
    return Refusal{*line, "a character that is not plain ASCII: the file must be plain text"};
  }
  return std::nullopt;
}

// Reads one table's keys, each fault with the line of the value (or of the table when missing).
class KeyReader {
 public:
  KeyReader(const toml::table& table, std::size_t line) : table_(table), line_(line) {}

  Fault Text(std::string_view key, std::string& out, bool required) const {
    const auto node = table_[key];
    if (!node) return required ? Missing(key, "text in quotes") : std::nullopt;
    const auto* text = node.as_string();
    if (text == nullptr || text->get().empty()) {
      return Refusal{LineOf(*node.node()), std::string(key) + " must be text in quotes"};
    }
    out = text->get();
    return std::nullopt;
  }

  Fault Number(std::string_view key, std::int64_t low, std::int64_t high, std::int64_t& out,
               bool required) const {
    const auto node = table_[key];
    if (!node) return required ? Missing(key, "a whole number") : std::nullopt;
    const auto* number = node.as_integer();
    if (number == nullptr || number->get() < low || number->get() > high) {
      return Refusal{LineOf(*node.node()), std::string(key) + " must be a whole number from " +
                                               std::to_string(low) + " to " + std::to_string(high)};
    }
    out = number->get();
    return std::nullopt;
  }

  Fault Flag(std::string_view key, bool& out) const {
    const auto node = table_[key];
    if (!node) return std::nullopt;
    const auto* flag = node.as_boolean();
    if (flag == nullptr) {
      return Refusal{LineOf(*node.node()), std::string(key) + " must be true or false"};
    }
    out = flag->get();
    return std::nullopt;
  }

  // One of `words`, as its position.
  Fault Choice(std::string_view key, std::span<const std::string_view> words,
               std::size_t& out) const {
    std::string word;
    if (const Fault fault = Text(key, word, false); fault || word.empty()) return fault;
    const auto found = std::ranges::find(words, word);
    if (found == words.end()) {
      return Refusal{LineOf(*table_[key].node()),
                     std::string(key) + " must be one of " + Joined(words)};
    }
    out = static_cast<std::size_t>(found - words.begin());
    return std::nullopt;
  }

  std::size_t LineOfKey(std::string_view key) const {
    const auto node = table_[key];
    return node ? LineOf(*node.node()) : line_;
  }
  bool Has(std::string_view key) const { return static_cast<bool>(table_[key]); }

 private:
  Fault Missing(std::string_view key, const char* what) const {
    return Refusal{line_, "a job needs " + std::string(key) + " = " + what};
  }

  const toml::table& table_;
  std::size_t line_;
};

bool IsSha256(const std::string& text) {
  return text.size() == 64 && std::ranges::all_of(text, [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

// The programming voltages the board's switch offers, as the window's buttons name them.
Fault ReadVpp(const toml::table& table, std::string& vpp) {
  const auto node = table["vpp"];
  if (!node) return std::nullopt;
  const std::optional<double> volts = node.value<double>();
  constexpr std::array<std::pair<double, const char*>, 4> kLevels = {
      {{5.0, "5"}, {12.5, "12.5"}, {21.0, "21"}, {25.0, "25"}}};
  for (const auto& [level, name] : kLevels) {
    if (volts && std::abs(*volts - level) < 1e-9) {
      vpp = name;
      return std::nullopt;
    }
  }
  return Refusal{LineOf(*node.node()), "vpp must be 5, 12.5, 21 or 25 (volts)"};
}

// The list file's numbers: decimal, one a line; blank lines and lines starting with # are
// passed over. A fault names the list file and its line.
std::string ReadSerialList(const std::filesystem::path& file, const SerialRule& rule,
                           std::vector<std::uint64_t>& numbers) {
  std::string text, error;
  if (!common::ReadRegularFile(file, kSerialListMaxBytes, text, error)) {
    return file.string() + ": " + error;
  }
  std::size_t line = 0, from = 0;
  while (from < text.size()) {
    const std::size_t end = std::min(text.find('\n', from), text.size());
    std::string_view word(text.data() + from, end - from);
    from = end + 1;
    ++line;
    while (!word.empty() && (word.back() == '\r' || word.back() == ' ')) word.remove_suffix(1);
    while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
    if (word.empty() || word.front() == '#') continue;
    std::uint64_t number = 0;
    const auto [at, fault] = std::from_chars(word.data(), word.data() + word.size(), number);
    const std::string where = file.string() + " line " + std::to_string(line) + ": ";
    if (fault != std::errc() || at != word.data() + word.size()) {
      return where + "\"" + std::string(word) + "\" is not a serial number (decimal digits)";
    }
    if (const SerialBytes bytes = EncodeSerial(number, rule.length, rule.encoding);
        bytes.bytes.empty()) {
      return where + bytes.error;
    }
    numbers.push_back(number);
  }
  if (numbers.empty()) return file.string() + ": the list holds no serial number";
  return {};
}

class JobReader {
 public:
  JobReader(const toml::table& document, std::filesystem::path file)
      : document_(document), file_(std::move(file)), keys_(document, 1) {}

  std::string listError;  // a fault in the serial list file, already placed

  Fault Read(Job& job) {
    if (const Fault fault = UnknownKeys(document_, kJobKeys)) return fault;
    if (const Fault fault = ReadNames(job)) return fault;
    if (const Fault fault = ReadOptions(job)) return fault;
    std::int64_t count = 0;
    if (const Fault fault = keys_.Number("count", 1, kMaxPartsInJob, count, true)) return fault;
    job.count = static_cast<int>(count);
    return ReadSerial(job);
  }

 private:
  std::filesystem::path Beside(const std::string& name) const {
    const std::filesystem::path path(name);
    return path.is_absolute() ? path : file_.parent_path() / path;
  }

  Fault ReadNames(Job& job) const {
    std::string image;
    if (const Fault fault = keys_.Text("name", job.name, true)) return fault;
    if (const Fault fault = keys_.Text("device", job.device, true)) return fault;
    if (const Fault fault = keys_.Text("image", image, true)) return fault;
    job.image = Beside(image);
    if (const Fault fault = keys_.Text("sha256", job.sha256, true)) return fault;
    if (!IsSha256(job.sha256)) {
      return Refusal{keys_.LineOfKey("sha256"),
                     "sha256 must be the image's SHA-256, 64 hexadecimal digits"};
    }
    job.sha256 = common::LowerCase(job.sha256);
    return std::nullopt;
  }

  Fault ReadOptions(Job& job) const {
    if (const Fault fault = ReadVpp(document_, job.vpp)) return fault;
    std::int64_t speed = 0;
    if (const Fault fault = keys_.Number("speed", 1, 20, speed, false)) return fault;
    job.speed = static_cast<int>(speed);
    if (const Fault fault = keys_.Flag("blank_check", job.blankCheck)) return fault;
    if (const Fault fault = keys_.Flag("verify", job.verify)) return fault;
    constexpr std::array<std::string_view, 3> kHalves = {"both", "hi", "lo"};
    constexpr std::array<std::string_view, 3> kBackups = {"always", "off", "not-for-blank"};
    std::size_t half = 0, backup = 0;
    if (const Fault fault = keys_.Choice("half", kHalves, half)) return fault;
    if (const Fault fault = keys_.Choice("backup", kBackups, backup)) return fault;
    job.half = static_cast<JobHalf>(half);
    job.backup = static_cast<JobBackup>(backup);
    return std::nullopt;
  }

  Fault ReadSerial(Job& job) {
    if (!keys_.Has("serial")) return std::nullopt;
    const toml::table* table = document_["serial"].as_table();
    const std::size_t line = keys_.LineOfKey("serial");
    if (table == nullptr) return Refusal{line, "serial must be a [serial] table"};
    if (const Fault fault = UnknownKeys(*table, kSerialKeys)) return fault;
    const KeyReader keys(*table, line);
    SerialRule rule;
    if (const Fault fault = keys.Number("address", 0, 0xFFFFF, rule.address, true)) return fault;
    if (const Fault fault = ReadEncoding(keys, rule)) return fault;
    if (const Fault fault = keys.Flag("reuse_failed", rule.reuseFailed)) return fault;
    if (keys.Has("list")) {
      if (keys.Has("start") || keys.Has("step")) {
        return Refusal{keys.LineOfKey("list"), "give either list or start and step, not both"};
      }
      std::string list;
      if (const Fault fault = keys.Text("list", list, true)) return fault;
      rule.list.emplace();
      listError = ReadSerialList(Beside(list), rule, *rule.list);
      if (!listError.empty()) return Refusal{0, listError};
    } else if (const Fault fault = ReadCounting(keys, rule)) {
      return fault;
    }
    job.serial = std::move(rule);
    return std::nullopt;
  }

  static Fault ReadEncoding(const KeyReader& keys, SerialRule& rule) {
    std::string name;
    if (const Fault fault = keys.Text("encoding", name, true)) return fault;
    const auto encoding = EncodingNamed(name);
    if (!encoding) {
      return Refusal{keys.LineOfKey("encoding"),
                     "encoding must be ascii-decimal, ascii-hex, bcd, binary-le or binary-be"};
    }
    rule.encoding = *encoding;
    std::int64_t length = 0;
    if (const Fault fault = keys.Number("length", 1, MaxLength(rule.encoding), length, true)) {
      return fault;
    }
    rule.length = static_cast<int>(length);
    return std::nullopt;
  }

  static Fault ReadCounting(const KeyReader& keys, SerialRule& rule) {
    std::int64_t start = 0, step = 1;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    if (const Fault fault = keys.Number("start", 0, kLargest, start, true)) return fault;
    if (const Fault fault = keys.Number("step", 1, kLargest, step, false)) return fault;
    rule.start = static_cast<std::uint64_t>(start);
    rule.step = static_cast<std::uint64_t>(step);
    if (const SerialBytes first = EncodeSerial(rule.start, rule.length, rule.encoding);
        first.bytes.empty()) {
      return Refusal{keys.LineOfKey("start"), first.error};
    }
    return std::nullopt;
  }

  const toml::table& document_;
  std::filesystem::path file_;
  KeyReader keys_;
};

JobFile Refused(const std::filesystem::path& file, const Refusal& refusal) {
  return {std::nullopt,
          file.string() + " line " + std::to_string(refusal.line) + ": " + refusal.reason};
}

}  // namespace

SerialSequence SerialRule::Sequence() const {
  return list ? SerialSequence::Listed(*list) : SerialSequence::Counting(start, step);
}

JobFile ParseJobFile(std::string_view text, const std::filesystem::path& file) {
  if (const Fault fault = NotAscii(text)) return Refused(file, *fault);
  toml::table document;
  try {
    document = toml::parse(text, file.string());
  } catch (const toml::parse_error& error) {
    return Refused(file, {error.source().begin.line, std::string(error.description())});
  }
  Job job;
  JobReader reader(document, file);
  if (const Fault fault = reader.Read(job)) {
    if (!reader.listError.empty()) return {std::nullopt, reader.listError};
    return Refused(file, *fault);
  }
  return {std::move(job), {}};
}

JobFile ReadJobFile(const std::filesystem::path& file) {
  std::string text, error;
  if (!common::ReadRegularFile(file, kJobFileMaxBytes, text, error)) {
    return {std::nullopt, file.string() + ": " + error};
  }
  return ParseJobFile(text, file);
}

}  // namespace sorvell::production
