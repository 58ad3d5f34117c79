// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#include "tests/reference/SynthEngine.h"

#include <algorithm>
#include <cmath>

namespace brume::reference {

namespace {

constexpr float kMinimumGlideRate = 0.00001f;
constexpr float kMaximumGlideRate = 0.9999f;

// Hz of a pitch in semitones, 0 = MIDI key 0.
double noteFrequency(double pitch) noexcept { return 8.175799369812012 * std::pow(1.0594631433486938, pitch); }

}  // namespace

SynthEngine::SynthEngine() noexcept : SynthEngine(ClassicRandom{}) {}

// The three oscillators draw from one generator in order 0, 1, 2, so each has tables of its own.
SynthEngine::SynthEngine(ClassicRandom&& random) noexcept
    : oscillators{Oscillator(random), Oscillator(random), Oscillator(random)} {
  resetEngine();
}

void SynthEngine::resetEngine() noexcept {
  clock = 0;
  for (Voice& voice : voices) {
    voice.startTime = 0;
    voice.endTime = 0;
    voice.envelopeLevel = 0.0f;
    voice.stage = EnvelopeStage::Release;
  }
  released.count = 0;
  released.lastReleaseTime = -1;
  envelope.attackLength.store(600);
  envelope.decayLength.store(300);
  envelope.releaseLength.store(10000);
  envelope.sustainLevel.store(0.5f);
  settings.glideOn.store(false);
  settings.glideRate.store(0.1f);
  settings.engineSampleRate.store(44100);
  settings.transpose.store(0.0f);
  for (Oscillator& oscillator : oscillators) {
    oscillator.setLevel(0.7f);
    oscillator.setShape(static_cast<std::int32_t>(WaveShape::Sin));
  }
}

double SynthEngine::pitchRatio(const Oscillator& oscillator) const noexcept {
  const double semitones =
      static_cast<double>(oscillator.pitchOffset()) + static_cast<double>(settings.transpose.load());
  return std::pow(2.0, semitones / 12.0);
}

float SynthEngine::nearestReleasedPitch(float pitch) const noexcept {
  float nearest = released.releasedPitches[0];
  double nearestDistance = std::fabs(static_cast<double>(nearest) - pitch);
  for (std::int32_t i = 1; i < released.count; ++i) {
    const double distance = std::fabs(static_cast<double>(released.releasedPitches[i]) - pitch);
    if (distance < nearestDistance) {  // the earlier entry wins a tie
      nearest = released.releasedPitches[i];
      nearestDistance = distance;
    }
  }
  return nearest;
}

void SynthEngine::noteOn(std::int32_t note, float pitch, float velocity, std::int32_t deltaFrames) noexcept {
  const std::int64_t startTime = clock + deltaFrames;

  // Free voices first, then voices in release by their end, held voices last.
  std::int32_t chosen = 0;
  for (std::int32_t v = 1; v < kVoiceCount; ++v) {
    if (voices[v].endTime < voices[chosen].endTime) chosen = v;
  }

  Voice& voice = voices[chosen];
  voice.startTime = startTime;
  voice.endTime = kHeldEndTime;
  voice.note = note;
  voice.releaseTime = kHeldReleaseTime;
  voice.velocity = velocity;
  voice.pitch = pitch;
  startEnvelope(voice, envelope);

  const double sampleRate = static_cast<double>(settings.engineSampleRate.load());
  const bool glides = released.count > 0 && settings.glideOn.load();
  const double glideStart = glides ? nearestReleasedPitch(pitch) : 0.0;
  for (Oscillator& oscillator : oscillators) {
    const double ratio = pitchRatio(oscillator);
    const float target = incrementFrom(noteFrequency(pitch) / sampleRate * ratio);
    const float increment = glides ? incrementFrom(noteFrequency(glideStart) / sampleRate * ratio) : target;
    oscillator.startVoice(chosen, increment, target);
  }
}

void SynthEngine::noteOff(std::int32_t note, std::int32_t deltaFrames) noexcept {
  const std::int64_t releaseTime = clock + deltaFrames;
  bool found = false;
  float releasedPitch = 0.0f;
  // Voices that start later in the block count too; of several, the last one's pitch is kept.
  for (Voice& voice : voices) {
    if (voice.note == note && voice.endTime > clock) {
      voice.releaseTime = releaseTime;
      releasedPitch = voice.pitch;
      found = true;
    }
  }
  if (!found) return;

  if (released.lastReleaseTime < releaseTime) {
    released.releasedPitches[0] = releasedPitch;
    released.count = 1;
    released.lastReleaseTime = releaseTime;
  } else if (released.count < ReleasedPitchList::kCapacity) {
    released.releasedPitches[released.count++] = releasedPitch;
  }
}

float SynthEngine::renderSample(float input) noexcept {
  std::int32_t sounding[kVoiceCount];
  std::int32_t count = 0;
  for (std::int32_t v = 0; v < kVoiceCount; ++v) {
    if (voices[v].isSounding(clock)) sounding[count++] = v;
  }

  // Each oscillator steps all sounding voices at once; a voice's oscillators,
  // envelope and sum depend on that voice alone, so the numbers are those of
  // running voice by voice.
  float waves[kOscillatorCount][kVoiceCount];
  float levels[kOscillatorCount];
  bool ringMultiply[kOscillatorCount];
  const bool glideOn = settings.glideOn.load();
  const float glideRate = settings.glideRate.load();
  for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
    oscillators[k].stepVoices(sounding, count, glideOn, glideRate, waves[k]);
    levels[k] = oscillators[k].level();
    ringMultiply[k] = oscillators[k].ringMultiply();
  }

