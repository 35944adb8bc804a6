#include "shell/setup_file.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "common/plain_text.h"

namespace sorvell::shell {

namespace {

using V = SetupValue;

// The voltage options are written with a lower-case "value", every other key with "Value":
// files written by earlier releases have it so, and restoring compares keys letter for letter.
constexpr SetupKey kKeys[] = {
    {"SetupName = ", nullptr, V::kText},
    {"sFILE = ", nullptr, V::kText},
    {"Device.Index = ", "Device", V::kNumber},
    {"Voltage_button(0).value = ", "Voltage_button(0)", V::kTruth},
    {"Voltage_button(1).value = ", "Voltage_button(1)", V::kTruth},
    {"Voltage_button(2).value = ", "Voltage_button(2)", V::kTruth},
    {"Voltage_button(3).value = ", "Voltage_button(3)", V::kTruth},
    {"CheckBlankPriorProgramming.Value = ", "CheckBlankPriorProgramming", V::kNumber},
    {"VerifyAfterProgramming.Value = ", "VerifyAfterProgramming", V::kNumber},
    {"LPTSelection(0).Value = ", "LPTSelection(0)", V::kTruth},
    {"LPTSelection(1).Value = ", "LPTSelection(1)", V::kTruth},
    {"LPTSelection(2).Value = ", "LPTSelection(2)", V::kTruth},
    {"PortSelected.Text = ", "PortSelected", V::kText},
    {"HiLow_button(0).Value = ", "HiLow_button(0)", V::kTruth},
    {"HiLow_button(1).Value = ", "HiLow_button(1)", V::kTruth},
    {"HiLow_button(2).Value = ", "HiLow_button(2)", V::kTruth},
    {"Slider1.Value = ", "Slider1", V::kNumber},
    {"CheckCode.Value = ", "CheckCode", V::kNumber},
    {"CheckData.Value = ", "CheckData", V::kNumber},
};

std::string ControlValue(const SetupKey& key, const panel::Form& frmMain) {
  const panel::Control& control = frmMain[key.control];
  switch (key.kind) {
    case V::kTruth:
      return control.Value() ? "True" : "False";
    case V::kNumber:
      return std::to_string(control.Value());
    case V::kText:
      break;
  }
  return control.Caption();
}

// A name typed with a line break in it would split its line in two.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

std::span<const SetupKey> SetupKeys() {
  return kKeys;
}

std::string FormatSetup(const panel::Form& frmMain, const std::string& name,
                        const std::string& codeFile) {
  std::string text;
  for (const SetupKey& key : kKeys) {
    text += key.key;
    if (key.control) {
      text += ControlValue(key, frmMain);
    } else {
      text += OneLine(&key == &kKeys[0] ? name : codeFile);
    }
    text += "\r\n";
  }
  return text;
}

long long LeadingNumber(std::string_view text) {
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return 0;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  constexpr long long kLimit = std::numeric_limits<long long>::max() / 10 - 1;
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kLimit);
  }
  return negative ? -value : value;
}

std::string FirstLine(std::string_view text) {
  std::string_view line = text.substr(0, text.find('\n'));
  if (line.ends_with('\r')) line.remove_suffix(1);
  return std::string(line);
}

bool ParseSetup(std::string_view text, std::vector<SetupEntry>& entries, std::string& error) {
  std::vector<SetupEntry> parsed;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::string line = FirstLine(text);
    const std::size_t end = text.find('\n');
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    const auto key = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const SetupKey& k) {
      return std::string_view(line).starts_with(k.key);
    });
    if (key == std::end(kKeys)) continue;
    SetupEntry entry{key, line.substr(std::string_view(key->key).size()), 0, lineNumber};
    if (key->kind == V::kTruth) {
      if (entry.text != "True" && entry.text != "False") {
        error = "line " + std::to_string(lineNumber) + " holds \"" + entry.text +
                "\" where True or False belongs";
        return false;
      }
      entry.number = entry.text == "True";
    } else if (key->kind == V::kNumber) {
      entry.number = LeadingNumber(entry.text);
    }
    parsed.push_back(std::move(entry));
  }
  entries = std::move(parsed);
  return true;
}

std::optional<std::filesystem::path> FindSetupFile(const std::filesystem::path& folder,
                                                   std::string_view name) {
  std::error_code code;
  const std::filesystem::path exact = folder / name;
  if (std::filesystem::exists(std::filesystem::symlink_status(exact, code))) return exact;
  std::optional<std::filesystem::path> found;
  const std::string wanted = common::LowerCase(name);
  // An unreadable folder ends the scan quietly: such a slot simply has no setup.
  std::filesystem::directory_iterator it(folder.empty() ? "." : folder, code);
  for (; !code && it != std::filesystem::directory_iterator(); it.increment(code)) {
    const std::string candidate = it->path().filename().string();
    if (common::LowerCase(candidate) != wanted) continue;
    if (!found || candidate < found->filename().string()) found = it->path();
  }
  return found;
}

}  // namespace sorvell::shell
