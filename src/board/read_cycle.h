#pragma once

#include <cstdint>

#include "board/board.h"

namespace sorvell::board {

// The read cycle of the device operations: the full address once, register 4 released, chip and
// output enabled; then per byte only the address registers that changed (register 2 within a
// 256-byte page) and a two-nibble read. Hands each byte, from address 0 up, to `sink`; leaves the
// socket idle.
template <typename Sink>
void ReadSequential(Board& board, std::int32_t count, Sink&& sink) {
  board.Reset();
  board.SETADR();
  board.REG4OFF();
  board.CEOEON();
  for (std::int32_t address = 0; address < count; ++address) {
    board.CurrentAddress = address;
    board.Endereco2Adr();
    if (board.AddrByte0 == 0) {
      board.SETADR();
    } else {
      board.Reg2Shadow = board.AddrByte0;
      board.SetReg2();
    }
    board.GetNibbles();
    sink(board.ReadByte);
  }
  board.Reset();
}

}  // namespace sorvell::board
