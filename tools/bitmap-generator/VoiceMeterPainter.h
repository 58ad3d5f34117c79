#pragma once
// The voice meter (bitmap 110): 17 opaque images of 50 x 50, image n lighting
// n of sixteen amber lamps (four rows of four, read like text) for n sounding
// voices. Drawn over the panel at (150, 0), so each image carries its own frame.

#include "FontText.h"
#include "Raster.h"

namespace brume::bitmaps {

Raster paintVoiceMeterStrip(const FontLibrary& fonts);
Raster paintVoiceMeter(const FontLibrary& fonts, int soundingVoices);

}  // namespace brume::bitmaps
