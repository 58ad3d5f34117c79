#pragma once
// How an LFO or event-modulator aim value selects the parameter it writes.

#include <cstdint>

namespace brume {

constexpr std::int32_t kNoTarget = -1;
constexpr std::int32_t kLfoTargetSlots = 46;

// The 46-slot table of LFO targets; slots 8 and 13 both hold "Osc1".
extern const std::int32_t lfoTargetTable[kLfoTargetSlots];

// Conversion toward zero that saturates instead of overflowing (NaN gives 0).
std::int32_t truncateToInt32(double x);

// The LFO target slot trunc(46 x aim), or kNoTarget outside the table.
std::int32_t lfoTarget(float aim);

// trunc(55 x aim): 0 to 53 name a parameter, anything else means no target.
std::int32_t eventTarget(float aim);

// False for the aims and range controls of the six modulators and outside 0 to 53.
bool isValidModulationTarget(std::int32_t index);

}  // namespace brume
