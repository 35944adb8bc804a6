#include "catalogue/device_names.h"

#include <algorithm>
#include <sstream>

#include "catalogue/device_table.h"
#include "common/plain_text.h"
#include "common/trim.h"

namespace sorvell::catalogue {

namespace {

std::vector<std::string> Words(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(common::LowerCase(word));
  return words;
}

// True when the words of `name` stand together among the entry's words: "27c256" in "eprom
// 27c256", "27c080 otp" in "eprom 27c080 otp", never "27c25" in "eprom 27c256".
bool NamesEntry(const std::vector<std::string>& entry, const std::vector<std::string>& name) {
  if (name.empty()) return false;
  return std::search(entry.begin(), entry.end(), name.begin(), name.end()) != entry.end();
}

std::string Listed(const std::vector<std::string>& entries, const std::vector<int>& indexes) {
  std::string text;
  for (const int index : indexes) text += "\n  " + EntryName(entries[index]);
  return text;
}

}  // namespace

std::string EntryName(std::string_view entry) {
  if (entry.starts_with("N/A - ")) entry.remove_prefix(6);
  return common::TrimBlanks(entry);
}

DeviceChoice ChooseDevice(const std::vector<std::string>& entries, std::string_view name) {
  const std::vector<std::string> wanted = Words(name);
  std::vector<int> found;
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    if (NamesEntry(Words(EntryName(entries[i])), wanted)) found.push_back(i);
  }
  // "24C256" and "2716" name the entries that can be chosen rather than the first edition's N/A
  // rows of the same part.
  if (std::ranges::any_of(found, [&](int i) { return catalogue::SelectableEntry(entries[i]); })) {
    std::erase_if(found, [&](int i) { return !catalogue::SelectableEntry(entries[i]); });
  }
  // "27C080" names "Eprom 27C080" rather than "Eprom 27C080 OTP": the entry that says no more
  // than the name asked for.
  if (found.size() > 1) {
    const auto wordCount = [&](int i) { return Words(EntryName(entries[i])).size(); };
    const std::size_t fewest = wordCount(*std::min_element(
        found.begin(), found.end(), [&](int a, int b) { return wordCount(a) < wordCount(b); }));
    std::erase_if(found, [&](int i) { return wordCount(i) != fewest; });
  }
  const std::string quoted = "\"" + std::string(name) + "\"";
  if (found.empty()) {
    const std::vector<int> near = FilterDevices(entries, name);
    return {std::nullopt, "no device " + quoted + " in the device list" +
                              (near.empty() ? std::string("; sorvell-cli list shows them all")
                                            : "; did you mean one of:" + Listed(entries, near))};
  }
  if (found.size() > 1) {
    return {std::nullopt,
            quoted + " names several devices; give the whole name:" + Listed(entries, found)};
  }
  if (!catalogue::SelectableEntry(entries[found[0]])) {
    return {std::nullopt, "the device " + EntryName(entries[found[0]]) +
                              " is in the list but cannot be selected (N/A): this programmer "
                              "does not support it"};
  }
  return {found[0], ""};
}

std::vector<int> FilterDevices(const std::vector<std::string>& entries, std::string_view text) {
  const std::string wanted = common::LowerCase(text);
  std::vector<int> found;
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    const std::string entryName = EntryName(entries[i]);
    if (!entryName.empty() && common::LowerCase(entryName).find(wanted) != std::string::npos) {
      found.push_back(i);
    }
  }
  return found;
}

}  // namespace sorvell::catalogue
