#pragma once
// The look shared by every section of the panel (and by the voice meter, which
// is drawn over the panel): a face with rounded corners on the slate frame,
// lit along its top edge and shaded along its bottom edge.

#include "Raster.h"

namespace brume::bitmaps {

// rect is the section's face; the frame colour around it must already be there.
void paintSection(Raster& raster, PixelRect rect);
// A dark plate with rounded corners, for the name and the voice lamps.
void paintPlate(Raster& raster, PixelRect rect, double radius);

}  // namespace brume::bitmaps
