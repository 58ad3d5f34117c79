// The bundle generator: named values the instrument shows by those names,
// and presets grouped by bank, as the sound library's banks will come.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "instrument/ParameterCatalogue.h"
#include "tools/lv2-bundle/ScalePoints.h"
#include "tools/lv2-bundle/TurtleFiles.h"

namespace brume::test {
namespace {

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(Lv2BundleTurtle, EveryScalePointShowsItsLabel) {
  ParameterValues defaults;
  for (std::int32_t i = 0; i < kParameterCount; ++i) defaults.set(i, ParameterLayout[i].defaultValue);
  int named = 0;
  for (std::int32_t index = 0; index < kParameterCount; ++index) {
    for (const lv2::ScalePoint& point : lv2::scalePoints(index)) {
      char shown[kParameterTextCapacity] = {};
      formatParameterValue(index, std::strtof(point.value.c_str(), nullptr), defaults, shown);
      // The ring switches show no text of their own; the others show exactly the label.
      if (shown[0] != '\0') {
        EXPECT_EQ(point.label, shown) << parameterNames[index] << " at " << point.value;
      }
      ++named;
    }
  }
  EXPECT_EQ(named, 7 * 2 + 3 * 14);
}

TEST(Lv2BundleTurtle, PresetsComeAsOnePsetBankPerBank) {
  std::vector<lv2::PresetBank> banks = lv2::defaultBanks();
  lv2::PresetProgram pad{"Warm Pad #2", {}, "Slow and \"warm\"."};
  for (float& value : pad.values) value = 0.25f;
  banks.push_back(lv2::PresetBank{"Pads & Strings", {pad, lv2::PresetProgram{"Glass \"Choir\"", {}, ""}}});
  std::string problem;
  const std::vector<lv2::TurtleFile> files = lv2::makeTurtleFiles("brume7-lv2.so", {}, banks, problem);
  ASSERT_EQ(files.size(), 3u) << problem;
  const std::string& manifest = files[0].text;
  const std::string& presets = files[2].text;
  EXPECT_EQ(occurrences(manifest, "a pset:Preset"), 3u);
  EXPECT_EQ(occurrences(presets, "a pset:Bank"), 2u);
  EXPECT_NE(presets.find("<urn:pellarine:brume7:bank:pads-strings>\n    a pset:Bank"), std::string::npos) << presets;
  EXPECT_NE(presets.find("<urn:pellarine:brume7:preset:pads-strings:warm-pad-2>"), std::string::npos);
  EXPECT_NE(presets.find("rdfs:label \"Glass \\\"Choir\\\"\""), std::string::npos);
  EXPECT_NE(presets.find("[ lv2:symbol \"g_wet\" ; pset:value 0.25 ]"), std::string::npos);
  EXPECT_EQ(occurrences(presets, "pset:value"), 3u * kParameterCount);
  EXPECT_EQ(occurrences(presets, "rdfs:comment"), 1u);
  EXPECT_NE(presets.find("rdfs:comment \"Slow and \\\"warm\\\".\""), std::string::npos) << presets;

  // Two programs of one URI in a bank cannot both be presets.
  banks.back().programs.push_back(lv2::PresetProgram{"warm pad 2", {}, ""});
  EXPECT_TRUE(lv2::makeTurtleFiles("brume7-lv2.so", {}, banks, problem).empty());
  EXPECT_NE(problem.find("warm pad 2"), std::string::npos) << problem;
}

}  // namespace
}  // namespace brume::test
