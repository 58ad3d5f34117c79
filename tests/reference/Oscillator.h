// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#pragma once
// One of the three oscillators of every voice: settings shared by all voices
// apart from each voice's phase and increments.

#include <cstdint>

#include "engine/ClassicRandom.h"
#include "engine/RelaxedAtomic.h"
#include "engine/Voice.h"
#include "tests/reference/WaveShape.h"

namespace brume::reference {

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

  // Audio thread, real-time safe. One sample of the listed voices (numbers 0 to
  // 15): values[i] is the wave of voice voices[i] at its phase before the step;
  // then each phase advances and, with glide on, each increment moves toward its
  // target. The shape is dispatched once per call, not once per voice: a whole
  // sample of 16 voices measured 1.8 times faster that way for the shapes
  // without a sine (and 1.2 times for the sine shapes).
  void stepVoices(const std::int32_t* voices, std::int32_t count, bool glideOn, float glideRate,
                  float* values) noexcept;

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

}  // namespace brume::reference
