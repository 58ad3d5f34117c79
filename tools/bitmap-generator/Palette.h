#pragma once
// The panel's colours: a cool fog grey face on a slate frame, four knob caps
// that tell the knobs' roles apart, and one warm amber for everything lit.

#include "Raster.h"

namespace brume::bitmaps::palette {

// The transparent colour of keyed bitmaps; no painted pixel may come near it.
constexpr Colour kKey{255.0, 255.0, 0.0};

constexpr Colour kFrame{60.0, 68.0, 80.0};         // gutters between the sections
constexpr Colour kFace{221.0, 226.0, 229.0};       // section faces; knobs and switches blend into it
constexpr Colour kFaceLight{236.0, 240.0, 242.0};  // top edge of a section
constexpr Colour kFaceShade{196.0, 203.0, 208.0};  // bottom edge of a section
constexpr Colour kLabel{78.0, 88.0, 102.0};        // the panel's own labels
constexpr Colour kTitle{46.0, 84.0, 116.0};        // section titles
constexpr Colour kTick{132.0, 142.0, 154.0};       // end marks of a knob's travel

constexpr Colour kSkirtTop{86.0, 94.0, 106.0};
constexpr Colour kSkirtBottom{34.0, 38.0, 45.0};
constexpr Colour kPointer{250.0, 250.0, 246.0};
constexpr Colour kPointerOnSilver{38.0, 42.0, 50.0};

constexpr Colour kCapBlue{58.0, 90.0, 172.0};      // strip 104: sources and filter
constexpr Colour kCapSilver{196.0, 201.0, 207.0};  // strip 105: master and glide
constexpr Colour kCapAmber{214.0, 136.0, 54.0};    // strip 106: envelope and event values
constexpr Colour kCapTeal{46.0, 136.0, 130.0};     // strip 107: pitch, ranges, aims

constexpr Colour kLit{255.0, 164.0, 48.0};   // lit switch, lit voice lamp
constexpr Colour kScreen{32.0, 38.0, 47.0};  // the voice meter's window and the name plate
constexpr Colour kUnlit{62.0, 70.0, 82.0};

}  // namespace brume::bitmaps::palette
