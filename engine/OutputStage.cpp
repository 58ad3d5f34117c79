#include "engine/OutputStage.h"

#include <cstring>

namespace brume {

OutputGains outputGainsFor(float volume, float pan, float comp) noexcept {
  OutputGains gains;
  gains.left = (1.0f - pan) * volume;
  gains.right = pan * volume;
  gains.outerSlope = (1.0f - comp) * 1.3333334f;
  gains.innerSlope = comp * 4.0f;
  return gains;
}

namespace {

// Four samples at a time with the compiler's vector extensions: selections
// instead of branches, the same float operations as the scalar forms.
typedef float Four __attribute__((vector_size(16), aligned(4)));

Four load(const float* source) noexcept {
  Four v;
  std::memcpy(&v, source, sizeof v);
  return v;
}

void store(float* target, Four v) noexcept { std::memcpy(target, &v, sizeof v); }

Four shaped(Four s, const OutputGains& gains) noexcept {
  const Four inner = s * gains.innerSlope;
  const Four below = (s + 1.0f) * gains.outerSlope - 1.0f;
  const Four above = (s - 1.0f) * gains.outerSlope + 1.0f;
  return s > 0.25f ? above : (s < -0.25f ? below : inner);
}

Four limited(Four x) noexcept {
  const Four zero{};
  const Four finite = x == x ? x : zero;
  return x > kOutputLimit ? zero + kOutputLimit : (x < -kOutputLimit ? zero - kOutputLimit : finite);
}

template <bool kShaper, bool kReplace>
void write(const float* mono, std::int32_t count, float* left, float* right, const OutputGains& gains) noexcept {
  std::int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    Four s = load(mono + i);
    if constexpr (kShaper) s = shaped(s, gains);
    if constexpr (kReplace) {
      store(left + i, limited(s * gains.left));
      store(right + i, limited(s * gains.right));
    } else {
      store(left + i, limited(load(left + i) + s * gains.left));
      store(right + i, limited(load(right + i) + s * gains.right));
    }
  }
  for (; i < count; ++i) writeSample<kShaper, kReplace>(mono[i], left + i, right + i, gains);
}

}  // namespace

void writeOutput(const float* mono, std::int32_t count, float* left, float* right, bool replace, bool shaper,
                 const OutputGains& gains) noexcept {
  if (shaper) {
    replace ? write<true, true>(mono, count, left, right, gains) : write<true, false>(mono, count, left, right, gains);
  } else {
    replace ? write<false, true>(mono, count, left, right, gains)
            : write<false, false>(mono, count, left, right, gains);
  }
}

}  // namespace brume
