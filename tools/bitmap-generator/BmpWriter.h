#pragma once
// Writes a raster as an uncompressed 24-bit bottom-up Windows bitmap file
// (BITMAPFILEHEADER + BITMAPINFOHEADER, rows padded to four bytes), the form
// the resource compiler and the native loader both take.

#include <cstdint>
#include <string>
#include <vector>

#include "Raster.h"

namespace brume::bitmaps {

// The whole file as bytes; channels are rounded to the nearest integer and clamped to 0..255.
std::vector<std::uint8_t> encodeBmp(const Raster& raster);

// False, with a one-line reason in error, when the file cannot be written.
bool writeBmp(const std::string& path, const Raster& raster, std::string& error);

}  // namespace brume::bitmaps
