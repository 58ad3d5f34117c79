#pragma once
// The 14 wave shapes of an oscillator and the pitched noise tables they read.
// None of the shapes is band-limited.

#include <cmath>
#include <cstdint>

#include "engine/ClassicRandom.h"

namespace brume {

enum class WaveShape : std::int32_t {
  Sin,
  Sinsaw,
  Saw,   // the full-height triangle
  Ramp,  // rising sawtooth that jumps from +1 to -1 at phase 0.5
  SawSqu,
  Square,
  SinSqu,
  Sin12,
  Sin123,
  Sin124,
  AbsSin,
  Noise,
  Noise2,
  Noise3,
};

constexpr std::int32_t kWaveShapeCount = 14;
constexpr std::int32_t kNoiseTableSize = 1024;

struct NoiseTables {
  float table1[kNoiseTableSize];  // random values, about -1 to 1
  float table2[kNoiseTableSize];  // random square wave of -1 and 1
  float table3[kNoiseTableSize];  // random line segments through values of table 1
};

// Construction only: fills the three tables with the draws of one oscillator.
void fillNoiseTables(NoiseTables& tables, ClassicRandom& random) noexcept;

namespace wave {

// 2 pi to 8 pi as single-precision constants: the angle is formed in float,
// the sine itself is taken in double.
constexpr float kTwoPi = 6.2831855f;
constexpr float kFourPi = 12.566371f;
constexpr float kSixPi = 18.849556f;
constexpr float kEightPi = 25.132742f;

inline float sine(float twoPiTimesHarmonic, float phase) noexcept {
  const float angle = twoPiTimesHarmonic * phase;
  return static_cast<float>(std::sin(static_cast<double>(angle)));
}

// Half-height triangle: 0, 0.5, 0, -0.5 at phases 0, 0.25, 0.5, 0.75.
inline float triangle(float x) noexcept {
  if (x < 0.25f) return 2.0f * x;
  if (x <= 0.75f) return 1.0f - 2.0f * x;
  return 2.0f * x - 2.0f;
}

inline float noiseAt(const float (&table)[kNoiseTableSize], float x) noexcept {
  // The phase is always in [0, 1); the mask only keeps a stray value inside the table.
  return table[static_cast<std::int32_t>(static_cast<float>(kNoiseTableSize) * x) & (kNoiseTableSize - 1)];
}

}  // namespace wave

// Audio thread, real-time safe. The value of a shape at phase x (0 <= x < 1);
// a shape outside the 14 gives 0.
inline float waveValue(WaveShape shape, float x, const NoiseTables& tables) noexcept {
  using namespace wave;
  switch (shape) {
    case WaveShape::Sin:
      return sine(kTwoPi, x);
    case WaveShape::Sinsaw:
      return triangle(x) + 0.5f * sine(kTwoPi, x);
    case WaveShape::Saw:
      if (x < 0.25f) return 4.0f * x;
      if (x <= 0.75f) return 2.0f - 4.0f * x;
      return 4.0f * x - 4.0f;
    case WaveShape::Ramp:
      return x <= 0.5f ? 2.0f * x : 2.0f * x - 2.0f;
    case WaveShape::SawSqu:
      return x < 0.5f ? triangle(x) + 0.5f : triangle(x) - 0.5f;
    case WaveShape::Square:
      return x < 0.5f ? 1.0f : -1.0f;
    case WaveShape::SinSqu:
      return x < 0.5f ? 0.5f * sine(kTwoPi, x) + 0.5f : 0.5f * sine(kTwoPi, x) - 0.5f;
    case WaveShape::Sin12:
      return (sine(kTwoPi, x) + sine(kFourPi, x)) * 0.5f;
    case WaveShape::Sin123:
      return (sine(kTwoPi, x) + sine(kFourPi, x) + sine(kSixPi, x)) * 0.33333334f;
    case WaveShape::Sin124:
      return (sine(kTwoPi, x) + sine(kFourPi, x) + sine(kEightPi, x)) * 0.33333334f;
    case WaveShape::AbsSin:
      return 2.0f * std::fabs(sine(kTwoPi, x)) - 1.0f;
    case WaveShape::Noise:
      return noiseAt(tables.table1, x);
    case WaveShape::Noise2:
      return noiseAt(tables.table2, x);
    case WaveShape::Noise3:
      return noiseAt(tables.table3, x);
  }
  return 0.0f;
}

}  // namespace brume
