// The bank reader: terms in the instrument's own texts, and every refusal.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "host/HostRecords.h"
#include "instrument/ParameterCatalogue.h"
#include "tools/sound-library/BankPreset.h"
#include "tools/sound-library/ParameterTerms.h"
#include "tools/sound-library/SoundBank.h"

namespace brume::sounds {
namespace {

struct TermCase {
  std::int32_t index;
  const char* term;
  float expected;  // NaN: any value that shows the term
};

ParameterValues defaults() {
  ParameterValues values;
  const auto basic = basicValues();
  for (std::int32_t i = 0; i < kParameterCount; ++i) values.set(i, basic[i]);
  return values;
}

class TermTest : public ::testing::TestWithParam<TermCase> {};

TEST_P(TermTest, TheValueShowsExactlyTheTerm) {
  const TermCase& c = GetParam();
  const ParameterValues current = defaults();
  float value = -1.0f;
  std::string reason;
  ASSERT_TRUE(valueFromTerm(c.index, c.term, current, value, reason)) << reason;
  EXPECT_EQ(valueText(c.index, value, current), c.term);
  EXPECT_GE(value, 0.0f);
  EXPECT_LE(value, 1.0f);
  if (!std::isnan(c.expected)) {
    EXPECT_NEAR(value, c.expected, 1e-6) << parameterNames[c.index] << " " << c.term;
  }
}

constexpr float kAny = NAN;

INSTANTIATE_TEST_SUITE_P(
    EveryDisplayRule, TermTest,
    ::testing::Values(
        // The catalogue default when it shows the term, the number itself where the text is the value.
        TermCase{kVolume, "0.90", 0.9f}, TermCase{kVolume, "0.35", 0.35f}, TermCase{kCutoff, "1.00", 1.0f},
        TermCase{kPan, "Center", 0.5f}, TermCase{kPan, "50% Left", kAny}, TermCase{kPan, "39% Left", kAny},
        TermCase{kPan, "100% right", 1.0f}, TermCase{kO2Pitch, "-12", 0.25f},
        // Whole semitones: the middle of the values that show them, away from either edge.
        TermCase{kO1Pitch, "+7", 0.5f + 7.5f / 48}, TermCase{kPitch, "-5", kAny}, TermCase{kO3Pitch, "+24", 1.0f},
        TermCase{kO1SubP, "+0.10", kAny}, TermCase{kO1SubP, "-1.00", 0.0f}, TermCase{kO2Shape, "Sinsaw", 0.1f},
        TermCase{kO1Shape, "Sin124", 9.5f / 14}, TermCase{kO3Shape, "Noise3", 1.0f}, TermCase{kAttack, "200", 0.1f},
        TermCase{kAttack, "0", 0.0f}, TermCase{kRelease, "90000", kAny}, TermCase{kDecay, "10000", 1.0f},
        TermCase{kLfo1, "On", 1.0f}, TermCase{kLpFilter, "Off", 0.0f}, TermCase{kOsc2, "Off", 0.0f},
        TermCase{kL1Per, "2.00", kAny}, TermCase{kL2Per, "0.12", 0.0f}, TermCase{kL1Aim, "Cutoff", kAny},
        TermCase{kL1Aim, "Osc1", kAny}, TermCase{kE1Aim, "Glide", kAny}, TermCase{kE2Aim, "Nothin'", 0.99f},
        TermCase{kE1Note, "C3", kAny}, TermCase{kE4Note, "G#10", 1.0f}, TermCase{kComp, "0.00", kAny},
        TermCase{kComp, "0.20", 0.6f}));

TEST(TermTest, TermsThatNoValueShowsAreRefusedWithAReason) {
  const ParameterValues current = defaults();
  const struct {
    std::int32_t index;
    const char* term;
    const char* reasonHas;
  } cases[] = {
      {kO1Shape, "Sine", "\"Sin\", \"Sinsaw\""},  // lists the shapes
      {kO1Pitch, "+25", "nearest"},               // past the end
      {kO1Pitch, "7", "(\"+7\" is)"},             // shown as "+7"
      {kVolume, "1.5", "nearest"},                // outside 0 to 1
      {kVolume, "0.351", "nearest"},              // more digits than shown
      {kPan, "30% left", "\"100% Left\" to \"100% right\""},
      {kAttack, "fast", "not a number"},
      {kL1Aim, "L1-Min", "it shows"},       // no LFO can aim at its own range
      {kE1Val, "0.5", "no text"},           // no target: only a plain value
      {kVolume, "=0.5", "shows \"0.50\""},  // a plain value where a text exists
      {kE1Val, "=1.5", "from 0 to 1"},
      {kVolume, "", "no value"},
  };
  for (const auto& c : cases) {
    float value = 0.0f;
    std::string reason;
    EXPECT_FALSE(valueFromTerm(c.index, c.term, current, value, reason)) << c.term;
    EXPECT_NE(reason.find(c.reasonHas), std::string::npos) << c.term << ": " << reason;
  }
}

std::vector<std::string> readErrors(const std::string& text, SoundBank& bank) {
  std::vector<std::string> errors;
  readSoundBank(text, "sounds/test.txt", bank, errors);
  return errors;
}

TEST(SoundBankTest, ReadsNamesDescriptionsRingsAndValues) {
  SoundBank bank;
  const auto errors = readErrors(
      "# two sounds\n"
      "sound First One\n"
      "about A plain sound.\n"
      "\n"
      "sound Bell\n"
      "about Rings on.\n"
      "rings\n"
      "O2-Shape Sin124\n"
      "G Wet 0.20\n"
      "Release 90000\n",
      bank);
  ASSERT_TRUE(errors.empty()) << errors.front();
  EXPECT_EQ(bank.name, "test");
  ASSERT_EQ(bank.sounds.size(), 2u);
  EXPECT_EQ(bank.sounds[0].name, "First One");
  EXPECT_EQ(bank.sounds[0].description, "A plain sound.");
  EXPECT_FALSE(bank.sounds[0].rings);
  EXPECT_EQ(bank.sounds[0].values, basicValues());
  const Sound& bell = bank.sounds[1];
  EXPECT_TRUE(bell.rings);
  EXPECT_EQ(bell.values[kGWet], 0.2f);
  const ParameterValues none;
  EXPECT_EQ(valueText(kO2Shape, bell.values[kO2Shape], none), "Sin124");
  EXPECT_EQ(valueText(kRelease, bell.values[kRelease], none), "90000");
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    if (i != kO2Shape && i != kGWet && i != kRelease) {
      EXPECT_EQ(bell.values[i], basicValues()[i]) << i;
    }
  }
}

TEST(SoundBankTest, RangeControlsAreReadInTheirTargetsUnitsWhereverTheAimIsWritten) {
  SoundBank bank;
  const auto errors = readErrors(
      "sound Moves\n"
      "about LFOs on pan and shape, a key on the note of another.\n"
      "L1-Min 50% Left\n"
      "L1-Max 50% right\n"
      "L1-Aim Pan\n"
      "L2-Aim O1-Shape\n"
      "L2-Min Saw\n"
      "L2-Max Sin124\n"
      "E1-Aim E2-Note\n"
      "E1-Val G#2\n"
      "E1-Rel =0.5\n"    // shows a note: refused below
      "E3-Val =0.25\n",  // no target: a plain value
      bank);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("sounds/test.txt:11: E1-Rel"), std::string::npos) << errors[0];

