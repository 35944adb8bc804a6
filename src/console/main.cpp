// sorvell-cli: the console front end.
#include <cstdio>
#include <cstring>
#include <string>

#include "console/demo.h"
#include "shell/port_backend.h"

namespace {

constexpr const char* kUsage =
    "usage: sorvell-cli [--board SPEC]...\n"
    "  --board sim:M@PORT   a simulated board of model M (4, 5 or 6) at PORT (378, 278 or 3BC); "
    "may repeat\n"
    "  --board sim:none     no board on any port\n"
    "  --board ppdev        the parallel port through /dev/parportN\n"
    "  --board direct       the parallel port through direct I/O (x86, root)\n";

}  // namespace

int main(int argc, char** argv) {
  sorvell::shell::BoardRequest request;
  std::string error;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--board") == 0 && i + 1 < argc) {
      if (!sorvell::shell::AddBoardSpec(argv[++i], request, error)) {
        std::fprintf(stderr, "sorvell-cli: %s\n%s", error.c_str(), kUsage);
        return 2;
      }
      continue;
    }
    std::fprintf(stderr, "sorvell-cli: unknown argument %s\n%s", argv[i], kUsage);
    return 2;
  }
  auto backend = sorvell::shell::OpenPortBackend(request, error);
  if (!backend) {
    std::fprintf(stderr, "sorvell-cli: %s\n", error.c_str());
    return 2;
  }
  return sorvell::console::RunReadDemonstration(*backend, stdout);
}
