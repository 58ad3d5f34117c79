#include "tools/lv2-bundle/PresetBank.h"

#include "instrument/InstrumentProgram.h"
#include "tools/sound-library/SoundBank.h"

namespace brume::lv2 {

std::vector<PresetBank> defaultBanks() {
  const InstrumentProgram fresh;
  PresetProgram basic{fresh.name, {}, {}};
  for (std::int32_t i = 0; i < kParameterCount; ++i) basic.values[i] = fresh.values.get(i);
  return {PresetBank{"Default", {basic}}};
}

bool libraryBanks(const std::vector<std::string>& bankFiles, std::vector<PresetBank>& banks, std::string& problem) {
  for (const std::string& file : bankFiles) {
    sounds::SoundBank library;
    std::vector<std::string> errors;
    if (!sounds::loadSoundBank(file, library, errors)) {
      problem = errors.empty() ? "cannot read " + file : errors.front();
      return false;
    }
    PresetBank bank{library.name, {}};
    if (!bank.name.empty() && bank.name[0] >= 'a' && bank.name[0] <= 'z') bank.name[0] = bank.name[0] - 'a' + 'A';
    for (const sounds::Sound& sound : library.sounds) {
      PresetProgram program{sound.name, {}, sound.description};
      for (std::int32_t i = 0; i < kParameterCount; ++i) program.values[i] = sound.values[i];
      bank.programs.push_back(program);
    }
    banks.push_back(bank);
  }
  return true;
}

}  // namespace brume::lv2
