#pragma once

#include <unistd.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <vector>

#include "console/dry_run.h"
#include "console/exit_status.h"
#include "console/options.h"
#include "console/session.h"
#include "console_rig.h"
#include "shell/simulator_commands.h"
#include "sim/sim_port.h"

namespace sorvell::console::testing {

// Runs sorvell-cli commands in-process against one simulated board, which keeps its part from
// one command to the next as a board on the desk does. Files live in a scratch folder that is
// also the working and program folder.
struct CommandRig {
  explicit CommandRig(const std::string& boardSpec = "sim:6@378")
      : folder(std::filesystem::temp_directory_path() /
               ("sorvell-command-test-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    shell::BoardRequest request;
    std::string error;
    shell::AddBoardSpec(boardSpec, request, error);
    backend = std::move(*shell::OpenPortBackend(request, error));
  }
  ~CommandRig() { std::filesystem::remove_all(folder); }

  // The exit status; what was printed is in `out` and `err` (fresh for each run).
  int Run(std::vector<std::string> args) {
    out = std::make_unique<Capture>();
    err = std::make_unique<Capture>();
    args.insert(args.begin(),
                {"sorvell-cli", "--workdir", folder, "--progdir", folder, "--datadir", folder});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    Options options;
    std::string error;
    if (!ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error)) {
      std::fprintf(err->file(), "%s\n", error.c_str());
      return kExitBadInput;
    }
    ConsoleIo io;
    io.out = out->file();
    io.err = err->file();
    io.confirm = confirm;
    io.operatorLine = operatorLine;
    if (!options.dryRun.empty()) return RunDryRun(options, "", backend, io);
    return RunSession(options, "", backend, io);
  }

  std::string Out() { return out->Text(); }
  std::string Err() { return err->Text(); }
  std::filesystem::path Path(const std::string& name) const { return folder / name; }

  // The part's own cells, as the simulated socket holds them.
  std::vector<std::uint8_t> Cells() {
    std::string error;
    const auto file = Path("cells.bin");
    if (!shell::RunSimCommand(*backend.simulator->BoardAt(board::kLpt378), "save " + file.string(),
                              error)) {
      ADD_FAILURE() << error;
    }
    return ReadBytes(file);
  }

  std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return Path(name);
  }

  static std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::filesystem::path folder;
  shell::PortBackend backend;
  std::unique_ptr<Capture> out, err;
  std::function<bool(const panel::MessageRequest&)> confirm;
  // The operator's lines for job run; null: standard input.
  std::function<std::optional<std::string>()> operatorLine;
};

// A pattern that no stuck address line or swapped nibble reproduces.
inline std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
  return bytes;
}

// A test's name from its words: "a Flash erase that never completes" ->
// "AFlashEraseThatNeverCompletes".
inline std::string TestNameOf(const char* what) {
  std::string name;
  bool upper = true;
  for (const char* c = what; *c != '\0'; ++c) {
    if (!std::isalnum(static_cast<unsigned char>(*c))) {
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
    upper = false;
  }
  return name;
}

inline bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace sorvell::console::testing
