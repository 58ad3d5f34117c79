// The library as shipped: every bank file reads, and its built .fxb holds the
// same sounds, bit for bit.

#include <gtest/gtest.h>

#include <cstring>

#include "host/HostRecords.h"
#include "tests/sounds/LibraryFiles.h"
#include "tests/support/FloatBits.h"

namespace brume::test {
namespace {

TEST(LibraryFileTest, EveryBankReadsBackFromItsFxbWithTheSameNamesAndValues) {
  const auto banks = libraryBankFiles();
  ASSERT_GE(banks.size(), 4u);
  int sounds = 0;
  for (const std::string& path : banks) {
    SCOPED_TRACE(path);
    sounds::SoundBank bank;
    std::vector<std::string> errors;
    ASSERT_TRUE(sounds::loadSoundBank(path, bank, errors)) << errors.front();
    EXPECT_EQ(bank.sounds.size(), 16u) << "a library bank is full";
    sounds += static_cast<int>(bank.sounds.size());

    const auto bytes = readBytes(builtPresetPath(bank.name));
    PresetFile file;
    std::string error;
    ASSERT_TRUE(readPresetFile(bytes.data(), bytes.size(), file, error)) << builtPresetPath(bank.name) << ": " << error;
    EXPECT_EQ(presetMismatch(file, fourCharacterCode('B', 'R', 'M', '7'), kParameterCount, 16, false, false), "");
    EXPECT_EQ(file.kind, PresetKind::Bank);
    EXPECT_EQ(file.layout, PresetLayout::ParameterList);
    EXPECT_EQ(file.pluginVersion, 1);
    ASSERT_EQ(file.programs.size(), 16u);
    const auto basic = sounds::basicValues();
    for (std::size_t program = 0; program < 16; ++program) {
      const bool designed = program < bank.sounds.size();
      const std::string name = designed ? bank.sounds[program].name : "Basic";
      const auto& values = designed ? bank.sounds[program].values : basic;
      EXPECT_EQ(file.programs[program].name, name);
      ASSERT_EQ(file.programs[program].values.size(), values.size());
      for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(bitsOf(file.programs[program].values[i]), bitsOf(values[i])) << name << " parameter " << i;
      }
    }
  }
  EXPECT_GE(sounds, 64);
}

}  // namespace
}  // namespace brume::test
