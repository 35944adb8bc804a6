#pragma once

#include <algorithm>
#include <cstdint>

#include "board/board.h"

namespace sorvell::parallel {

// Steps the socket through addresses 0 .. size-1 the way every whole-device loop does: register
// 3 once per 64 KB bank, register 1 once per 256-byte page, register 2 and one read cycle per
// byte. `onPage()` runs after each page's register 1 write; `onByte(address)` after each read,
// with the byte in board.ReadByte, and returns false to stop. Covers exactly `size` bytes, also
// when the size is not a whole number of pages or banks, and never more than the board's address
// space. True when every byte was visited.
template <typename OnPage, typename OnByte>
bool WalkDevice(board::Board& board, std::int32_t size, OnPage&& onPage, OnByte&& onByte) {
  board.CurrentAddress = 0;
  size = std::min(size, board::Board::kAddressSpace);
  for (std::int32_t bankStart = 0; bankStart < size; bankStart += 65536) {
    board.AddrByte2 = bankStart / 65536;
    board.Reg3Shadow = board.BankBits() | (board.Reg3Shadow & 0xF0) | board.Reg3FixedBits;
    board.SetReg3();
    for (std::int32_t pageStart = bankStart; pageStart < size && pageStart < bankStart + 65536;
         pageStart += 256) {
      board.AddrByte1 = (pageStart / 256) % 256;
      board.Reg1Shadow = board.AdrMapB[board.AddrByte1] | board.Reg1FixedBits;
      board.SetReg1();
      onPage();
      for (std::int32_t low = 0; low < 256 && pageStart + low < size; ++low) {
        board.Reg2Shadow = low;
        board.SetReg2();
        board.GetNibbles();
        if (!onByte(pageStart + low)) return false;
        board.CurrentAddress = pageStart + low + 1;
      }
    }
  }
  return true;
}

// Pages a walk of `size` bytes steps through: the progress bar's range.
inline int PagesOf(std::int32_t size) {
  return size <= 0 ? 0 : (size + 255) / 256;
}

}  // namespace sorvell::parallel
