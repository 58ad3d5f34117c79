#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "engine/ModulationTargets.h"
#include "instrument/ParameterCatalogue.h"

namespace brume {
namespace {

// Formats `value` for `index` with the other parameters at `current`.
std::string display(std::int32_t index, float value, const ParameterValues& current = ParameterValues()) {
  char text[64];
  std::memset(text, '#', sizeof text);
  text[63] = '\0';
  formatParameterValue(index, value, current, text);
  return text;
}

ParameterValues withValue(std::int32_t index, float value) {
  ParameterValues values;
  values.set(index, value);
  return values;
}

TEST(ParameterTexts, DefaultsShowTheirDocumentedTexts) {
  ParameterValues defaults;
  for (std::int32_t i = 0; i < kParameterCount; ++i) defaults.set(i, ParameterLayout[i].defaultValue);
  const struct {
    std::int32_t index;
    const char* text;
  } cases[] = {{0, "0.90"},  {1, "Center"},   {2, "+0"},   {4, "1.00"},  {5, "Sin"},     {6, "+0"},
               {7, "+0.00"}, {10, "Sinsaw"},  {11, "-12"}, {14, "0.40"}, {18, "200"},    {19, "100"},
               {20, "0.50"}, {21, "9000"},    {22, "Off"}, {23, "8.00"}, {24, "Volume"}, {25, "0.00"},
               {26, "1.00"}, {32, "Nothin'"}, {33, "E5"},  {34, ""},     {35, ""},       {48, "On"},
               {49, "0.50"}, {50, "0.80"},    {51, "Off"}, {52, "0.50"}, {53, "0.20"}};
  for (const auto& c : cases)
    EXPECT_EQ(display(c.index, defaults.get(c.index), defaults), c.text) << "parameter " << c.index;
}

TEST(ParameterTexts, BalanceTruncatesAndCapitalisesOnlyLeft) {
  EXPECT_EQ(display(kPan, 0.5f), "Center");
  EXPECT_EQ(display(kPan, 0.3f), "39% Left");
  EXPECT_EQ(display(kPan, 0.7f), "39% right");
  EXPECT_EQ(display(kPan, 0.0f), "100% Left");
  EXPECT_EQ(display(kPan, 1.0f), "100% right");
}

TEST(ParameterTexts, SemitonesFineAndBipolar) {
  EXPECT_EQ(display(kPitch, 0.0f), "-24");
  EXPECT_EQ(display(kPitch, 1.0f), "+24");
  EXPECT_EQ(display(kPitch, 1.5f), "+48") << "values are not clamped";
  EXPECT_EQ(display(kO2SubP, 0.0f), "-1.00");
  EXPECT_EQ(display(kO2SubP, 1.0f), "+1.00");
  EXPECT_EQ(display(kComp, 0.0f), "-1.00");
  EXPECT_EQ(display(kComp, 1.0f), "1.00");
}

TEST(ParameterTexts, ShapesAreClampedBeforeNaming) {
  EXPECT_EQ(display(kO1Shape, 0.0f), "Sin");
  EXPECT_EQ(display(kO1Shape, 0.5f), "Sin12");
  EXPECT_EQ(display(kO1Shape, 1.0f), "Noise3");
  EXPECT_EQ(display(kO3Shape, 7.0f), "Noise3");
  EXPECT_EQ(display(kO3Shape, -3.0f), "Sin");
}

TEST(ParameterTexts, SamplesPeriodsAndSwitches) {
  EXPECT_EQ(display(kAttack, 1.0f), "20000");
  EXPECT_EQ(display(kDecay, 1.0f), "10000");
  EXPECT_EQ(display(kRelease, 1.0f), "100000");
  EXPECT_EQ(display(kL1Per, 0.25f), "1.00");
  EXPECT_EQ(display(kL2Per, 1.0f), "512.00");
  EXPECT_EQ(display(kLfo1, 0.5f), "On");
  EXPECT_EQ(display(kGlide, 0.49f), "Off");
}

TEST(ParameterTexts, OscillatorSwitchesFollowTheRingMultiplyTest) {
  EXPECT_EQ(display(kOsc1, 0.0f), "Off");
  EXPECT_EQ(display(kOsc2, 0.5f), "Off") << "the engine multiplies only above 0.5";
  EXPECT_EQ(display(kOsc3, 0.51f), "On");
  EXPECT_EQ(display(kL1Min, 0.75f, withValue(kL1Aim, 8.0f / 46.0f + 0.001f)), "On")
      << "a range control aimed at an oscillator switch follows the same rule";
}

TEST(ParameterTexts, Notes) {
  EXPECT_EQ(display(kE1Note, 0.0f), "C0");
  EXPECT_EQ(display(kE1Note, 0.5f), "E5");
  EXPECT_EQ(display(kE1Note, 60.0f / 128.0f), "C5");
  EXPECT_EQ(display(kE1Note, 1.0f), "G#10");
  EXPECT_EQ(display(kE1Note, -1.0f / 128.0f), "B-1") << "below key 0 the names keep counting down";
  EXPECT_EQ(display(kE1Note, -1.0f), "E-11");
}

TEST(ParameterTexts, AimsNameTheirTargets) {
  EXPECT_EQ(display(kE1Aim, 0.98f), "Comp");
  EXPECT_EQ(display(kE1Aim, 0.99f), "Nothin'");
  EXPECT_EQ(display(kE1Aim, 1.0f), "Nothin'");
  EXPECT_EQ(display(kE1Aim, -0.5f), "Nothin'");
  EXPECT_EQ(display(kL1Aim, 0.5f), "LFO2");
  EXPECT_EQ(display(kL1Aim, 0.18f), "Osc1");
  EXPECT_EQ(display(kL1Aim, 0.99f), "Comp");
  EXPECT_EQ(display(kL1Aim, 1.0f), "Nothin'");
}

TEST(ParameterTexts, RangeControlsSpeakInTheirTargetsUnits) {
  EXPECT_EQ(display(kL1Min, 0.25f, withValue(kL1Aim, 1.5f / 46.0f)), "50% Left");
  EXPECT_EQ(display(kE1Val, 0.25f, withValue(kE1Aim, 49.5f / 55.0f)), "0.25");
  EXPECT_EQ(display(kE1Val, 0.25f, withValue(kE1Aim, 33.5f / 55.0f)), "G#2");
  EXPECT_EQ(display(kL1Min, 0.25f, withValue(kL1Aim, 0.5f)), "Off") << "aimed at the LFO2 switch";
  EXPECT_EQ(display(kL2Max, 0.25f, withValue(kL2Aim, 1.0f)), "") << "no target";
  EXPECT_EQ(display(kE4Rel, 0.25f, withValue(kE4Aim, 0.99f)), "") << "index 54 is no target";
  EXPECT_EQ(display(kE2Val, 0.25f, withValue(kE2Aim, 24.5f / 55.0f)), "") << "an aim is not a valid target";
}

TEST(ParameterTexts, AbsurdValuesStayShortAndDefined) {
  const std::string huge = display(kVolume, 1e30f);
  EXPECT_LT(huge.size(), static_cast<size_t>(kParameterTextCapacity));
  EXPECT_EQ(display(kPan, -10.0f), "2100% Left");
  EXPECT_EQ(display(kPitch, -1e30f), "-2147483648") << "saturated, not undefined";
}

// Floats a host may send that lie far outside 0..1; under the sanitizers any overflow while a text is built fails.
const float kHostileValues[] = {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                1e30f,
                                -1e30f,
                                -16777216.0f,
                                -0.0f,
                                std::numeric_limits<float>::denorm_min()};

TEST(ParameterTexts, EveryTextIsDefinedForHostileValues) {
  // Aiming all six modulators at each target in turn sends the range controls through every display rule.
  for (std::int32_t target = 0; target <= kParameterCount; ++target) {
    ParameterValues current;
    for (std::int32_t aim : {kE1Aim, kE2Aim, kE3Aim, kE4Aim}) current.set(aim, (target + 0.5f) / 55.0f);
    for (std::int32_t aim : {kL1Aim, kL2Aim}) current.set(aim, (target % kLfoTargetSlots + 0.5f) / 46.0f);
    for (std::int32_t index = 0; index < kParameterCount; ++index) {
      for (float value : kHostileValues) {
        const std::string text = display(index, value, current);
        EXPECT_LT(text.size(), static_cast<std::size_t>(kParameterTextCapacity)) << "parameter " << index;
      }
    }
  }
}

TEST(ParameterTexts, NotesAtTheSaturatedEnds) {
  // trunc(128 x v) saturates at the 32-bit limits; -2147483648 is pitch class 4 of octave -178956971.
  EXPECT_EQ(display(kE1Note, -std::numeric_limits<float>::infinity()), "E-178956971");
  EXPECT_EQ(display(kE2Note, -16777216.0f), "E-178956971");
  EXPECT_EQ(display(kE3Note, std::numeric_limits<float>::infinity()), "G178956970");
  EXPECT_EQ(display(kE4Note, std::numeric_limits<float>::quiet_NaN()), "C0");
  EXPECT_EQ(display(kE1Val, -1e30f, withValue(kE1Aim, 33.5f / 55.0f)), "E-178956971")
      << "a range control aimed at a note";
  for (int key = 0; key <= 128; ++key) {
    const std::string expected = std::string(noteNames[key % 12]) + std::to_string(key / 12);
    EXPECT_EQ(display(kE1Note, key / 128.0f), expected) << "key " << key;
  }
}

TEST(ParameterTexts, OutOfRangeIndexWritesNothing) {
  char text[8] = "keep";
  formatParameterValue(54, 0.5f, ParameterValues(), text);
  formatParameterValue(-1, 0.5f, ParameterValues(), text);
  EXPECT_STREQ(text, "keep");
}

TEST(ParameterNames, LookupAndNothingOutsideTheTable) {
  char text[16];
  copyParameterNameText(0, text);
  EXPECT_STREQ(text, "Volume");
  copyParameterNameText(52, text);
  EXPECT_STREQ(text, "G Wet");
  copyParameterNameText(54, text);
  EXPECT_STREQ(text, "Nothin'");
  copyParameterNameText(-1, text);
  EXPECT_STREQ(text, "Nothin'");
}

TEST(ModulationTargets, TablesAndValidity) {
  EXPECT_EQ(lfoTarget(0.0f), 0);
  EXPECT_EQ(lfoTarget(8.5f / 46.0f), 3);
  EXPECT_EQ(lfoTarget(13.5f / 46.0f), 3);
  EXPECT_EQ(lfoTarget(23.5f / 46.0f), 27);
  EXPECT_EQ(lfoTarget(24.5f / 46.0f), 32);
  EXPECT_EQ(lfoTarget(45.5f / 46.0f), 53);
  EXPECT_EQ(lfoTarget(1.0f), kNoTarget);
  EXPECT_EQ(lfoTarget(-0.1f), kNoTarget);
  EXPECT_EQ(eventTarget(0.99f), 54);
  EXPECT_EQ(eventTarget(1.0f), 55);
  int valid = 0;
  for (std::int32_t i = -1; i <= 54; ++i) valid += isValidModulationTarget(i);
  EXPECT_EQ(valid, 36);
  for (std::int32_t i : {22, 23, 27, 28, 33, 37, 41, 45}) EXPECT_TRUE(isValidModulationTarget(i)) << i;
  for (std::int32_t slot = 0; slot < kLfoTargetSlots; ++slot) {
    const std::int32_t target = lfoTargetTable[slot];
    EXPECT_TRUE(target < 23 || target > 31 || target == 27) << "slot " << slot << " holds an LFO control";
  }
}

TEST(ParameterLayoutTable, RowsMatchTheirIndexAndKinds) {
  int knobs = 0;
  int switches = 0;
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    const ParameterLayoutRow& row = ParameterLayout[i];
    EXPECT_EQ(row.index, i);
    EXPECT_GE(row.x - 18, 0);
    EXPECT_LE(row.x + 18, 650);
    if (row.controlKind == kSwitchControl)
      ++switches;
    else
      ++knobs;
    if (row.followsTarget) {
      EXPECT_TRUE(row.hasValueText) << i;
    }
  }
  EXPECT_EQ(knobs, 47);
  EXPECT_EQ(switches, 7);
  EXPECT_EQ(ParameterLayout[51].y, 175);
  EXPECT_STREQ(ParameterLayout[3].caption, "mlt");
  EXPECT_FALSE(ParameterLayout[3].hasCaption);
  EXPECT_EQ(ParameterLayout[50].defaultValue, 0.8f);
}

}  // namespace
}  // namespace brume
