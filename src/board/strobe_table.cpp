#include "board/strobe_table.h"

namespace sorvell::board {

void InitStrobeTable(StrobeTableType& table) {
  table = {10, 2,  8, 0,  14, 11, 3,  9, 1,  15,  // model 4
           5,  13, 7, 15, 1,  4,  12, 6, 14, 0};  // models 5 and 6
}

}  // namespace sorvell::board
