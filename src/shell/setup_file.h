#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "panel/form.h"

namespace sorvell::shell {

// How a line's value is written and read back.
enum class SetupValue {
  kText,    // as it stands: the setup's name, the code file, the port text
  kNumber,  // plain decimal; read as its leading number, 0 when there is none
  kTruth,   // an option: "True" or "False", nothing else
};

// One line of a setup file: the key exactly as written (with the blank after "=") and the
// control it stores; the setup's name and the code file name belong to no control.
struct SetupKey {
  const char* key;
  const char* control;
  SetupValue kind;
};

// The nineteen lines, in the order they are written.
std::span<const SetupKey> SetupKeys();

// A line that matched a key, with its value as text and, for numbers and options, as a number.
struct SetupEntry {
  const SetupKey* key;
  std::string text;
  long long number = 0;
  int line = 0;  // 1 for the first line of the file
};

// The setup file for the window's state now: nineteen lines, each ended by CR LF.
std::string FormatSetup(const panel::Form& frmMain, const std::string& name,
                        const std::string& codeFile);

// The lines of `text` that match a key, in file order; lines that match none are skipped. False
// with `error` naming the line when an option holds anything but "True" or "False".
bool ParseSetup(std::string_view text, std::vector<SetupEntry>& entries, std::string& error);

// The number a value starts with (blanks, a sign, digits), 0 when it starts with none; far too
// large values are held at the limits of long long.
long long LeadingNumber(std::string_view text);

// The text up to the first line end.
std::string FirstLine(std::string_view text);

// The file `name` in `folder`, found without regard to letter case ("SVSETUP1.INI" finds
// "SVSetup1.INI"); the exact name when several differ only in case.
std::optional<std::filesystem::path> FindSetupFile(const std::filesystem::path& folder,
                                                   std::string_view name);

}  // namespace sorvell::shell
