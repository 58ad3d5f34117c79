#pragma once
// The vector kernels that render a run of samples of the sounding voices, and
// the choice among them. A run is a stretch of samples in which no voice starts
// or ends and no parameter changes, so every setting is fixed for it and the
// per-voice state can be walked lane by lane: one lane per sounding voice, in
// voice order. Each instruction set has its own build of the same kernel
// source (VoiceKernelBody.inc); this header is all the engine sees of them.

#include <cstdint>

#include "engine/LowPassFilter.h"
#include "engine/OutputStage.h"
#include "engine/ParameterIndex.h"
#include "engine/Voice.h"
#include "engine/WaveShape.h"

namespace brume {

// Rows of up to this many lanes filter their own samples (see OwnFilter).
constexpr std::int32_t kMaxNarrowRowWidth = 2;
// Runs never exceed this many samples. Wider rows stop sooner: their filter
// steps are left to the next run, to go beside its waves (see FilterJob), so
// a block needs several of their runs.
constexpr std::int32_t kMaxRunLength = 512;
constexpr std::int32_t kMaxWideRunLength = 128;

enum class KernelPath : std::int32_t { Sse2, Avx2, Avx512 };
constexpr std::int32_t kKernelPathCount = 3;

// The state of the sounding voices for one run, packed into lanes 0 to
// count - 1 in voice order. The kernel works on rows of 1, 2, 4, 8 or 16
// lanes, the narrowest that holds count; lanes from count up to that width are
// padding: silent (velocity 0), still, and never entering Release.
struct RunLanes {
  alignas(64) float phase[kOscillatorCount][kVoiceCount];
  alignas(64) float increment[kOscillatorCount][kVoiceCount];
  alignas(64) float targetIncrement[kOscillatorCount][kVoiceCount];
  alignas(64) float envelopeLevel[kVoiceCount];
  alignas(64) float envelopeStep[kVoiceCount];
  alignas(64) float velocity[kVoiceCount];
  alignas(64) std::int32_t stage[kVoiceCount];  // EnvelopeStage values
  // First sample of the run (0-based) at which a voice in Sustain enters Release.
  alignas(64) std::int32_t releaseFrom[kVoiceCount];
  std::int32_t count = 0;
};

// Settings shared by all voices, copied once per run.
struct RunSettings {
  WaveShape shape[kOscillatorCount];
  bool ringMultiply[kOscillatorCount];
  float level[kOscillatorCount];
  const NoiseTables* noise[kOscillatorCount];
  bool glideOn;
  float glideRate;
  float sustainLevel;
  float decayStep;    // (sustain - 1) / decay length, taken on entering Decay
  float releaseStep;  // -(sustain / release length), taken on entering Release
};

// Working rows for one run: for each sample, one value per lane (row width
// 1, 2, 4, 8 or 16), with room for a full vector past the end.
struct RunScratch {
  static constexpr std::int32_t kRowCapacity = kMaxWideRunLength * kVoiceCount + 64;
  alignas(64) float phases[kOscillatorCount][kRowCapacity];  // each oscillator's phase before its step
  alignas(64) float waves[kRowCapacity];                     // one oscillator's waves, shared with a later one
  alignas(64) float chain[kRowCapacity];                     // the oscillator chain of each voice
  alignas(64) float gain[kRowCapacity];                      // velocity x envelope level
  // Not the kernel's: the mono samples of a run and of the one before it,
  // for the block's output stage.
  alignas(64) float mono[2][kMaxRunLength];
};

static_assert(kMaxRunLength * kMaxNarrowRowWidth <= kMaxWideRunLength * kVoiceCount, "narrow rows fit the scratch");

struct RunResult {
  std::int32_t rendered;         // samples rendered: the run ends early after a voice enters Release
  std::uint32_t enteredRelease;  // lanes that entered Release on the last rendered sample
};

// The previous run's mono samples, to be filtered in place with the
// coefficients of their own time. The filter is one chain of dependent steps
// that leaves the vector units idle; a kernel with many lanes to compute may
// take the steps in among its wave evaluation, where they cost next to nothing.
struct FilterJob {
  LowPassFilter::Run run;
  float* samples = nullptr;
  std::int32_t count = 0;  // samples still to filter
};

// The filtering of the run being rendered, offered to the kernel. Rows of 1
// or 2 lanes have too little vector work to hide the filter's chain of
// dependent steps, so their kernels filter their own samples in among all of
// the run's other work, two chunks behind the sums, and leave the last two
// chunks to the next run.
struct OwnFilter {
  const LowPassFilter* filter = nullptr;  // in: the coefficients of this run
  // In: the state to go on from when there is no job to finish first; null
  // for the filter's own.
  const LowPassFilter::Run* after = nullptr;
  bool taken = false;         // out: the kernel filtered `filtered` samples of mono in place
  std::int32_t filtered = 0;  // out: from the first; the rest is still to filter
  LowPassFilter::Run run;     // out, if taken: the state after them, this run's coefficients
};

// Audio thread, real-time safe. Renders up to `length` (1 to kMaxRunLength)
// mono samples of the lanes into `mono`; `input` (may be null) joins lane 0's
// chain. Advances the lanes' phases, increments and envelopes. It either
// does all of `job` (may be null), leaving its count at 0, or leaves it to
// the caller: the AVX-512 kernel takes it for rows of 4 lanes or more, every
// kernel for rows of 1 or 2. Those also take `own` (may be null: the filter
// is off), after the job.
using RenderRunFunction = RunResult (*)(RunLanes& lanes, const RunSettings& settings, RunScratch& scratch,
                                        const float* input, float* mono, std::int32_t length, FilterJob* job,
                                        OwnFilter* own) noexcept;

// Any thread. The values of one wave shape at `count` phases (a multiple of
// 16), as the kernel's runs compute them: for tests of the shapes and sines.
using ShapeValuesFunction = void (*)(WaveShape shape, const float* phases, float* values, std::int32_t count,
                                     const NoiseTables& noise) noexcept;

// Audio thread, real-time safe. Shaper (if `shaper`), gains and limit of
// `count` samples into the outputs, overwriting them (replace) or adding to
// them: exactly shapeSample and limitOutput sample by sample, a register of
// samples at a time.
using WriteOutputFunction = void (*)(const float* mono, std::int32_t count, float* left, float* right, bool replace,
                                     bool shaper, const OutputGains& gains) noexcept;

struct VoiceKernel {
  KernelPath path;
  const char* name;  // "sse2", "avx2", "avx512"
  RenderRunFunction renderRun;
  ShapeValuesFunction shapeValues;
  WriteOutputFunction writeOutput;
};

// Any thread. Whether this build has the path and the processor and system can run it.
bool kernelPathSupported(KernelPath path) noexcept;
// Any thread. The widest supported path: AVX-512, then AVX2 with FMA, then SSE2.
KernelPath bestKernelPath() noexcept;
// Any thread. The kernel of a path; an unsupported path gives the SSE2 kernel.
const VoiceKernel& voiceKernel(KernelPath path) noexcept;
const char* kernelPathName(KernelPath path) noexcept;

}  // namespace brume
