#pragma once
// The voice engine: three oscillators shared by 16 voices, the envelope
// settings, the engine clock, the list of recently released pitches that glide
// starts from, and the renderer of runs of samples.

#include <cstdint>

#include "engine/ClassicRandom.h"
#include "engine/Envelope.h"
#include "engine/Oscillator.h"
#include "engine/ParameterIndex.h"
#include "engine/RelaxedAtomic.h"
#include "engine/Voice.h"
#include "engine/simd/VoiceKernel.h"

namespace brume {

// Pitches released at the latest release instant; glide starts from them.
struct ReleasedPitchList {
  static constexpr std::int32_t kCapacity = 15;
  float releasedPitches[kVoiceCount] = {};  // semitones; the first `count` are in use
  std::int32_t count = 0;
  std::int64_t lastReleaseTime = -1;  // engine clock time of the latest release instant
};

class SynthEngine {
 public:
  // Construction only: fills the noise tables from a fresh classic generator and
  // leaves the engine as resetEngine() does, with pitch offsets 0 and no ring
  // multiplication. Renders with the widest kernel the processor runs.
  SynthEngine() noexcept;

  SynthEngine(const SynthEngine&) = delete;
  SynthEngine& operator=(const SynthEngine&) = delete;

  // Audio thread, real-time safe. Starts a note at engineClock + deltaFrames on
  // the voice with the earliest end time (lowest voice number on ties), gliding
  // from the nearest released pitch when glide is on.
  void noteOn(std::int32_t note, float pitch, float velocity, std::int32_t deltaFrames) noexcept;
  // Audio thread, real-time safe. Releases every voice of the key at
  // engineClock + deltaFrames; a key without a voice records no released pitch.
  void noteOff(std::int32_t note, std::int32_t deltaFrames) noexcept;
  // Audio thread, real-time safe. Clock 0, all voices silent, settings back to
  // their engine defaults; pitch offsets, ring switches and noise tables stay.
  void resetEngine() noexcept;
  // Audio thread, real-time safe. Renders mono samples of all sounding voices
  // into `mono`: at most maxLength (and kMaxRunLength, or kMaxWideRunLength
  // for more than two voices), ending early where a voice starts, ends or
  // enters Release, so that each run has one set of voices. Returns the
  // samples rendered (0 only for a maxLength of 0 or less). The input (may be
  // null) joins the chain of the first sounding voice.
  // The kernel may also do `job` (may be null) on the way, leaving its count
  // at 0, and filter mono with `own` (may be null), saying so in it;
  // otherwise both are left to the caller.
  std::int32_t renderRun(const float* input, float* mono, std::int32_t maxLength, FilterJob* job = nullptr,
                         OwnFilter* own = nullptr) noexcept;
  // Not while rendering. Chooses the kernel; false (and no change) for a path
  // this build or processor cannot run.
  bool setKernelPath(KernelPath path) noexcept;
  KernelPath kernelPath() const noexcept { return kernel->path; }
  // Any thread. The chosen kernel, for the block's output stage at its width.
  const VoiceKernel& voiceKernelInUse() const noexcept { return *kernel; }
  // Audio thread. Room for the mono samples of two runs (0 and 1), kMaxRunLength each.
  float* runOutput(std::int32_t which) noexcept { return scratch.mono[which & 1]; }
  // Audio thread, real-time safe. Voices with start time <= clock < end time.
  std::int32_t soundingVoiceCount() const noexcept;

  // Settings. Any thread, real-time safe; out-of-range oscillator numbers are ignored.
  // setSustain and setOscillatorPitch also change sounding voices: called while
  // another thread renders, that voice state is shared without synchronisation
  // (at worst one sample's update of a level or an increment is lost).
  void setSustain(float level) noexcept;
  // Applies to notes started afterwards only.
  void setTranspose(float semitones) noexcept { settings.transpose.store(semitones); }
  // Retunes the sounding voices of that oscillator by the ratio of the change.
  void setOscillatorPitch(std::int32_t oscillator, float semitones) noexcept;
  void setOscillatorShape(std::int32_t oscillator, std::int32_t shape) noexcept;
  void setOscillatorLevel(std::int32_t oscillator, float level) noexcept;
  void setOscillatorRingMultiply(std::int32_t oscillator, bool on) noexcept;
  // Lengths below 1 sample become 1.
  void setAttackLength(std::int32_t samples) noexcept;
  void setDecayLength(std::int32_t samples) noexcept;
  void setReleaseLength(std::int32_t samples) noexcept;
  void setGlideOn(bool on) noexcept { settings.glideOn.store(on); }
  // Kept within 0.00001 to 0.9999 (NaN becomes 0.00001) so increments stay finite.
  void setGlideRate(float rate) noexcept;
  // Whole samples per second; notes started under a rate of 0 or below are silent.
  void setEngineSampleRate(std::int32_t rate) noexcept { settings.engineSampleRate.store(rate); }

  // Inspection. Any thread for the settings; the voice state belongs to the audio thread.
  const Oscillator& oscillator(std::int32_t index) const noexcept { return oscillators[oscillatorSlot(index)]; }
  const Voice& voice(std::int32_t index) const noexcept {
    return voices[index >= 0 && index < kVoiceCount ? index : 0];
  }
  const EnvelopeSettings& envelopeSettings() const noexcept { return envelope; }
  const ReleasedPitchList& releasedPitches() const noexcept { return released; }
  std::int64_t engineClock() const noexcept { return clock; }
  bool glideOn() const noexcept { return settings.glideOn.load(); }
  float glideRate() const noexcept { return settings.glideRate.load(); }
  float transpose() const noexcept { return settings.transpose.load(); }
  std::int32_t engineSampleRate() const noexcept { return settings.engineSampleRate.load(); }

 private:
  explicit SynthEngine(ClassicRandom&& random) noexcept;

  static std::int32_t oscillatorSlot(std::int32_t index) noexcept {
    return index >= 0 && index < kOscillatorCount ? index : 0;
  }
  // 2^((pitch offset + transpose) / 12) for oscillator k.
  double pitchRatio(const Oscillator& oscillator) const noexcept;
  float nearestReleasedPitch(float pitch) const noexcept;

  struct Settings {
    RelaxedAtomic<std::int32_t> engineSampleRate{44100};  // whole samples per second
    RelaxedAtomic<bool> glideOn{false};
    RelaxedAtomic<float> glideRate{0.1f};  // per-sample share of the way to the target increment
    RelaxedAtomic<float> transpose{0.0f};  // whole semitones
  };

  // The settings of one run, copied once for it.
  RunSettings runSettings() const noexcept;

  Oscillator oscillators[kOscillatorCount];
  EnvelopeSettings envelope;
  std::int64_t clock = 0;  // samples rendered since the last reset
  Voice voices[kVoiceCount];
  ReleasedPitchList released;
  Settings settings;

  const VoiceKernel* kernel;
  // Audio thread only: the sounding voices of the current run, packed for the kernel.
  std::int32_t laneVoices[kVoiceCount] = {};
  RunLanes lanes{};
  RunScratch scratch{};
};

}  // namespace brume
