// Operator scripts run against the whole main window on a simulated model 6 board at 378h, as
// sorvell-cli runs them. Every line is run, or refused with its number.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "console/script.h"
#include "shell/main_form.h"

namespace {

using namespace sorvell;

class FixedClock final : public panel::WallClock {
 public:
  panel::LocalTime Now() override { return {2026, 12, 8, 10, 58, 39}; }
};

std::FILE* Discard() {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  return sink;
}

// Scripts name files to open and save. They run in a scratch folder and may name nothing outside
// it, so the fuzzer never writes over a file of the machine.
bool StaysInScratch(std::string_view script) {
  return script.find('/') == std::string_view::npos && script.find("..") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In memory when the machine has a tmpfs there: every start saves the board configuration, and
  // a flush to a real disk would be most of the time spent.
  std::error_code code;
  const auto base = std::filesystem::is_directory("/dev/shm", code)
                        ? std::filesystem::path("/dev/shm")
                        : std::filesystem::temp_directory_path();
  const auto scratch = base / ("sorvell-fuzz-script-" + std::to_string(::getpid()));
  std::filesystem::create_directories(scratch);
  std::filesystem::current_path(scratch);
  static const std::filesystem::path removed = scratch;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(removed, ignored);
  });
  // The image the seed scripts load and burn.
  std::string image(32 * 1024, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + (i >> 8));
  std::ofstream("rom32k.bin", std::ios::binary) << image;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string script(reinterpret_cast<const char*>(data), size);
  if (!StaysInScratch(script)) return -1;

  shell::BoardRequest request;
  std::string error;
  shell::AddBoardSpec("sim:6@378", request, error);
  shell::PortBackend backend = std::move(*shell::OpenPortBackend(request, error));
  console::ScriptedDialogs dialogs(Discard(), false);
  console::ConsoleWindows windows(Discard());
  console::SilentSounds sounds;
  console::MemorySettings settings;
  FixedClock clock;
  const std::filesystem::path here = std::filesystem::current_path();
  shell::MainForm form({*backend.port,
                        *backend.timing,
                        dialogs,
                        windows,
                        sounds,
                        settings,
                        clock,
                        panel::Folders{here, here, here},
                        nullptr,
                        {},
                        backend.accessNs});
  form.Form_Load();
  console::ScriptRunner runner(form, dialogs, windows, backend, Discard(), Discard());
  runner.keepGoing = true;  // every line of the input is run, failed events or not
  std::istringstream in(script);
  runner.Run(in);
  form.Form_Unload();
  return 0;
}
