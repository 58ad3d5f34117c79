#pragma once
// The editor background (bitmap 101, 650 x 200): one section per group of
// controls, the panel's own labels and titles, the name plate, and the voice
// meter's empty image in its place. Everything the editor writes over it
// (captions above, value texts below the controls) lands on plain face colour.

#include "FontText.h"
#include "Raster.h"

namespace brume::bitmaps {

Raster paintBackground(const FontLibrary& fonts);

}  // namespace brume::bitmaps
