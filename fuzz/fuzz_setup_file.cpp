// A setup file is the operator's to edit: whatever is in it must parse to recognised lines with
// their values checked, or be refused, and a setup the program wrote must read back as written.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "panel/window_layouts.h"
#include "shell/setup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvell;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<shell::SetupEntry> entries;
  std::string error;
  if (shell::ParseSetup(text, entries, error)) {
    for (const shell::SetupEntry& entry : entries) {
      if (entry.key->kind == shell::SetupValue::kTruth && entry.number != 0 && entry.number != 1) {
        std::abort();
      }
      if (entry.line < 1 || entry.text.find('\n') != std::string::npos) std::abort();
    }
  } else if (error.empty()) {
    std::abort();
  }

  // The input as a setup's name and code file: written and read back, the nineteen lines.
  static panel::Form form("frmMain", "");
  if (form.Controls().empty()) panel::BuildMainWindow(form);
  const std::string name(text.substr(0, size / 2)), codeFile(text.substr(size / 2));
  if (!shell::ParseSetup(shell::FormatSetup(form, name, codeFile), entries, error)) std::abort();
  if (entries.size() != shell::SetupKeys().size()) std::abort();
  return 0;
}
