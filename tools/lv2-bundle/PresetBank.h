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
  std::string description;  // one line, or empty
};

struct PresetBank {
  std::string name;
  std::vector<PresetProgram> programs;
};

// The instrument's own program, "Basic" at the catalogue defaults, in the bank "Default".
std::vector<PresetBank> defaultBanks();

// The sound library's bank files (resources/sounds/*.txt), each a bank named
// after its file ("basses.txt" -> "Basses"). False with `problem` set when a
// file cannot be read or has faults.
bool libraryBanks(const std::vector<std::string>& bankFiles, std::vector<PresetBank>& banks, std::string& problem);

}  // namespace brume::lv2
