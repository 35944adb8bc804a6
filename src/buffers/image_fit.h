#pragma once

#include <cstdint>
#include <string>

#include "catalogue/selection.h"

namespace sorvell::buffers {

// Empty when the code image fills the selected part exactly, or when there is no image or no
// part; otherwise both sizes and what programming will do with the difference. Programming always
// covers the whole part, so an image of another size must never be burned without a word.
std::string ImageFitNote(std::int32_t imageBytes, const catalogue::Selection& device);

}  // namespace sorvell::buffers
