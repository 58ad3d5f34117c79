#include "engine/ModulationTargets.h"

#include <limits>

#include "engine/ParameterIndex.h"

namespace brume {

const std::int32_t lfoTargetTable[kLfoTargetSlots] = {
    0,  1,  2,  3,  4,  5,  6,  7,                                   // slots 0-7
    3,                                                               // slot 8
    9,  10, 11, 12,                                                  // slots 9-12
    3,                                                               // slot 13
    14, 15, 16, 17, 18, 19, 20, 21, 22,                              // slots 14-22
    27,                                                              // slot 23
    32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47,  // slots 24-39
    48, 49, 50, 51, 52, 53,                                          // slots 40-45
};

std::int32_t truncateToInt32(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(x);
}

std::int32_t lfoTarget(float aim) {
  const std::int32_t slot = truncateToInt32(46.0 * static_cast<double>(aim));
  if (slot < 0 || slot >= kLfoTargetSlots) return kNoTarget;
  return lfoTargetTable[slot];
}

std::int32_t eventTarget(float aim) { return truncateToInt32(55.0 * static_cast<double>(aim)); }

bool isValidModulationTarget(std::int32_t index) {
  if (!isParameterIndex(index)) return false;
  switch (index) {
    case kL1Aim:
    case kL1Min:
    case kL1Max:
    case kL2Aim:
    case kL2Min:
    case kL2Max:
    case kE1Aim:
    case kE1Val:
    case kE1Rel:
    case kE2Aim:
    case kE2Val:
    case kE2Rel:
    case kE3Aim:
    case kE3Val:
    case kE3Rel:
    case kE4Aim:
    case kE4Val:
    case kE4Rel:
      return false;
    default:
      return true;
  }
}

}  // namespace brume
