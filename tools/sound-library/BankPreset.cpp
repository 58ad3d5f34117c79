#include "tools/sound-library/BankPreset.h"

#include "host/HostRecords.h"

namespace brume::sounds {

PresetFile bankPresetFile(const SoundBank& bank) {
  PresetFile file;
  file.kind = PresetKind::Bank;
  file.layout = PresetLayout::ParameterList;
  file.formatVersion = 1;
  file.pluginId = fourCharacterCode('B', 'R', 'M', '7');
  file.pluginVersion = kBrume7PluginVersion;
  file.count = kSoundsPerBank;
  const auto basic = basicValues();
  for (int program = 0; program < kSoundsPerBank; ++program) {
    PresetProgram record;
    const bool designed = program < static_cast<int>(bank.sounds.size());
    record.name = designed ? bank.sounds[program].name : "Basic";
    const auto& values = designed ? bank.sounds[program].values : basic;
    record.values.assign(values.begin(), values.end());
    file.programs.push_back(record);
  }
  return file;
}

}  // namespace brume::sounds
