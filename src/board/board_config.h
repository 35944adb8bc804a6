#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvell::board {

// The board configuration file: where the board was last found, so the next start need not
// probe. Four CR LF lines when written; when read, only lines beginning exactly "IO_PORT = " or
// "MODEL = " count, a later one overriding an earlier one.
inline constexpr const char* kBoardConfigFile = "sorvell6.ini";

struct BoardConfig {
  bool hasPort = false;
  std::uint16_t port = 0;
  bool hasModel = false;
  int model = 0;
  std::string keys;  // "PORT" and "MODEL" in the order met, e.g. "PORTMODEL"
  // IO_PORT lines whose value is not a 16-bit port address; they are ignored.
  int badPortLines = 0;
  // Both keys exactly once each: the file names a board.
  bool NamesBoard() const { return keys == "PORTMODEL" || keys == "MODELPORT"; }
};

BoardConfig ParseBoardConfig(std::string_view text);

// `date` as mm-dd-yyyy and `time` as hh:mm:ss.
std::string FormatBoardConfig(const std::string& date, const std::string& time, std::uint16_t port,
                              int model);

}  // namespace sorvell::board
