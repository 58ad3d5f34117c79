#pragma once
// The presets the bundle carries: banks of named programs, each a full set of
// the 54 parameter values, in the order the bundle lists them.

#include <string>
#include <vector>

#include "engine/ParameterIndex.h"

namespace brume::lv2 {

struct PresetProgram {
  std::string name;
  float values[kParameterCount];
};

struct PresetBank {
  std::string name;
  std::vector<PresetProgram> programs;
};

// The instrument's own program, "Basic" at the catalogue defaults, in the bank "Default".
std::vector<PresetBank> defaultBanks();

}  // namespace brume::lv2
