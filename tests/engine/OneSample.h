#pragma once
// One sample of the engine's mono output: a run of length one.

#include "engine/SynthEngine.h"

namespace brume::test {

inline float renderOneSample(SynthEngine& engine, float input = 0.0f) {
  float sample = 0.0f;
  engine.renderRun(&input, &sample, 1);
  return sample;
}

}  // namespace brume::test
