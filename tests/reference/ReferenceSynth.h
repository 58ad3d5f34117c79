#pragma once
// The frozen scalar engine wired as the instrument wires its engine: values
// stored then applied, LFO ticks and event modulators through the same path,
// event lists in two passes. What the new engine must sound like.

#include <atomic>
#include <cstdint>

#include "engine/LfoModulation.h"
#include "engine/ModulationTargets.h"
#include "engine/ParameterValues.h"
#include "host/HostRecords.h"
#include "tests/reference/BlockRenderer.h"
#include "tests/reference/EventIntake.h"
#include "tests/reference/ParameterApplication.h"

namespace brume::reference {

class ReferenceSynth final : public ParameterWriter {
 public:
  // Made as the instrument is made: every default applied in index order at 44.1 kHz.
  ReferenceSynth(const float (&defaults)[kParameterCount], float tempo) : tempo(tempo) {
    for (std::int32_t i = 0; i < kParameterCount; ++i) setParameter(i, defaults[i]);
  }

  void setSampleRate(float rate) {
    sampleRate = rate;
    engine.setEngineSampleRate(static_cast<std::int32_t>(rate));
  }
  void resume() { resyncLfos(lfos, values, sampleCounter.load(), kNoTarget); }

  void setParameter(std::int32_t index, float value) {
    if (!isParameterIndex(index)) return;
    values.set(index, value);
    applyParameter(index, value,
                   ParameterContext{engine, lfos, filter, values, beatSamplesFor(tempo, sampleRate),
                                    sampleCounter.load(), sampleRate});
  }
  void writeParameter(std::int32_t index, float value) override { setParameter(index, value); }

  void receiveEvents(const VstEvents& events) {
    for (int pass = kModulatorPass; pass <= kVoicePass; ++pass) {
      for (VstInt32 i = 0; i < events.numEvents; ++i) {
        const auto* midi = reinterpret_cast<const VstMidiEvent*>((&events.events[0])[i]);
        if (midi->type != kMidiEventType) continue;
        const MidiMessage message{midi->midiData[0], midi->midiData[1], midi->midiData[2], midi->detune,
                                  midi->deltaFrames};
        handleMidiMessage(pass, message, engine, values, *this);
      }
    }
  }

  void render(const float* input, float* left, float* right, std::int32_t frames, bool replace) {
    renderBlockSamples(input, left, right, frames, replace,
                       RenderContext{engine, filter, lfos, values, sampleCounter, *this});
  }

  float value(std::int32_t index) const { return values.get(index); }

 private:
  float tempo;
  float sampleRate = 44100.0f;
  ParameterValues values;
  SynthEngine engine;
  Lfo lfos[kLfoCount];
  LowPassFilter filter;
  std::atomic<std::int32_t> sampleCounter{0};
};

}  // namespace brume::reference
