#pragma once
// The switch bitmap (109): two images of 36 x 24 on the key colour, off above
// and on below. A slide toggle whose track lights up amber when on.

#include "Raster.h"

namespace brume::bitmaps {

// 36 x 48: off image on top, on image below.
Raster paintSwitchStrip();
Raster paintSwitch(bool on);

}  // namespace brume::bitmaps
