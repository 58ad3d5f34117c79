#pragma once
// The output stage after the filter: the "Comp" shaper, the stereo gains and
// the hard limit.

#include <cstdint>

namespace brume {

constexpr float kOutputLimit = 0.99f;  // the float 0.99000001
constexpr float kShaperOffSetting = 0.5f;

// Fixed for one block, computed from "Volume", "Pan" and "Comp" at its start.
struct OutputGains {
  float left;
  float right;
  float outerSlope;  // slope of the shaper beyond +-0.25
  float innerSlope;  // slope of the shaper between -0.25 and 0.25
};

// Audio thread, real-time safe.
OutputGains outputGainsFor(float volume, float pan, float comp) noexcept;

// Audio thread, real-time safe. Piecewise linear through +-0.25, fixing +-1:
// an expander below "Comp" 0.25, the identity at 0.25, up to a hard clipper at 1.
// The caller skips it when "Comp" is exactly 0.5.
inline float shapeSample(float s, const OutputGains& gains) noexcept {
  if (s > 0.25f) return (s - 1.0f) * gains.outerSlope + 1.0f;
  if (s < -0.25f) return (s + 1.0f) * gains.outerSlope - 1.0f;
  return s * gains.innerSlope;
}

// Audio thread, real-time safe. Limits to +-0.99; a sample that is not a number
// (the only non-finite value the limit lets through) becomes 0.
inline float limitOutput(float x) noexcept {
  if (x > kOutputLimit) return kOutputLimit;
  if (x < -kOutputLimit) return -kOutputLimit;
  return x == x ? x : 0.0f;
}

// Audio thread, real-time safe. One filtered sample through the shaper (if
// kShaper), the gains and the limit into *left and *right, overwriting them
// (kReplace) or adding to them.
template <bool kShaper, bool kReplace>
inline void writeSample(float s, float* left, float* right, const OutputGains& gains) noexcept {
  if constexpr (kShaper) s = shapeSample(s, gains);
  if constexpr (kReplace) {
    *left = limitOutput(s * gains.left);
    *right = limitOutput(s * gains.right);
  } else {
    *left = limitOutput(*left + s * gains.left);
    *right = limitOutput(*right + s * gains.right);
  }
}

}  // namespace brume
