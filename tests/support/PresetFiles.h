#pragma once
// Brume7 preset files for the tests of dropping presets on the editor: every
// program with values and a name of its own, none equal to the defaults.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "host/HostRecords.h"
#include "host/PresetFile.h"
#include "instrument/InstrumentProgram.h"

namespace brume::test {

inline constexpr std::int32_t kBrume7Id = fourCharacterCode('B', 'R', 'M', '7');

// Program `seed`: values spread over 0 to 1 by the golden ratio, each 1/64 apart from a grid so none is a default.
inline PresetProgram presetProgram(int seed) {
  PresetProgram program;
  program.name = "Dropped " + std::to_string(seed);
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    const double spread = std::fmod((seed * kParameterCount + i + 1) * 0.6180339887, 1.0);
    program.values.push_back(static_cast<float>(std::floor(spread * 62.0 + 1.0) / 64.0 + 1.0 / 128.0));
  }
  return program;
}

inline PresetFile presetProgramFile(int seed) {
  PresetFile file;
  file.kind = PresetKind::Program;
  file.pluginId = kBrume7Id;
  file.pluginVersion = 1;
  file.count = kParameterCount;
  file.programs.push_back(presetProgram(seed));
  return file;
}

// Programs `firstSeed` to `firstSeed` + 15.
inline PresetFile presetBankFile(int firstSeed) {
  PresetFile file;
  file.kind = PresetKind::Bank;
  file.pluginId = kBrume7Id;
  file.pluginVersion = 1;
  file.count = kProgramCount;
  for (int p = 0; p < kProgramCount; ++p) file.programs.push_back(presetProgram(firstSeed + p));
  return file;
}

inline bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  // An empty vector's data() may be null, which fwrite must not get.
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace brume::test
