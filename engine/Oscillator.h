#pragma once
// One of the three oscillators of every voice: settings shared by all voices
// apart from each voice's phase and increments.

#include <cstdint>

#include "engine/ClassicRandom.h"
#include "engine/RelaxedAtomic.h"
#include "engine/Voice.h"
#include "engine/WaveShape.h"

namespace brume {

// Phase in cycles (0 <= phase < 1), increments in cycles per sample.
struct OscillatorVoiceState {
  float phase = 0.0f;
  float increment = 0.0f;
  float targetIncrement = 0.0f;
};

// An increment in cycles per sample from a wider value. Anything that is not a
// finite non-negative float (a sample rate of 0, absurd pitches) becomes 0, so
// the phase always stays finite and inside [0, 1).
float incrementFrom(double cyclesPerSample) noexcept;

class Oscillator {
 public:
  // Construction only: level 0.7, shape "Sin", pitch offset 0, no ring
  // multiplication; the noise tables take their draws from the shared generator.
  explicit Oscillator(ClassicRandom& random) noexcept;

  Oscillator(const Oscillator&) = delete;
  Oscillator& operator=(const Oscillator&) = delete;

  // Settings. Any thread, real-time safe.
  float level() const noexcept { return settings.level.load(); }
  void setLevel(float level) noexcept { settings.level.store(level); }
  float pitchOffset() const noexcept { return settings.pitchOffset.load(); }
  void setPitchOffset(float semitones) noexcept { settings.pitchOffset.store(semitones); }
  WaveShape shape() const noexcept { return static_cast<WaveShape>(settings.shape.load()); }
  // Any value is kept; one outside 0 to 13 gives silence.
  void setShape(std::int32_t shape) noexcept { settings.shape.store(shape); }
  bool ringMultiply() const noexcept { return settings.ringMultiply.load(); }
  void setRingMultiply(bool on) noexcept { settings.ringMultiply.store(on); }

  // Any thread, real-time safe (the tables never change after construction).
  const NoiseTables& noiseTables() const noexcept { return noise; }

  // Voice state. Writes to a voice number outside 0 to 15 are ignored; reads give voice 0.
  // Audio thread, real-time safe: a note start sets phase 0 and both increments.
  void startVoice(std::int32_t voice, float increment, float targetIncrement) noexcept;
  // Audio thread, real-time safe: retunes a sounding voice, glide in progress included.
  void scaleVoiceIncrements(std::int32_t voice, double ratio) noexcept;
  const OscillatorVoiceState& voiceState(std::int32_t voice) const noexcept { return voiceStates[voiceSlot(voice)]; }

  // Audio thread, real-time safe: stores a voice's phase and increment after a run.
  void setVoicePhase(std::int32_t voice, float phase, float increment) noexcept {
    if (!isVoice(voice)) return;
    voiceStates[voice].phase = phase;
    voiceStates[voice].increment = increment;
  }

 private:
  static bool isVoice(std::int32_t voice) noexcept { return voice >= 0 && voice < kVoiceCount; }
  static std::int32_t voiceSlot(std::int32_t voice) noexcept { return isVoice(voice) ? voice : 0; }

  struct Settings {
    RelaxedAtomic<float> level{0.7f};
    RelaxedAtomic<float> pitchOffset{0.0f};  // semitones
    RelaxedAtomic<std::int32_t> shape{0};
    RelaxedAtomic<bool> ringMultiply{false};
  };

  NoiseTables noise;
  Settings settings;
  OscillatorVoiceState voiceStates[kVoiceCount];
};

}  // namespace brume
