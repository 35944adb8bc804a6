// The board configuration file is read at every start; whatever is in it must parse to a board or
// to nothing, and a file the program wrote must read back as what it wrote.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "board/board_config.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sorvell::board;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const BoardConfig config = ParseBoardConfig(text);
  if (config.NamesBoard() && !(config.hasPort && config.hasModel)) std::abort();
  if (config.model < 0 || config.model > 0xFFFF) std::abort();

  if (size < 3) return 0;
  const auto port = static_cast<std::uint16_t>(data[0] | data[1] << 8);
  const int model = data[2];
  const BoardConfig written =
      ParseBoardConfig(FormatBoardConfig("12-08-2026", "10:58:39", port, model));
  if (!written.NamesBoard() || written.port != port || written.model != model) std::abort();
  return 0;
}
