// --board values, one per line: every one is understood or refused with a reason, and what is
// understood names only boards that exist (models 4 to 6 on the three parallel port addresses).
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "shell/port_backend.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvell::shell;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  BoardRequest request;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string spec(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    std::string error;
    if (!AddBoardSpec(spec, request, error) && error.empty()) std::abort();
  }
  std::set<std::uint16_t> bases;
  for (const auto& board : request.simBoards) {
    if (board.model < 4 || board.model > 6) std::abort();
    if (board.base != 0x378 && board.base != 0x278 && board.base != 0x3BC) std::abort();
    if (!bases.insert(board.base).second) std::abort();
  }
  if (!request.simBoards.empty() && request.kind != BoardRequest::Kind::kSimulated) std::abort();
  return 0;
}