  const auto good = readErrors(
      "sound Moves\n"
      "about LFOs on pan and shape.\n"
      "L1-Min 50% Left\n"
      "L1-Max 50% right\n"
      "L1-Aim Pan\n"
      "L2-Aim O1-Shape\n"
      "L2-Min Saw\n"
      "E1-Val G#2\n"
      "E1-Aim E2-Note\n"
      "E3-Val =0.25\n",
      bank);
  ASSERT_TRUE(good.empty()) << good.front();
  const auto& values = bank.sounds[0].values;
  ParameterValues current;
  for (std::int32_t i = 0; i < kParameterCount; ++i) current.set(i, values[i]);
  EXPECT_EQ(valueText(kL1Min, values[kL1Min], current), "50% Left");
  EXPECT_EQ(valueText(kL1Max, values[kL1Max], current), "50% right");
  EXPECT_EQ(valueText(kL2Min, values[kL2Min], current), "Saw");
  EXPECT_EQ(valueText(kE1Val, values[kE1Val], current), "G#2");
  EXPECT_EQ(values[kE3Val], 0.25f);
}

TEST(SoundBankTest, EveryFaultIsRefusedWithFileLineAndReason) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"Volume 0.50\n", "test.txt:1: expected a \"sound NAME\" line first"},
      {"sound A\nabout x\nVolme 0.50\n", "test.txt:3: unknown parameter \"Volme\""},
      {"sound A\nabout x\nCutoff 0.50\nCutoff 0.40\n", "test.txt:4: Cutoff is already set on line 3"},
      {"sound Twenty-Four Characters!!\nabout x\n", "test.txt:1: the name \"Twenty-Four Characters!!\" has 24"},
      {"sound A\n", "test.txt:1: \"A\" has no \"about\" line"},
      {"sound A\nabout x\nsound A\nabout y\n", "test.txt:3: a sound named \"A\" is already on line 1"},
      {"sound A\nabout x\nO1-Shape Sine\n", "test.txt:3: O1-Shape: \"Sine\" is not a value O1-Shape shows"},
      {"sound\nabout x\n", "test.txt:1: a sound needs a name"},
      {"# only a comment\n", "test.txt:1: the bank holds no sound"},
      {"sound A\nabout caf\xc3\xa9\n", "test.txt:2: the description holds characters other than printable ASCII"},
  };
  for (const auto& c : cases) {
    SoundBank bank;
    const auto errors = readErrors(c.text, bank);
    ASSERT_FALSE(errors.empty()) << c.text;
    EXPECT_EQ(errors[0].rfind("sounds/", 0), 0u);
    EXPECT_NE(errors[0].find(c.error), std::string::npos) << errors[0];
  }

  std::string seventeen;
  for (int i = 0; i < 17; ++i) seventeen += "sound S" + std::to_string(i) + "\nabout x\n";
  SoundBank bank;
  const auto errors = readErrors(seventeen, bank);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("test.txt:33: a bank holds at most 16 sounds"), std::string::npos) << errors[0];
}

