#pragma once
// The output stage a vector of samples at a time, for a vector type V of the
// compiler's extensions: selections instead of branches, the same float
// operations as shapeSample and limitOutput. Everything here is internal to
// the file that includes it, so that the builds for each instruction set
// stay apart.

#include <cstdint>
#include <cstring>

#include "engine/OutputStage.h"

namespace brume {
namespace {

template <typename V>
inline V outputRow(const float* source) noexcept {
  V v;
  std::memcpy(&v, source, sizeof v);
  return v;
}

template <typename V>
inline void storeOutputRow(float* target, V v) noexcept {
  std::memcpy(target, &v, sizeof v);
}

template <typename V>
inline V shapedRow(V s, const OutputGains& gains) noexcept {
  const V inner = s * gains.innerSlope;
  const V below = (s + 1.0f) * gains.outerSlope - 1.0f;
  const V above = (s - 1.0f) * gains.outerSlope + 1.0f;
  return s > 0.25f ? above : (s < -0.25f ? below : inner);
}

template <typename V>
inline V limitedRow(V x) noexcept {
  const V zero{};
  const V finite = x == x ? x : zero;
  return x > kOutputLimit ? zero + kOutputLimit : (x < -kOutputLimit ? zero - kOutputLimit : finite);
}

// One row of samples from mono into left and right.
template <typename V, bool kShaper, bool kReplace>
inline void writeOutputRow(const float* mono, float* left, float* right, const OutputGains& gains) noexcept {
  V s = outputRow<V>(mono);
  if constexpr (kShaper) s = shapedRow(s, gains);
  if constexpr (kReplace) {
    storeOutputRow(left, limitedRow(s * gains.left));
    storeOutputRow(right, limitedRow(s * gains.right));
  } else {
    storeOutputRow(left, limitedRow(outputRow<V>(left) + s * gains.left));
    storeOutputRow(right, limitedRow(outputRow<V>(right) + s * gains.right));
  }
}

template <typename V, bool kShaper, bool kReplace>
void writeOutputRows(const float* mono, std::int32_t count, float* left, float* right,
                     const OutputGains& gains) noexcept {
  constexpr std::int32_t kWidth = sizeof(V) / sizeof(float);
  std::int32_t i = 0;
  for (; i + kWidth <= count; i += kWidth) writeOutputRow<V, kShaper, kReplace>(mono + i, left + i, right + i, gains);
  if (i == count) return;
  // The rest through a row of copies.
  const auto rest = static_cast<std::size_t>(count - i) * sizeof(float);
  float m[kWidth] = {}, l[kWidth] = {}, r[kWidth] = {};
  std::memcpy(m, mono + i, rest);
  if constexpr (!kReplace) std::memcpy(l, left + i, rest), std::memcpy(r, right + i, rest);
  writeOutputRow<V, kShaper, kReplace>(m, l, r, gains);
  std::memcpy(left + i, l, rest);
  std::memcpy(right + i, r, rest);
}

// Shaper (if `shaper`), gains and limit of `count` samples (see WriteOutputFunction).
template <typename V>
void writeOutputRowsOf(const float* mono, std::int32_t count, float* left, float* right, bool replace, bool shaper,
                       const OutputGains& gains) noexcept {
  if (shaper) {
    replace ? writeOutputRows<V, true, true>(mono, count, left, right, gains)
            : writeOutputRows<V, true, false>(mono, count, left, right, gains);
  } else {
    replace ? writeOutputRows<V, false, true>(mono, count, left, right, gains)
            : writeOutputRows<V, false, false>(mono, count, left, right, gains);
  }
}

}  // namespace
}  // namespace brume
