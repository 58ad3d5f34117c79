// The two processing entries, both leading to renderBlock.
#include "instrument/Instrument.h"

namespace brume {

void Instrument::process(float** inputs, float** outputs, VstInt32 frames) {
  renderBlock(inputs ? inputs[0] : nullptr, outputs, frames, false);
}

void Instrument::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
  renderBlock(inputs ? inputs[0] : nullptr, outputs, frames, true);
}

void Instrument::renderBlock(const float*, float** outputs, VstInt32 frames, bool replace) {
  if (!replace || !outputs || frames <= 0) return;
  for (int channel = 0; channel < 2; ++channel)
    if (float* out = outputs[channel])
      for (VstInt32 i = 0; i < frames; ++i) out[i] = 0.0f;
}

}  // namespace brume
