// One instrument in its VST 2 and its LV2 build, rendered by the render
// command's session with the same MIDI, rate, odd and varying blocks and a
// parameter change inside a block: the two outputs are alike sample for
// sample. Brume7 is rendered with sounds of its library that keep its LFOs
// (at a tempo other than 120), event modulators, noise and its audio input busy.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "engine/ParameterIndex.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/render/RenderSession.h"
#include "tools/sound-library/SoundBank.h"
#include "BuildPaths.h"

namespace brume {
namespace {

using test::PluginCase;

const PluginCase kBrume7Vst2{"Brume7Vst2", BRUME_TEST_BRUME7_PLUGIN, ""};
const PluginCase kBrume7Lv2{"Brume7Lv2", BRUME_TEST_BRUME7_LV2_BUNDLE, ""};

struct FormatCase {
  const char* name;
  PluginCase vst2;
  PluginCase lv2;
  std::vector<double> rates;
  std::vector<int> blocks;
  // A change at 3.3 s, inside a block; each format spells the value in its own range.
  std::string parameter;
  float vst2Value;
  float lv2Value;
  std::string sound = {};  // "bank/Sound Name" of Brume7's library, set before the render
  std::vector<std::pair<std::string, float>> settings = {};  // then these
  double tempo = 120.0;
  bool input = false;  // a sine on the audio input
};

void PrintTo(const FormatCase& tested, std::ostream* out) { *out << tested.name; }

class FormatsRenderAlike : public ::testing::TestWithParam<FormatCase> {
 protected:
  std::vector<float> render(const PluginCase& plugin, double rate, float changeValue) {
    const FormatCase& tested = GetParam();
    RenderOptions options;
    options.pluginPath = plugin.location;
    options.demo = true;
    options.sampleRate = rate;
    options.blockSizes = tested.blocks;
    options.blockSize = *std::max_element(tested.blocks.begin(), tested.blocks.end());
    options.tempoBpm = tested.tempo;
    options.tailSeconds = 0.5;
    options.setup.settings = soundSettings();
    for (const auto& [parameter, value] : tested.settings) options.setup.settings.push_back({parameter, value});
    options.automation.push_back({3.3, {tested.parameter, changeValue}});
    if (tested.input) options.inputPath = sineFile(rate);
    // Kars and Nekobi draw noise from the C library's rand(): each render starts from the same seed,
    // as it would in a process of its own.
    std::srand(1);
    RenderSession session(options);
    std::vector<float> samples;
    session.run([&](const float* interleaved, std::size_t frames) {
      samples.insert(samples.end(), interleaved, interleaved + 2 * frames);
    });
    return samples;
  }

 private:
  // The library sound's 54 values, by index.
  std::vector<ParameterAssignment> soundSettings() {
    const std::string& sound = GetParam().sound;
    if (sound.empty()) return {};
    const std::string bankName = sound.substr(0, sound.find('/'));
    sounds::SoundBank bank;
    std::vector<std::string> errors;
    EXPECT_TRUE(sounds::loadSoundBank(std::string(BRUME7_SOUNDS_DIR) + "/" + bankName + ".txt", bank, errors));
    for (const sounds::Sound& entry : bank.sounds) {
      if (bankName + "/" + entry.name != sound) continue;
      std::vector<ParameterAssignment> settings;
      for (std::int32_t i = 0; i < kParameterCount; ++i) settings.push_back({std::to_string(i), entry.values[i]});
      return settings;
    }
    ADD_FAILURE() << "no sound " << sound;
    return {};
  }

  std::string sineFile(double rate) {
    const std::string path = folder.file("input-" + std::to_string(static_cast<int>(rate)) + ".wav");
    AudioFileLayout layout;
    layout.channels = 1;
    layout.sampleRate = static_cast<int>(rate);
    std::vector<float> sine(static_cast<std::size_t>(rate) * 2);
    for (std::size_t i = 0; i < sine.size(); ++i)
      sine[i] = 0.3f * static_cast<float>(std::sin(2.0 * 3.14159265358979 * 220.0 * static_cast<double>(i) / rate));
    const auto writer = openAudioFileWriter(path, layout);
    writer->write(sine.data(), sine.size());
    writer->finish();
    return path;
  }

