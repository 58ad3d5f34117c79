#include "tools/lv2-bundle/PresetBank.h"

#include "instrument/InstrumentProgram.h"

namespace brume::lv2 {

std::vector<PresetBank> defaultBanks() {
  const InstrumentProgram fresh;
  PresetProgram basic{fresh.name, {}};
  for (std::int32_t i = 0; i < kParameterCount; ++i) basic.values[i] = fresh.values.get(i);
  return {PresetBank{"Default", {basic}}};
}

}  // namespace brume::lv2
