#pragma once
// Writes a canvas as an 8-bit RGB PNG file.

#include <string>

#include "gui/native/raster/Canvas.h"

namespace brume::raster {

// False when the file cannot be written or the canvas is empty.
bool writePng(const Canvas& canvas, const std::string& path);

}  // namespace brume::raster