TEST(BankPresetTest, AShortBankFillsItsSixteenProgramsWithBasicAndReadsBackBitForBit) {
  SoundBank bank;
  const auto errors = readErrors(
      "sound Low\nabout A.\nCutoff 0.12\nO1-SubP +0.37\n"
      "sound High\nabout B.\nPitch +12\nL1-Per 3.00\n",
      bank);
  ASSERT_TRUE(errors.empty()) << errors.front();
  const std::vector<std::uint8_t> bytes = writePresetFile(bankPresetFile(bank));
  EXPECT_EQ(bytes.size(), 156u + 16u * (56u + 4u * kParameterCount));
  PresetFile file;
  std::string error;
  ASSERT_TRUE(readPresetFile(bytes.data(), bytes.size(), file, error)) << error;
  EXPECT_EQ(file.kind, PresetKind::Bank);
  EXPECT_EQ(file.layout, PresetLayout::ParameterList);
  EXPECT_EQ(file.formatVersion, 1);
  EXPECT_EQ(file.pluginId, fourCharacterCode('B', 'R', 'M', '7'));
  EXPECT_EQ(file.pluginVersion, 1);
  ASSERT_EQ(file.programs.size(), 16u);
  for (std::size_t program = 0; program < 16; ++program) {
    const bool designed = program < 2;
    EXPECT_EQ(file.programs[program].name, designed ? bank.sounds[program].name : "Basic");
    const auto expected = designed ? bank.sounds[program].values : basicValues();
    ASSERT_EQ(file.programs[program].values.size(), expected.size());
    EXPECT_EQ(std::memcmp(file.programs[program].values.data(), expected.data(), sizeof(float) * expected.size()), 0)
        << "program " << program;
  }
}

}  // namespace
}  // namespace brume::sounds
