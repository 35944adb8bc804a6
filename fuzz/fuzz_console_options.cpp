// The console's command line: arguments separated by NUL bytes, as the kernel hands them over.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments{"sorvell-cli"};
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (!current.empty()) arguments.push_back(current);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);

  sorvell::console::Options options;
  std::string error;
  const bool ok = sorvell::console::ParseOptions(static_cast<int>(arguments.size()), argv.data(),
                                                 options, error);
  if (!ok && error.empty()) std::abort();
  if (ok) sorvell::console::ResolveFolders(options, argv[0]);
  return 0;
}
