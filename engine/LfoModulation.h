#pragma once
// The two LFOs acting on their targets: the tick that writes their values and
// the resynchronisation that makes them follow a value set from outside.

#include <cstdint>

#include "engine/Lfo.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterValues.h"
#include "engine/ParameterWriter.h"

namespace brume {

// Any thread, real-time safe. The parameter LFO n (0 or 1) acts on now, or
// kNoTarget when it is switched off (switch below 0.5), still held
// (sampleCounter not past its holdUntil) or aimed at no parameter.
std::int32_t activeLfoTarget(const Lfo& lfo, std::int32_t n, const ParameterValues& values,
                             std::int32_t sampleCounter) noexcept;

// Audio thread, real-time safe. For LFO 1 then LFO 2: each active LFO writes
// its value at sampleCounter to its target. LFO 1 may switch LFO 2 on or off.
void runLfoTick(Lfo (&lfos)[kLfoCount], const ParameterValues& values, std::int32_t sampleCounter,
                ParameterWriter& writer) noexcept;

// Any thread, real-time safe. Whether a tick could write anything: some LFO is
// switched on and aimed at a parameter. While it is false the ticks do
// nothing, and only a parameter change from outside the ticks can make it true.
bool lfosCanWrite(const ParameterValues& values) noexcept;

// The tick runs at every sample whose counter is a multiple of this.
constexpr std::int32_t kLfoTickInterval = 100;

// Any thread. Samples from `sampleCounter` to the next counter value at which
// the tick runs (0 when it runs at this one), counting as the 32-bit counter
// counts: it wraps from the largest value to the smallest.
std::int32_t samplesUntilLfoTick(std::int32_t sampleCounter) noexcept;

// Any thread, real-time safe. Each active LFO continues from the stored value of
// its target: every LFO when onlyTarget is kNoTarget (on resume), otherwise only
// the LFOs aimed at parameter onlyTarget (after the editor set it).
void resyncLfos(Lfo (&lfos)[kLfoCount], const ParameterValues& values, std::int32_t sampleCounter,
                std::int32_t onlyTarget) noexcept;

}  // namespace brume
