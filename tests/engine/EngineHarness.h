#pragma once
// The engine pieces wired together as the instrument wires them: values are
// stored, then applied; the LFOs and event modulators write through the same path.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/BlockRenderer.h"
#include "engine/EventIntake.h"
#include "engine/Lfo.h"
#include "engine/LowPassFilter.h"
#include "engine/ParameterApplication.h"
#include "engine/ParameterValues.h"
#include "engine/ParameterWriter.h"
#include "engine/SynthEngine.h"

namespace brume::test {

// The default value of every parameter in a fresh program.
constexpr float kDefaultValues[kParameterCount] = {
    0.9f,  0.5f, 0.5f, 0.0f, 1.0f,  0.0f, 0.5f, 0.5f, 1.0f,  1.0f, 0.1f, 0.25f, 0.5f, 0.0f, 0.4f,  0.0f, 0.5f, 0.5f,
    0.1f,  0.1f, 0.5f, 0.3f, 0.0f,  0.5f, 0.0f, 0.0f, 1.0f,  0.0f, 0.5f, 0.0f,  0.0f, 1.0f, 0.99f, 0.5f, 0.0f, 1.0f,
    0.99f, 0.5f, 0.0f, 1.0f, 0.99f, 0.5f, 0.0f, 1.0f, 0.99f, 0.5f, 0.0f, 1.0f,  1.0f, 0.5f, 0.8f,  0.0f, 0.5f, 0.6f,
};

class EngineHarness final : public ParameterWriter {
 public:
  EngineHarness() {
    for (std::int32_t i = 0; i < kParameterCount; ++i) set(i, kDefaultValues[i]);
  }

  void set(std::int32_t index, float value) {
    values.set(index, value);
    const ParameterContext context{
        engine, lfos, filter, values, beatSamplesFor(tempo, sampleRate), sampleCounter.load(), sampleRate};
    applyParameter(index, value, context);
  }

  void writeParameter(std::int32_t index, float value) override {
    writes.emplace_back(index, value);
    set(index, value);
  }

  // Both passes, as the instrument runs them over a list of one message.
  void midi(std::uint8_t status, std::uint8_t key, std::uint8_t velocity, std::int32_t deltaFrames = 0) {
    const MidiMessage message{status, key, velocity, 0, deltaFrames};
    for (int pass : {kModulatorPass, kVoicePass}) handleMidiMessage(pass, message, engine, values, *this);
  }

  void render(std::vector<float>& left, std::vector<float>& right, std::int32_t offset, std::int32_t frames,
              bool replace = true, const float* input = nullptr) {
    const RenderContext context{engine, filter, lfos, values, sampleCounter, *this};
    renderBlockSamples(input, left.data() + offset, right.data() + offset, frames, replace, context);
  }

  SynthEngine engine;
  Lfo lfos[kLfoCount];
  LowPassFilter filter;
  ParameterValues values;
  std::atomic<std::int32_t> sampleCounter{0};
  float sampleRate = 44100.0f;
  float tempo = 120.0f;
  std::vector<std::pair<std::int32_t, float>> writes;  // every modulator and LFO write, in order
};

// The first index at which two sample arrays differ, or -1.
inline std::int32_t firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (!(a[i] == b[i])) return static_cast<std::int32_t>(i);
  }
  return a.size() == b.size() ? -1 : static_cast<std::int32_t>(std::min(a.size(), b.size()));
}

}  // namespace brume::test
