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
template <bool kShaper, bool kReplace>
void filteredOutputRun(const float* mono, std::int32_t count, float* left, float* right, const OutputGains& gains,
                       LowPassFilter::Run& filter) noexcept {
  for (std::int32_t i = 0; i < count; ++i) {
    writeSample<kShaper, kReplace>(filter.step(mono[i]), left + i, right + i, gains);
  }
}

template <bool kShaper>
void filteredOutputRun(const float* mono, std::int32_t count, float* left, float* right, bool replace,
                       const OutputGains& gains, LowPassFilter::Run& filter) noexcept {
  if (replace) {
    filteredOutputRun<kShaper, true>(mono, count, left, right, gains, filter);
  } else {
    filteredOutputRun<kShaper, false>(mono, count, left, right, gains, filter);
  }
}

// A rendered run waiting for its output stage. What of its filtering is not
// done yet is offered to the next run's kernel (see FilterJob), so it goes
// out after that run. Its switches and filter coefficients are those of its
// own time, read before the LFO tick that may follow it.
struct PendingOutput {
  float* mono = nullptr;
  std::int32_t count = 0;
  std::int32_t offset = 0;  // in the block
  bool shaper = false;
  bool filtered = false;  // "LPFilter" on for this run
  FilterJob filter;       // the samples still to filter, from filter.samples to the end
};

// `own` is null with the filter off, else what the kernel made of it.
PendingOutput pendingOutputOf(float* mono, std::int32_t count, std::int32_t offset, const OwnFilter* own,
                              const RenderContext& context) noexcept {
  PendingOutput pending;
  pending.mono = mono;
  pending.count = count;
  pending.offset = offset;
  pending.shaper = context.currentValues.get(kComp) != kShaperOffSetting;
  if (own != nullptr && own->taken) {
    pending.filtered = true;
    pending.filter = FilterJob{own->run, mono + own->filtered, count - own->filtered};
  } else if (own != nullptr) {
    const LowPassFilter::Run run = context.filter.startRun();
    if (run.atRest() && std::all_of(mono, mono + count, [](float x) { return x == 0.0f; })) {
      // Silence into a filter at rest: it stays at rest and gives gain x 0.
      std::fill(mono, mono + count, run.restingOutput());
    } else {
      pending.filtered = true;
      pending.filter = FilterJob{run, mono, count};
    }
  }
  return pending;
}

// Writes a pending run out: what the kernels left of its filtering is done
// here, in one loop with the shaper, gains and limit. The samples the kernel
// filtered go out after those, so that their output stage runs beside the
// tail of the filter's chain of dependent steps instead of before it.
void completeOutput(PendingOutput& pending, float* left, float* right, bool replace, const OutputGains& gains,
                    const RenderContext& context) noexcept {
  if (pending.count == 0) return;
  float* const outLeft = left + pending.offset;
  float* const outRight = right + pending.offset;
  const std::int32_t ready = pending.filtered ? pending.count - pending.filter.count : pending.count;
  if (pending.filtered) {
    LowPassFilter::Run filter = pending.filter.run;
    const std::int32_t rest = pending.filter.count;
    if (pending.shaper) {
      filteredOutputRun<true>(pending.mono + ready, rest, outLeft + ready, outRight + ready, replace, gains, filter);
    } else {
      filteredOutputRun<false>(pending.mono + ready, rest, outLeft + ready, outRight + ready, replace, gains, filter);
    }
    context.filter.keep(filter);
  }
  context.engine.voiceKernelInUse().writeOutput(pending.mono, ready, outLeft, outRight, replace, pending.shaper, gains);
  pending.count = 0;
}

}  // namespace

void renderBlockSamples(const float* input, float* left, float* right, std::int32_t frameCount, bool replace,
                        const RenderContext& context) noexcept {
  if (frameCount <= 0 || left == nullptr || right == nullptr) return;
  const ScopedFlushDenormals flushDenormals;
  const ParameterValues& values = context.currentValues;
  const OutputGains gains = outputGainsFor(values.get(kVolume), values.get(kPan), values.get(kComp));

  // Runs end at every LFO tick that may write and wherever a voice starts or
  // ends: in between no parameter changes, so each run is rendered with its
  // settings fixed.
  PendingOutput pending;
  for (std::int32_t done = 0, buffer = 0; done < frameCount; buffer ^= 1) {
    context.writer.applyHandedOverChanges();
    const std::int32_t counter = context.sampleCounter.load(std::memory_order_relaxed);
    // Ticks that cannot write split nothing.
    const bool ticking = lfosCanWrite(values);
    const std::int32_t untilTick = ticking ? samplesUntilLfoTick(counter) : kMaxRunLength;
    const std::int32_t wanted = std::min({frameCount - done, untilTick + 1, kMaxRunLength});
    FilterJob* job = pending.filter.count > 0 ? &pending.filter : nullptr;
    // The filter of this run starts where the pending one's leaves it.
    OwnFilter own;
    own.filter = &context.filter;
    own.after = pending.filtered ? &pending.filter.run : nullptr;
    const bool filterOn = values.get(kLpFilter) > 0.5f;
    float* const mono = context.engine.runOutput(buffer);
    const std::int32_t rendered = context.engine.renderRun(input != nullptr ? input + done : nullptr, mono, wanted, job,
                                                           filterOn ? &own : nullptr);
    completeOutput(pending, left, right, replace, gains, context);
    pending = pendingOutputOf(mono, rendered, done, filterOn ? &own : nullptr, context);

    // The tick runs after its sample, with the counter still at that sample.
    const std::int32_t last = wrappingAdd(counter, rendered - 1);
    context.sampleCounter.store(last, std::memory_order_relaxed);
    if (ticking && rendered == untilTick + 1) runLfoTick(context.lfos, values, last, context.writer);
    context.sampleCounter.store(wrappingAdd(last, 1), std::memory_order_relaxed);
    done += rendered;
  }
  completeOutput(pending, left, right, replace, gains, context);
}

}  // namespace brume
