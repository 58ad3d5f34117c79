#pragma once
// Where the software backends find numbered bitmaps: resources added here
// first (tests, tools), then the editor's bitmaps embedded in the program.
// User-interface thread only.

#include <cstdint>
#include <vector>

#include "gui/native/NativePlatform.h"
#include "gui/native/raster/Canvas.h"

namespace brume::raster {

// `bmpFile` is a whole .bmp file; it replaces an embedded bitmap of the same number.
void addImageResource(std::int32_t id, std::vector<std::uint8_t> bmpFile);
void clearImageResources();
// The pixels of an image handle; null for none.
const Canvas* imagePixels(const native::Image* image);

}  // namespace brume::raster
