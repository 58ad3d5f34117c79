#pragma once
// The sample loop of one host block: engine, filter, "Comp" shaper, stereo
// gains, limit, and the LFO tick every 100 samples.

#include <atomic>
#include <cstdint>

#include "engine/Lfo.h"
#include "engine/LowPassFilter.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterValues.h"
#include "engine/ParameterWriter.h"
#include "engine/SynthEngine.h"

namespace brume {

struct RenderContext {
  SynthEngine& engine;
  LowPassFilter& filter;
  Lfo (&lfos)[kLfoCount];
  const ParameterValues& currentValues;
  std::atomic<std::int32_t>& sampleCounter;  // owned by the instrument; wraps around
  ParameterWriter& writer;                   // where the LFO tick writes
};

// Audio thread, real-time safe: no allocation, no locks. Renders frameCount
// samples into left and right, overwriting them (replace) or adding to what they
// hold; both ways are limited to +-0.99. A null input is a silent input; a frame
// count of 0 or less, or a null output, renders nothing. Volume, pan and comp
// gains are fixed at the block's start; "LPFilter" and whether "Comp" is 0.5
// are read for every run, and a run ends at every LFO tick, so every write
// counts from the next sample on. Before each run the writer takes in what
// other threads handed over.
void renderBlockSamples(const float* input, float* left, float* right, std::int32_t frameCount, bool replace,
                        const RenderContext& context) noexcept;

}  // namespace brume