  float result = 0.0f;
  float chainInput = input;  // only the first sounding voice hears the input
  for (std::int32_t i = 0; i < count; ++i) {
    Voice& voice = voices[sounding[i]];
    float signal = chainInput;
    chainInput = 0.0f;
    for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
      const float wave = levels[k] * waves[k][i];
      signal = ringMultiply[k] ? signal * wave : signal + wave;
    }
    stepEnvelope(voice, envelope, clock);
    result += voice.velocity * voice.envelopeLevel * signal;
  }
  ++clock;
  return result;
}

std::int32_t SynthEngine::soundingVoiceCount() const noexcept {
  std::int32_t count = 0;
  for (const Voice& voice : voices) {
    if (voice.isSounding(clock)) ++count;
  }
  return count;
}

void SynthEngine::setSustain(float level) noexcept { applySustainLevel(envelope, voices, level); }

void SynthEngine::setOscillatorPitch(std::int32_t oscillator, float semitones) noexcept {
  if (oscillator < 0 || oscillator >= kOscillatorCount) return;
  Oscillator& target = oscillators[oscillator];
  const double ratio =
      std::pow(2.0, (static_cast<double>(semitones) - static_cast<double>(target.pitchOffset())) / 12.0);
  // Voices that start later in the block keep their tuning.
  for (std::int32_t v = 0; v < kVoiceCount; ++v) {
    if (voices[v].isSounding(clock)) target.scaleVoiceIncrements(v, ratio);
  }
  target.setPitchOffset(semitones);
}

void SynthEngine::setOscillatorShape(std::int32_t oscillator, std::int32_t shape) noexcept {
  if (oscillator >= 0 && oscillator < kOscillatorCount) oscillators[oscillator].setShape(shape);
}

void SynthEngine::setOscillatorLevel(std::int32_t oscillator, float level) noexcept {
  if (oscillator >= 0 && oscillator < kOscillatorCount) oscillators[oscillator].setLevel(level);
}

void SynthEngine::setOscillatorRingMultiply(std::int32_t oscillator, bool on) noexcept {
  if (oscillator >= 0 && oscillator < kOscillatorCount) oscillators[oscillator].setRingMultiply(on);
}

void SynthEngine::setAttackLength(std::int32_t samples) noexcept { envelope.attackLength.store(std::max(samples, 1)); }

void SynthEngine::setDecayLength(std::int32_t samples) noexcept { envelope.decayLength.store(std::max(samples, 1)); }

void SynthEngine::setReleaseLength(std::int32_t samples) noexcept {
  envelope.releaseLength.store(std::max(samples, 1));
}

void SynthEngine::setGlideRate(float rate) noexcept {
  if (rate > kMaximumGlideRate) rate = kMaximumGlideRate;
  if (!(rate >= kMinimumGlideRate)) rate = kMinimumGlideRate;
  settings.glideRate.store(rate);
}

}  // namespace brume::reference
