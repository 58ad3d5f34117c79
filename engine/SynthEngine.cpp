#include "engine/SynthEngine.h"

#include <algorithm>
#include <cmath>

namespace brume {

namespace {

constexpr float kMinimumGlideRate = 0.00001f;
constexpr float kMaximumGlideRate = 0.9999f;

// Hz of a pitch in semitones, 0 = MIDI key 0.
double noteFrequency(double pitch) noexcept { return 8.175799369812012 * std::pow(1.0594631433486938, pitch); }

}  // namespace

SynthEngine::SynthEngine() noexcept : SynthEngine(ClassicRandom{}) {}

// The three oscillators draw from one generator in order 0, 1, 2, so each has tables of its own.
SynthEngine::SynthEngine(ClassicRandom&& random) noexcept
    : oscillators{Oscillator(random), Oscillator(random), Oscillator(random)}, kernel(&voiceKernel(bestKernelPath())) {
  resetEngine();
}

bool SynthEngine::setKernelPath(KernelPath path) noexcept {
  if (!kernelPathSupported(path)) return false;
  kernel = &voiceKernel(path);
  return true;
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

RunSettings SynthEngine::runSettings() const noexcept {
  RunSettings run;
  for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
    run.shape[k] = oscillators[k].shape();
    run.ringMultiply[k] = oscillators[k].ringMultiply();
    run.level[k] = oscillators[k].level();
    run.noise[k] = &oscillators[k].noiseTables();
  }
  run.glideOn = settings.glideOn.load();
  run.glideRate = settings.glideRate.load();
  run.sustainLevel = envelope.sustainLevel.load();
  run.decayStep = (run.sustainLevel - 1.0f) / static_cast<float>(envelope.decayLength.load());
  run.releaseStep = -(run.sustainLevel / static_cast<float>(envelope.releaseLength.load()));
  return run;
}

std::int32_t SynthEngine::renderRun(const float* input, float* mono, std::int32_t maxLength, FilterJob* job,
                                    OwnFilter* own) noexcept {
  std::int64_t length = std::min(maxLength, kMaxRunLength);
  if (length <= 0) return 0;

  // The run stops where a voice starts or ends.
  std::int32_t count = 0;
  for (std::int32_t v = 0; v < kVoiceCount; ++v) {
    const Voice& voice = voices[v];
    if (voice.isSounding(clock)) {
      laneVoices[count++] = v;
      length = std::min(length, voice.endTime - clock);
    } else if (voice.startTime > clock) {
      length = std::min(length, voice.startTime - clock);
    }
  }
  if (count == 0) {
    const auto silentLength = static_cast<std::int32_t>(length);
    std::fill(mono, mono + silentLength, 0.0f);
    clock += silentLength;
    return silentLength;
  }

  // Pack the sounding voices into lanes; the rest of the kernel's row stays silent.
  lanes.count = count;
  std::int32_t rowWidth = 1;
  while (rowWidth < count) rowWidth *= 2;
  if (rowWidth > kMaxNarrowRowWidth) length = std::min<std::int64_t>(length, kMaxWideRunLength);
  for (std::int32_t l = 0; l < rowWidth; ++l) {
    const bool sounding = l < count;
    const std::int32_t v = sounding ? laneVoices[l] : 0;
    for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
      const OscillatorVoiceState state = sounding ? oscillators[k].voiceState(v) : OscillatorVoiceState{};
      lanes.phase[k][l] = state.phase;
      lanes.increment[k][l] = state.increment;
      lanes.targetIncrement[k][l] = state.targetIncrement;
    }
    const Voice& voice = voices[v];
    lanes.envelopeLevel[l] = sounding ? voice.envelopeLevel : 0.0f;
    lanes.envelopeStep[l] = sounding ? voice.envelopeStep : 0.0f;
    lanes.velocity[l] = sounding ? voice.velocity : 0.0f;
    lanes.stage[l] = static_cast<std::int32_t>(sounding ? voice.stage : EnvelopeStage::Sustain);
    // Release begins on the first sample at which the clock is past the release time.
    const std::int64_t releaseFrom = sounding ? voice.releaseTime + 1 - clock : kMaxRunLength + 1;
    lanes.releaseFrom[l] = static_cast<std::int32_t>(std::clamp<std::int64_t>(releaseFrom, 0, kMaxRunLength + 1));
  }

  const auto runLength = static_cast<std::int32_t>(length);
  const RunResult result = kernel->renderRun(lanes, runSettings(), scratch, input, mono, runLength, job, own);

  for (std::int32_t l = 0; l < count; ++l) {
    const std::int32_t v = laneVoices[l];
    for (std::int32_t k = 0; k < kOscillatorCount; ++k) {
      oscillators[k].setVoicePhase(v, lanes.phase[k][l], lanes.increment[k][l]);
    }
    Voice& voice = voices[v];
    voice.envelopeLevel = lanes.envelopeLevel[l];
    voice.envelopeStep = lanes.envelopeStep[l];
    voice.stage = static_cast<EnvelopeStage>(lanes.stage[l]);
    // The last rendered sample entered Release: the voice ends release length samples on.
    if ((result.enteredRelease >> l) & 1u) voice.endTime = clock + result.rendered - 1 + envelope.releaseLength.load();
  }
  clock += result.rendered;
  return result.rendered;
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

}  // namespace brume
