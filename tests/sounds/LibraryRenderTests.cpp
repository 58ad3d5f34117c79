// Every sound of the library is usable as it is: rendered through the built
// plug-in on the reference phrase, each one is finite, audible, below -1 dBFS,
// as loud as the others, unlike every other one, and silent soon after its
// last note-off unless it is meant to ring.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tests/sounds/LibraryFiles.h"
#include "tests/sounds/SoundRender.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

constexpr double kPeakLimitDb = -1.0;
constexpr double kLoudnessToleranceDb = 4.0;
// Two sounds whose band pictures differ by less than this on average, in dB
// per band and frame, are one sound twice: a level or brightness step of 3 dB
// across the whole phrase is about the smallest that a listener tells apart
// reliably, while a change of shape, envelope or filter moves whole regions
// of the picture by 10 dB or more.
constexpr double kMinimumDistanceDb = 3.0;
// A sound that is not marked "rings" is silent this soon after its last note-off.
constexpr int kShortTailSamples = kLibrarySampleRate;
// Slack after the envelope's end: the filter's own decay.
constexpr int kFilterSlackSamples = kLibrarySampleRate / 20;

struct Heard {
  std::string label;  // bank/name
  bool rings = false;
  int bound = 0;
  SoundFigures figures;
  std::vector<float> picture;
};

TEST(LibraryRenderTest, EverySoundIsUsableAsItIs) {
  PluginModule module(BRUME7_PLUGIN_PATH);
  ASSERT_TRUE(module.loaded()) << module.error;

  std::vector<Heard> heard;
  for (const std::string& path : libraryBankFiles()) {
    sounds::SoundBank bank;
    std::vector<std::string> errors;
    ASSERT_TRUE(sounds::loadSoundBank(path, bank, errors)) << errors.front();
    const auto bytes = readBytes(builtPresetPath(bank.name));
    PresetFile file;
    std::string error;
    ASSERT_TRUE(readPresetFile(bytes.data(), bytes.size(), file, error)) << error;
    for (std::size_t program = 0; program < bank.sounds.size(); ++program) {
      Heard sound;
      sound.label = bank.name + "/" + bank.sounds[program].name;
      sound.rings = bank.sounds[program].rings;
      sound.bound = envelopeBound(file.programs[program].values) + kFilterSlackSamples;
      const SoundRender render = renderProgram(module, file, static_cast<int>(program), sound.bound + 4096);
      ASSERT_FALSE(render.left.empty()) << sound.label;
      sound.figures = measure(render);
      sound.picture = bandPicture(render);
      heard.push_back(std::move(sound));
    }
  }
  ASSERT_FALSE(heard.empty());

  std::vector<double> levels;
  for (const Heard& sound : heard) levels.push_back(sound.figures.rmsDb);
  std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
  const double median = levels[levels.size() / 2];

  std::printf("%-36s %8s %8s %8s %9s  %s\n", "sound", "RMS dB", "vs med", "peak dB", "tail ms", "nearest (dB apart)");
  for (std::size_t i = 0; i < heard.size(); ++i) {
    const Heard& sound = heard[i];
    std::size_t nearest = i;
    double distance = 1e9;
    for (std::size_t j = 0; j < heard.size(); ++j) {
      if (j == i) continue;
      const double d = pictureDistance(sound.picture, heard[j].picture);
      if (d < distance) distance = d, nearest = j;
    }
    const auto& f = sound.figures;
    std::printf("%-36s %8.1f %+8.1f %8.1f %9.0f%s %s (%.1f)\n", sound.label.c_str(), f.rmsDb, f.rmsDb - median,
                f.peakDb, 1000.0 * f.tailSamples / kLibrarySampleRate, sound.rings ? "*" : " ",
                heard[nearest].label.c_str(), distance);

    EXPECT_TRUE(f.finite) << sound.label;
    EXPECT_GT(f.rmsDb, -60.0) << sound.label << " is silent";
    EXPECT_LE(f.peakDb, kPeakLimitDb) << sound.label;
    EXPECT_LE(std::fabs(f.rmsDb - median), kLoudnessToleranceDb) << sound.label << " against the median " << median;
    EXPECT_GE(distance, kMinimumDistanceDb) << sound.label << " renders like " << heard[nearest].label;
    EXPECT_LE(f.tailSamples, sound.bound) << sound.label << " sounds on past its envelope";
    if (!sound.rings) {
      EXPECT_LE(f.tailSamples, kShortTailSamples) << sound.label << " rings but is not marked so";
    }
  }
  std::printf("median RMS %.1f dBFS over %zu sounds; * rings\n", median, heard.size());
}

}  // namespace
}  // namespace brume::test
