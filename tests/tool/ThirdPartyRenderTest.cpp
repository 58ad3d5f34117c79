// End to end through third-party instruments, one suite for every format:
// Debian's DPF "Kars" as a VST 2 plug-in (dpf-plugins-vst) and as an LV2
// plug-in by bundle and by URI (dpf-plugins-lv2). And the same instruments in
// both formats, rendered with odd and varying blocks and a change inside a
// block, sample for sample alike.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/render/RenderSession.h"
#include "tools/brume7-host/render/RenderToFile.h"

namespace brume {
namespace {

using test::event;
using test::joined;
using test::midiHeader;
using test::midiTrack;
using test::PluginCase;

class InstrumentRender : public ::testing::TestWithParam<PluginCase> {
 protected:
  void SetUp() override {
    if (!test::pluginCaseAvailable(GetParam())) {
      GTEST_SKIP() << GetParam().location << " is not installed; install Debian's " << GetParam().missing;
    }
  }
  test::TemporaryFolder folder;
};

TEST_P(InstrumentRender, RendersAMidiFileToTheExpectedLengthWithSound) {
  // Three notes at 120 BPM, 480 ticks per quarter: the last release at tick 1440 = 1.5 s.
  const std::string midi = folder.file("three.mid");
  test::writeFile(
      midi, joined({midiHeader(0, 1, 480),
                    midiTrack(joined({event(0, {0x90, 48, 110}), event(0, {0x90, 55, 100}), event(480, {0x90, 60, 90}),
                                      event(960, {0x80, 48, 0}), event(0, {0x80, 55, 0}), event(0, {0x80, 60, 0}),
                                      test::endOfTrack()}))}));
  RenderOptions options;
  options.pluginPath = GetParam().location;
  options.midiPath = midi;
  options.tailSeconds = 0.5;
  options.outputPath = folder.file("kars.wav");
  const RenderSummary summary = renderToFile(options);
  // 1.5 s * 44100 = 66150 is the last event's frame; one frame more, then 0.5 s of tail.
  EXPECT_EQ(summary.frames, 66151 + 22050);
  const AudioData audio = readAudioFile(options.outputPath);
  EXPECT_EQ(audio.channels, 2);
  EXPECT_EQ(audio.sampleRate, 44100);
  EXPECT_EQ(audio.frameCount(), summary.frames);
  float peak = 0.0f;
  for (float sample : audio.samples) peak = std::fmax(peak, std::fabs(sample));
  EXPECT_GT(peak, 0.01f) << "the render is silent";
  EXPECT_NEAR(summary.peak, peak, 1e-6);
  // Kars has one output: both channels carry it.
  for (std::int64_t frame = 0; frame < audio.frameCount(); ++frame) {
    const auto i = static_cast<std::size_t>(2 * frame);
    ASSERT_EQ(audio.samples[i], audio.samples[i + 1]) << "first difference between channels at frame " << frame;
  }
  // The first notes start at frame 0: the first block already sounds.
  float firstBlockPeak = 0.0f;
  for (std::size_t i = 0; i < 2 * 512; ++i) firstBlockPeak = std::fmax(firstBlockPeak, std::fabs(audio.samples[i]));
  EXPECT_GT(firstBlockPeak, 0.0f);
}

TEST_P(InstrumentRender, RendersTheDemoAsFlac) {
  RenderOptions options;
  options.pluginPath = GetParam().location;
  options.demo = true;
  options.outputPath = folder.file("demo.flac");
  const RenderSummary summary = renderToFile(options);
  EXPECT_EQ(summary.container, AudioContainer::Flac);
  EXPECT_EQ(summary.format, SampleFormat::Pcm24);
  // The demo's last release is at beat 24 (12 s at 120 BPM), then 2 s of tail.
  EXPECT_EQ(summary.frames, 12 * 44100 + 1 + 2 * 44100);
  EXPECT_GT(summary.rms, 0.001);
  const AudioData audio = readAudioFile(options.outputPath);
  EXPECT_EQ(audio.frameCount(), summary.frames);
}

INSTANTIATE_TEST_SUITE_P(Formats, InstrumentRender,
                         ::testing::Values(PluginCase{"KarsVst2", "/usr/lib/vst/Kars-vst.so", "dpf-plugins-vst"},
                                           PluginCase{"KarsLv2Bundle", "/usr/lib/lv2/Kars.lv2", "dpf-plugins-lv2"},
                                           PluginCase{"KarsLv2Uri", "http://distrho.sf.net/plugins/Kars",
                                                      "dpf-plugins-lv2"}),
                         [](const ::testing::TestParamInfo<PluginCase>& info) { return info.param.name; });

// One instrument in two formats, and a parameter change each format spells in its own values.
struct FormatPair {
  const char* name;
  PluginCase vst2;
  PluginCase lv2;
  std::string parameter;
  float vst2Value;  // VST 2 values are 0..1
  float lv2Value;   // the same in the port's range
};

class FormatsRenderAlike : public ::testing::TestWithParam<FormatPair> {};

std::vector<float> renderDemo(const std::string& plugin, double rate, const std::vector<int>& blocks,
                              const std::string& parameter, float value) {
  RenderOptions options;
  options.pluginPath = plugin;
  options.demo = true;
  options.sampleRate = rate;
  options.blockSizes = blocks;
  options.blockSize = *std::max_element(blocks.begin(), blocks.end());
  options.tailSeconds = 0.5;
  // 3.3 s falls inside a block: the block is split there.
  options.automation.push_back({3.3, {parameter, value}});
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

TEST_P(FormatsRenderAlike, SampleForSampleWithOddAndVaryingBlocks) {
  const FormatPair& pair = GetParam();
  for (const PluginCase* plugin : {&pair.vst2, &pair.lv2}) {
    if (!test::pluginCaseAvailable(*plugin)) {
      GTEST_SKIP() << plugin->location << " is not installed; install Debian's " << plugin->missing;
    }
  }
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    const std::vector<int> blocks = {64, 17, 300, 1};
    const std::vector<float> vst2 = renderDemo(pair.vst2.location, rate, blocks, pair.parameter, pair.vst2Value);
    const std::vector<float> lv2 = renderDemo(pair.lv2.location, rate, blocks, pair.parameter, pair.lv2Value);
    ASSERT_EQ(vst2.size(), lv2.size()) << rate << " Hz";
    float peak = 0.0f;
    for (std::size_t i = 0; i < vst2.size(); ++i) {
      ASSERT_EQ(vst2[i], lv2[i]) << "first difference at frame " << i / 2 << " at " << rate << " Hz";
      peak = std::fmax(peak, std::fabs(vst2[i]));
    }
    EXPECT_GT(peak, 0.001f) << "silent at " << rate << " Hz";
  }
}

INSTANTIATE_TEST_SUITE_P(Instruments, FormatsRenderAlike,
                         ::testing::Values(FormatPair{"Kars",
                                                      {"KarsVst2", "/usr/lib/vst/Kars-vst.so", "dpf-plugins-vst"},
                                                      {"KarsLv2", "/usr/lib/lv2/Kars.lv2", "dpf-plugins-lv2"},
                                                      "Volume",
                                                      0.5f,
                                                      50.0f},
                                           FormatPair{
                                               "Nekobi",
                                               {"NekobiVst2", "/usr/lib/vst/Nekobi-vst.so", "dpf-plugins-vst"},
                                               {"NekobiLv2", "http://distrho.sf.net/plugins/Nekobi", "dpf-plugins-lv2"},
                                               "Env Mod",
                                               0.25f,
                                               25.0f}),
                         [](const ::testing::TestParamInfo<FormatPair>& info) { return info.param.name; });

}  // namespace
}  // namespace brume