  test::TemporaryFolder folder;
};

TEST_P(FormatsRenderAlike, SampleForSample) {
  const FormatCase& tested = GetParam();
  for (const PluginCase* plugin : {&tested.vst2, &tested.lv2}) {
    if (!test::pluginCaseAvailable(*plugin)) {
      GTEST_SKIP() << plugin->location << " is not there; install Debian's " << plugin->missing;
    }
  }
  for (double rate : tested.rates) {
    const std::vector<float> vst2 = render(tested.vst2, rate, tested.vst2Value);
    const std::vector<float> lv2 = render(tested.lv2, rate, tested.lv2Value);
    ASSERT_EQ(vst2.size(), lv2.size()) << rate << " Hz";
    float peak = 0.0f;
    for (std::size_t i = 0; i < vst2.size(); ++i) {
      ASSERT_EQ(vst2[i], lv2[i]) << "first difference at frame " << i / 2 << " at " << rate << " Hz";
      peak = std::fmax(peak, std::fabs(vst2[i]));
    }
    EXPECT_GT(peak, 0.001f) << "silent at " << rate << " Hz";
  }
}

const std::vector<double> kEveryRate = {44100.0, 48000.0, 96000.0};
const std::vector<int> kOddBlocks = {64, 17, 300, 1};

INSTANTIATE_TEST_SUITE_P(
    Instruments, FormatsRenderAlike,
    ::testing::Values(FormatCase{"Kars",
                                 {"KarsVst2", "/usr/lib/vst/Kars-vst.so", "dpf-plugins-vst"},
                                 {"KarsLv2", "/usr/lib/lv2/Kars.lv2", "dpf-plugins-lv2"},
                                 kEveryRate,
                                 kOddBlocks,
                                 "Volume",
                                 0.5f,
                                 50.0f},
                      FormatCase{"Nekobi",
                                 {"NekobiVst2", "/usr/lib/vst/Nekobi-vst.so", "dpf-plugins-vst"},
                                 {"NekobiLv2", "http://distrho.sf.net/plugins/Nekobi", "dpf-plugins-lv2"},
                                 kEveryRate,
                                 kOddBlocks,
                                 "Env Mod",
                                 0.25f,
                                 25.0f},
                      FormatCase{"Brume7Basic", kBrume7Vst2, kBrume7Lv2, kEveryRate, kOddBlocks, "Cutoff", 0.3f, 0.3f},
                      // Both LFOs (on "Pan" and "O1-Vol") at 97 BPM, and a new LFO period mid-block.
                      FormatCase{"Brume7RotaryOrganAt97Bpm",
                                 kBrume7Vst2,
                                 kBrume7Lv2,
                                 {48000.0},
                                 {333, 1000, 7},
                                 "L1-Per",
                                 0.4f,
                                 0.4f,
                                 "keys/Rotary Organ",
                                 {},
                                 97.0},
                      // An event modulator on a key the demo plays (A2, 45) writes "Cutoff" at its notes.
                      FormatCase{"Brume7EventModulatorAt96kHz",
                                 kBrume7Vst2,
                                 kBrume7Lv2,
                                 {96000.0},
                                 {512, 4096, 3},
                                 "Res",
                                 0.2f,
                                 0.2f,
                                 "basses/Switch Bass",
                                 {{"E1-Note", 45.5f / 128.0f}}},
                      // Noise shapes, and a sine on the audio input mixed into the voices.
                      FormatCase{"Brume7NoiseAndInput",
                                 kBrume7Vst2,
                                 kBrume7Lv2,
                                 {44100.0},
                                 {128, 129},
                                 "Volume",
                                 0.6f,
                                 0.6f,
                                 "textures/Snare Drum",
                                 {},
                                 120.0,
                                 true}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

}  // namespace
}  // namespace brume
