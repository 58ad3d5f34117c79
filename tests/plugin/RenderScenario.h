#pragma once
// A fixed piece of host behaviour that exercises the whole sound path: every
// wave shape, ring multiplication, glide, filter, both LFOs, an event
// modulator, the shaper, pan, an audio input and an engine reset.

#include <vector>

#include "host/HostRecords.h"

namespace brume::test {

// Renders the scenario through `effect` (already opened by the caller);
// returns the two output channels interleaved.
std::vector<float> renderScenario(AEffect* effect);

constexpr int kScenarioSampleRate = 44100;
constexpr int kScenarioBlockSize = 480;

}  // namespace brume::test
