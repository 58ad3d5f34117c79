#pragma once
// Reads an uncompressed 24- or 32-bit Windows .bmp file (bottom-up or top-down).

#include <cstddef>
#include <cstdint>

#include "gui/native/raster/Canvas.h"

namespace brume::raster {

// False, leaving `image` alone, for anything else or a truncated file.
bool decodeBmp(const std::uint8_t* data, std::size_t size, Canvas& image);

}  // namespace brume::raster
