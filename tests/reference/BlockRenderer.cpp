// Frozen copy of the engine as it was before the vector rewrite: the reference
// that the differential tests hold the new engine to. Do not change it.
#include "tests/reference/BlockRenderer.h"

#include "engine/FlushDenormals.h"
#include "engine/LfoModulation.h"
#include "engine/OutputStage.h"

namespace brume::reference {

void renderBlockSamples(const float* input, float* left, float* right, std::int32_t frameCount, bool replace,
                        const RenderContext& context) noexcept {
  if (frameCount <= 0 || left == nullptr || right == nullptr) return;
  const ScopedFlushDenormals flushDenormals;
  const ParameterValues& values = context.currentValues;
  const OutputGains gains = outputGainsFor(values.get(kVolume), values.get(kPan), values.get(kComp));

  for (std::int32_t i = 0; i < frameCount; ++i) {
    float s = context.engine.renderSample(input != nullptr ? input[i] : 0.0f);
    // Read per sample: an LFO or another thread may switch them within the block.
    if (values.get(kLpFilter) > 0.5f) s = context.filter.process(s);
    if (values.get(kComp) != kShaperOffSetting) s = shapeSample(s, gains);

    const float leftSample = s * gains.left;
    const float rightSample = s * gains.right;
    if (replace) {
      left[i] = limitOutput(leftSample);
      right[i] = limitOutput(rightSample);
    } else {
      left[i] = limitOutput(left[i] + leftSample);
      right[i] = limitOutput(right[i] + rightSample);
    }

    const std::int32_t counter = context.sampleCounter.load(std::memory_order_relaxed);
    if (counter % kLfoTickInterval == 0) runLfoTick(context.lfos, values, counter, context.writer);
    // Wraps around like the host's 32-bit counters, without signed overflow.
    context.sampleCounter.store(static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 1u),
                                std::memory_order_relaxed);
  }
}

}  // namespace brume::reference
