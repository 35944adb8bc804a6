#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "../shell/shell_fakes.h"
#include "console/console_edges.h"
#include "console/script.h"

namespace sorvell::console::testing {

// Captures what a FILE* receives.
class Capture {
 public:
  Capture() : file_(open_memstream(&buffer_, &size_)) {}
  ~Capture() {
    std::fclose(file_);
    std::free(buffer_);
  }
  std::FILE* file() { return file_; }
  std::string Text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

struct ConsoleRig {
  explicit ConsoleRig(bool yes = false, const std::string& boardSpec = "sim:none")
      : folder(std::filesystem::temp_directory_path() /
               ("sorvell-console-test-" + std::to_string(::getpid()))),
        dialogs(out.file(), yes),
        windows(out.file()) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    shell::BoardRequest request;
    std::string error;
    shell::AddBoardSpec(boardSpec, request, error);
    backend = std::move(*shell::OpenPortBackend(request, error));
    form = std::make_unique<shell::MainForm>(shell::Edges{*backend.port,
                                                          *backend.timing,
                                                          dialogs,
                                                          windows,
                                                          sounds,
                                                          settings,
                                                          clock,
                                                          panel::Folders{folder, folder, folder},
                                                          nullptr,
                                                          {},
                                                          backend.accessNs});
    form->Form_Load();
  }
  bool Run(const std::string& script, bool keepGoing = false) {
    ScriptRunner runner(*form, dialogs, windows, backend, out.file(), err.file());
    runner.keepGoing = keepGoing;
    std::istringstream in(script);
    const bool ran = runner.Run(in);
    status = runner.record.Status();
    return ran;
  }
  // The exit status of the last script run.
  int status = 0;

  ~ConsoleRig() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  Capture out, err;
  ScriptedDialogs dialogs;
  ConsoleWindows windows;
  SilentSounds sounds;
  MemorySettings settings;
  shell::testing::FixedClock clock;
  shell::PortBackend backend;
  std::unique_ptr<shell::MainForm> form;
};

}  // namespace sorvell::console::testing
