// End to end through third-party instruments, one suite for every format:
// Debian's DPF "Kars" as a VST 2 plug-in (dpf-plugins-vst) and as an LV2
// plug-in by bundle and by URI (dpf-plugins-lv2).

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

}  // namespace
}  // namespace brume
