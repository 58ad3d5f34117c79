#include "engine/BlockRenderer.h"

#include <algorithm>

#include "engine/FlushDenormals.h"
#include "engine/LfoModulation.h"
#include "engine/OutputStage.h"

namespace brume {

namespace {

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Filter, shaper, gains and limit for one run in one loop, so that the
// filter's chain of dependent steps overlaps the rest of the work.
template <bool kFilter, bool kShaper, bool kReplace>
void outputRun(const float* mono, std::int32_t count, float* left, float* right, const OutputGains& gains,
               LowPassFilter::Run* filter) noexcept {
  for (std::int32_t i = 0; i < count; ++i) {
    float s = mono[i];
    if constexpr (kFilter) s = filter->step(s);
    if constexpr (kShaper) s = shapeSample(s, gains);
    if constexpr (kReplace) {
      left[i] = limitOutput(s * gains.left);
      right[i] = limitOutput(s * gains.right);
    } else {
      left[i] = limitOutput(left[i] + s * gains.left);
      right[i] = limitOutput(right[i] + s * gains.right);
    }
  }
}

template <bool kFilter, bool kShaper>
void outputRun(const float* mono, std::int32_t count, float* left, float* right, bool replace,
               const OutputGains& gains, LowPassFilter::Run* filter) noexcept {
  if (replace) {
    outputRun<kFilter, kShaper, true>(mono, count, left, right, gains, filter);
  } else {
    outputRun<kFilter, kShaper, false>(mono, count, left, right, gains, filter);
  }
}

// The switches hold for the whole run because nothing sets a parameter inside it.
void renderOutput(float* mono, std::int32_t count, float* left, float* right, bool replace, const OutputGains& gains,
                  const RenderContext& context) noexcept {
  const bool shaper = context.currentValues.get(kComp) != kShaperOffSetting;
  if (!(context.currentValues.get(kLpFilter) > 0.5f)) {
    if (shaper) return outputRun<false, true>(mono, count, left, right, replace, gains, nullptr);
    return outputRun<false, false>(mono, count, left, right, replace, gains, nullptr);
  }
  LowPassFilter::Run filter(context.filter);
  if (filter.atRest() && std::all_of(mono, mono + count, [](float x) { return x == 0.0f; })) {
    // Silence into a filter at rest: it stays at rest and gives gain x 0.
    std::fill(mono, mono + count, filter.restingOutput());
    if (shaper) return outputRun<false, true>(mono, count, left, right, replace, gains, nullptr);
    return outputRun<false, false>(mono, count, left, right, replace, gains, nullptr);
  }
  if (shaper) return outputRun<true, true>(mono, count, left, right, replace, gains, &filter);
  outputRun<true, false>(mono, count, left, right, replace, gains, &filter);
}

}  // namespace

void renderBlockSamples(const float* input, float* left, float* right, std::int32_t frameCount, bool replace,
                        const RenderContext& context) noexcept {
  if (frameCount <= 0 || left == nullptr || right == nullptr) return;
  const ScopedFlushDenormals flushDenormals;
  const ParameterValues& values = context.currentValues;
  const OutputGains gains = outputGainsFor(values.get(kVolume), values.get(kPan), values.get(kComp));

  // Runs end at every LFO tick and wherever a voice starts or ends: in between
  // no parameter changes, so each run is rendered with its settings fixed.
  float mono[kMaxRunLength];
  for (std::int32_t done = 0; done < frameCount;) {
    context.writer.applyHandedOverChanges();
    const std::int32_t counter = context.sampleCounter.load(std::memory_order_relaxed);
    const std::int32_t untilTick = samplesUntilLfoTick(counter);
    const std::int32_t wanted = std::min({frameCount - done, untilTick + 1, kMaxRunLength});
    const std::int32_t rendered =
        context.engine.renderRun(input != nullptr ? input + done : nullptr, mono, wanted);
    renderOutput(mono, rendered, left + done, right + done, replace, gains, context);

    // The tick runs after its sample, with the counter still at that sample.
    const std::int32_t last = wrappingAdd(counter, rendered - 1);
    context.sampleCounter.store(last, std::memory_order_relaxed);
    if (rendered == untilTick + 1) runLfoTick(context.lfos, values, last, context.writer);
    context.sampleCounter.store(wrappingAdd(last, 1), std::memory_order_relaxed);
    done += rendered;
  }
}

}  // namespace brume
