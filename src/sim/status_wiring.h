#pragma once

#include <cstdint>

namespace sorvell::sim {

// The status port as read with a board attached: the chosen nibble of D7..D0 on the inputs the
// model wires it to. Inputs that nothing drives float high, so bits 0..2 (and bit 3 on model 4)
// read 1 and the undriven Busy input of models 5/6 reads 0 after the port's inversion.
std::uint8_t StatusInputs(int model, bool highNibble, std::uint8_t dataBus);

}  // namespace sorvell::sim
