#pragma once
// The four knob strips (bitmaps 104 to 107): 56 images of 32 x 32 stacked top
// to bottom on the key colour. Image i shows value i / 54, the pointer turning
// clockwise from the lower left (225 degrees) over the top to the lower right
// (-45 degrees); image 55 repeats the maximum. The knobs share one body and
// differ by the colour of their cap.

#include "Raster.h"

namespace brume::bitmaps {

enum class KnobStyle {
  blue,    // 104: oscillator levels and shapes, LFO periods and aims, filter
  silver,  // 105: master volume, pan and pitch, glide rate
  amber,   // 106: envelope, event values
  teal,    // 107: tuning, LFO ranges, event aims and notes, comp
};

// The whole strip, 32 x 1792.
Raster paintKnobStrip(KnobStyle style);
// One 32 x 32 image for value 0..1.
Raster paintKnob(KnobStyle style, double value);

}  // namespace brume::bitmaps
