#pragma once
// A picture of the whole editor as it will look: the background with every knob
// and switch drawn keyed at its default value, the voice meter, and the captions
// (black) and value texts (red) the editor writes, for judging the panel by eye.

#include "FontText.h"
#include "Raster.h"

namespace brume::bitmaps {

struct EditorBitmaps {
  const Raster& background;
  const Raster* knobStrips[4];
  const Raster& switchStrip;
  const Raster& voiceMeterStrip;
};

Raster paintEditorPreview(const EditorBitmaps& bitmaps, const FontLibrary& fonts, int soundingVoices);

}  // namespace brume::bitmaps
