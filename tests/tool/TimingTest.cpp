// Where events land: ticks to seconds through the tempo map, seconds to
// frames, frames to blocks and delta frames, and automation splitting blocks.
// The probe plug-in writes an impulse at each event's delta frame and the
// value of its parameter 0 on its second output, so the rendered audio shows
// where the host put everything.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/tool/ExpectError.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/midi/EventSchedule.h"
#include "tools/brume7-host/midi/MidiSong.h"
#include "tools/brume7-host/plugins/vst2/Vst2Plugin.h"
#include "tools/brume7-host/render/RenderSession.h"
#include "tools/brume7-host/midi/TempoMap.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

using test::Bytes;
using test::endOfTrack;
using test::event;
using test::joined;
using test::midiHeader;
using test::midiTrack;
using test::tempoEvent;

TEST(TempoMap, FollowsTempoChanges) {
  // 480 ticks per quarter: 120 BPM until tick 960, 60 BPM until tick 1440, then 240 BPM.
  const TempoMap tempo(480, {{960, 1000000}, {1440, 250000}});
  EXPECT_DOUBLE_EQ(tempo.secondsAt(0), 0.0);
  EXPECT_DOUBLE_EQ(tempo.secondsAt(480), 0.5);
  EXPECT_DOUBLE_EQ(tempo.secondsAt(960), 1.0);
  EXPECT_DOUBLE_EQ(tempo.secondsAt(1200), 1.5);
  EXPECT_DOUBLE_EQ(tempo.secondsAt(1440), 2.0);
  EXPECT_DOUBLE_EQ(tempo.secondsAt(1920), 2.25);
  EXPECT_EQ(tempo.frameAt(480, 44100.0), 22050);
  EXPECT_EQ(tempo.frameAt(1200, 48000.0), 72000);
  EXPECT_DOUBLE_EQ(tempo.initialBpm(), 120.0);
}

TEST(TempoMap, TakesTheLastOfSeveralChangesAtOneTickAndRoundsToTheNearestFrame) {
  // At tick 0: 100 BPM, then 150 BPM (400000 microseconds); 96 ticks per quarter.
  const TempoMap tempo(96, {{0, 600000}, {0, 400000}});
  EXPECT_DOUBLE_EQ(tempo.initialBpm(), 150.0);
  EXPECT_DOUBLE_EQ(tempo.secondsAt(96), 0.4);
  // One tick is 1/240 s: tick 1 at 44100 Hz is frame 183.75, which rounds to 184.
  EXPECT_EQ(tempo.frameAt(1, 44100.0), 184);
}

TEST(TempoMap, CountsSmpteTimeInFramesAndIgnoresTempo) {
  // 25 frames per second, 40 ticks per frame: 1000 ticks per second whatever the tempo events say.
  const std::uint16_t division = static_cast<std::uint16_t>(((0x100 - 25) << 8) | 40);
  const TempoMap tempo(division, {{0, 1000000}});
  EXPECT_DOUBLE_EQ(tempo.secondsAt(500), 0.5);
  EXPECT_EQ(tempo.frameAt(1000, 48000.0), 48000);
}

TEST(EventSchedule, ReleasesNotesStillHeldAtTheEnd) {
  MidiSong song;
  song.division = 480;
  song.messages.push_back({0, {0x90, 60, 100}, 3, 0});
  song.messages.push_back({0, {0x91, 60, 100}, 3, 0});  // the same key on another channel
  song.messages.push_back({480, {0x80, 60, 0}, 3, 0});  // releases channel 1's only
  song.endTick = 960;
  const EventSchedule schedule = scheduleSong(song, TempoMap(song), 1000.0);
  const std::vector<ScheduledEvent>& events = schedule.events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[3].frame, 1000);  // tick 960 at 120 BPM is 1 s
  EXPECT_EQ(events[3].midi[0], 0x81);
  EXPECT_EQ(events[3].midi[1], 60);
  EXPECT_EQ(schedule.lastMidiFrame(), 1000);
}

TEST(EventSchedule, CountsTheMostEventsInOneBlock) {
  EventSchedule schedule;
  const std::uint8_t note[3] = {0x90, 60, 1};
  for (std::int64_t frame : {0, 63, 64, 65, 127, 128}) schedule.addMidi(frame, note, 3);
  schedule.addParameter(70, 0, 0.5f);                 // not a MIDI event
  EXPECT_EQ(schedule.maxMidiEventsPerBlock(64), 3u);  // frames 64, 65 and 127
  EXPECT_EQ(schedule.maxMidiEventsPerBlock(128), 5u);
  // Blocks of 63, 2, 65, 63, 2...: [0,63) [63,65) [65,130) hold 1, 2 and 3 events.
  EXPECT_EQ(schedule.maxMidiEventsPerBlock(std::vector<int>{63, 2, 65}), 3u);
  EXPECT_EQ(schedule.maxMidiEventsPerBlock(std::vector<int>{1}), 1u);
}

// Renders a song through a probe at 1000 Hz (one frame per millisecond).
struct ProbeRender {
  std::vector<float> impulses;    // output 0
  std::vector<float> parameter0;  // output 1
  double tempoBpm = 0.0;
  bool lv2 = false;
  // What the VST 2 probe counts (-1 for the LV2 one).
  VstIntPtr processCalls = -1;
  VstIntPtr badDeltaFrames = -1;
  VstIntPtr eventLists = -1;
  VstIntPtr tempoAnswer = -1;
};

ProbeRender renderThroughProbe(RenderOptions options, const std::string& probe) {
  options.pluginPath = probe;
  options.sampleRate = 1000.0;
  options.channels = 2;
  RenderSession session(options);
  ProbeRender result;
  session.run([&](const float* interleaved, std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
      result.impulses.push_back(interleaved[2 * i]);
      result.parameter0.push_back(interleaved[2 * i + 1]);
    }
  });
  result.tempoBpm = session.tempoBpm();
  result.lv2 = session.plugin().format() == PluginFormat::Lv2;
  if (auto* vst2 = dynamic_cast<Vst2Plugin*>(&session.plugin())) {
    PluginInstance& instance = vst2->vst2Instance();
    result.processCalls = instance.dispatch(50, 2);
    result.eventLists = instance.dispatch(50, 3);
    result.badDeltaFrames = instance.dispatch(50, 4);
    result.tempoAnswer = instance.dispatch(50, 1);
  }
  return result;
}

// Every frame of `actual` is 0 except the given ones, which hold the given
// values; the LV2 probe also marks the time:Position of the first block, at frame 0.
::testing::AssertionResult impulsesAt(const ProbeRender& render, const std::vector<std::pair<int, float>>& marks) {
  const std::vector<float>& actual = render.impulses;
  std::vector<float> expected(actual.size(), 0.0f);
  if (render.lv2 && !expected.empty()) expected[0] = static_cast<float>(-render.tempoBpm / 1000.0);
  for (const auto& [frame, value] : marks) {
    if (frame >= static_cast<int>(expected.size())) {
      return ::testing::AssertionFailure() << "frame " << frame << " is past the render's " << actual.size();
    }
    expected[static_cast<std::size_t>(frame)] += value;
  }
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (std::fabs(actual[i] - expected[i]) > 1e-6f) {
      return ::testing::AssertionFailure()
             << "first difference at frame " << i << ": " << actual[i] << ", expected " << expected[i];
    }
  }
  return ::testing::AssertionSuccess();
}

// The tempo a probe was told: the VST 2 one asks for it (times 10000), the LV2
// one marks the time:Position it received at frame 0 (minus the tempo over 1000).
VstIntPtr reportedTempo(const ProbeRender& render) {
  if (!render.lv2) return render.tempoAnswer;
  return static_cast<VstIntPtr>(std::lround(-render.impulses.at(0) * 1000.0 * 10000.0));
}

// The probes of both formats, which make the same calls audible the same way.
class ProbeTiming : public ::testing::TestWithParam<test::PluginCase> {
 protected:
  void SetUp() override {
    if (!test::pluginCaseAvailable(GetParam())) GTEST_SKIP() << "probe not built: " << GetParam().location;
  }
  ProbeRender renderProbe(const RenderOptions& options) { return renderThroughProbe(options, GetParam().location); }
  test::TemporaryFolder folder;
};

TEST_P(ProbeTiming, EventsLandOnTheirFramesAcrossBlocksAndTempoChanges) {
  // 480 ticks per quarter; 120 BPM, then 60 BPM from tick 960 (in the tempo track of a format 1 file).
  // Notes: tick 480 = 0.5 s, tick 1200 = 1.5 s, tick 1440 = 2.0 s; a controller at tick 961 = 1.0 s + 1/480 s.
  const Bytes file =
      joined({midiHeader(1, 2, 480), midiTrack(joined({tempoEvent(0, 500000), tempoEvent(960, 1000000), endOfTrack()})),
              midiTrack(joined({event(480, {0x90, 60, 127}), event(481, {0xB0, 1, 64}), event(239, {0x80, 60, 0}),
                                event(240, {0x90, 62, 127}), event(0, {0x80, 62, 0}), endOfTrack()}))});
  const std::string path = folder.file("tempo.mid");
  test::writeFile(path, file);
  RenderOptions options;
  options.midiPath = path;
  options.blockSize = 64;
  options.tailSeconds = 0.1;
  const ProbeRender render = renderProbe(options);
  // Frame 500 is delta 52 of the block at 448; frame 1002 (1.0021 s rounded) is delta 42 of the block at 960;
  // frame 1500 is delta 28 of the block at 1472; frame 2000 is delta 16 of the block at 1984.
  EXPECT_TRUE(impulsesAt(render, {{500, 1.0f}, {1002, 0.25f}, {1500, -0.5f}, {2000, 1.0f}, {2000, -0.5f}}));
  EXPECT_EQ(render.impulses.size(), 2101u);  // the last event's frame, plus one, plus 0.1 s of tail
  if (!render.lv2) {
    EXPECT_EQ(render.badDeltaFrames, 0);
  }
  if (!render.lv2) {
    EXPECT_EQ(render.eventLists, 4);
  }  // only blocks with events get a list
}

TEST_P(ProbeTiming, AnEventOnABlockBoundaryStartsTheNextBlock) {
  const Bytes file =
      joined({midiHeader(0, 1, 1000), midiTrack(joined({tempoEvent(0, 1000000), event(128, {0x90, 60, 127}),
                                                        event(0, {0x90, 61, 127}), endOfTrack(127)}))});
  // 1000 ticks per quarter at 60 BPM: one tick per frame at 1000 Hz.
  const std::string path = folder.file("boundary.mid");
  test::writeFile(path, file);
  RenderOptions options;
  options.midiPath = path;
  options.blockSize = 128;
  options.tailSeconds = 0.0;
  const ProbeRender render = renderProbe(options);
  // Both notes at frame 128; the held notes are released at the end tick 255.
  EXPECT_TRUE(impulsesAt(render, {{128, 2.0f}, {255, -1.0f}}));
  EXPECT_EQ(render.impulses.size(), 256u);
  if (!render.lv2) {
    EXPECT_EQ(render.badDeltaFrames, 0);
  }
  if (!render.lv2) {
    EXPECT_EQ(render.processCalls, 2);
  }
}

TEST_P(ProbeTiming, AutomationSplitsTheBlockAtItsFrame) {
  RenderOptions options;
  options.demo = false;
  options.lengthSeconds = 0.4;  // 400 frames
  options.blockSize = 64;
  options.automation.push_back({0.25, {"level", 0.75f}});  // frame 250, inside the block 192..255
  options.automation.push_back({0.32, {"0", 0.125f}});     // frame 320, a block boundary: no split
  options.setup.settings.push_back({"Level", 0.0f});
  const std::string path = folder.file("one-note.mid");
  test::writeFile(path,
                  joined({midiHeader(0, 1, 480), midiTrack(joined({event(240, {0x90, 60, 127}), endOfTrack()}))}));
  options.midiPath = path;  // a note at frame 250 too: the change comes before it
  const ProbeRender render = renderProbe(options);
  ASSERT_EQ(render.parameter0.size(), 400u);
  for (std::size_t frame = 0; frame < render.parameter0.size(); ++frame) {
    const float expected = frame < 250 ? 0.0f : frame < 320 ? 0.75f : 0.125f;
    ASSERT_EQ(render.parameter0[frame], expected) << "first difference at frame " << frame;
  }
  EXPECT_TRUE(impulsesAt(render, {{250, 1.0f}, {250, -0.5f}}));
  // 7 blocks of 64 frames (the last one 16 frames), and one more call for the split.
  if (!render.lv2) {
    EXPECT_EQ(render.processCalls, 8);
  }
  if (!render.lv2) {
    EXPECT_EQ(render.badDeltaFrames, 0);
  }
}

TEST_P(ProbeTiming, ReportsTheFileTempoUnlessOneIsGiven) {
  // 100 BPM at the start, 60 BPM later: the host reports the first tempo, times 10000.
  const std::string path = folder.file("tempo100.mid");
  test::writeFile(path,
                  joined({midiHeader(0, 1, 480), midiTrack(joined({tempoEvent(0, 600000), tempoEvent(480, 1000000),
                                                                   event(0, {0x90, 60, 1}), endOfTrack()}))}));
  RenderOptions options;
  options.midiPath = path;
  options.tailSeconds = 0.0;
  EXPECT_EQ(reportedTempo(renderProbe(options)), 1000000);
  options.tempoBpm = 140.0;
  EXPECT_EQ(reportedTempo(renderProbe(options)), 1400000);
  // Without a song the host reports 120 BPM.
  options.midiPath.clear();
  options.tempoBpm.reset();
  options.lengthSeconds = 0.01;
  EXPECT_EQ(reportedTempo(renderProbe(options)), 1200000);
}

TEST_P(ProbeTiming, FeedsInputAudioToThePluginInput) {
  // A 300-frame mono ramp at 1000 Hz; the probe copies its input to output 0.
  const std::string input = folder.file("ramp.wav");
  {
    AudioFileLayout layout;
    layout.channels = 1;
    layout.sampleRate = 1000;
    layout.format = SampleFormat::Float32;
    std::unique_ptr<AudioFileWriter> writer = openAudioFileWriter(input, layout);
    std::vector<float> ramp(300);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<float>(i) / 512.0f;
    writer->write(ramp.data(), ramp.size());
    writer->finish();
  }
  RenderOptions options;
  options.inputPath = input;
  options.blockSize = 128;
  options.tailSeconds = 0.05;  // no events: the render lasts as long as the input
  const ProbeRender render = renderProbe(options);
  ASSERT_EQ(render.impulses.size(), 300u);
  std::vector<std::pair<int, float>> ramp;
  for (int frame = 0; frame < 300; ++frame) ramp.emplace_back(frame, static_cast<float>(frame) / 512.0f);
  EXPECT_TRUE(impulsesAt(render, ramp));

  // A longer render reads silence after the input's end.
  options.lengthSeconds = 0.4;
  const ProbeRender longer = renderProbe(options);
  ASSERT_EQ(longer.impulses.size(), 400u);
  EXPECT_EQ(longer.impulses[299], 299.0f / 512.0f);
  EXPECT_EQ(longer.impulses[300], 0.0f);
  EXPECT_EQ(longer.impulses[399], 0.0f);

  // The input must have the render's sample rate.
  options.sampleRate = 2000.0;
  options.pluginPath = GetParam().location;
  EXPECT_TRUE(test::throwsWith<ToolError>([&] { RenderSession session(options); },
                                          "is at 1000 Hz and the render at 2000 Hz; use --rate 1000"));
}

TEST_P(ProbeTiming, CyclesThroughAListOfBlockSizes) {
  // 1000 ticks per quarter at 60 BPM: one tick per frame. Blocks of 5, 3 and 8 frames start at
  // 0, 5, 8, 16, 21, 24, 32...: the notes fall at the start, inside and at the end of blocks.
  const std::string path = folder.file("blocks.mid");
  test::writeFile(
      path, joined({midiHeader(0, 1, 1000),
                    midiTrack(joined({tempoEvent(0, 1000000), event(4, {0x90, 60, 127}), event(1, {0x90, 61, 127}),
                                      event(2, {0x90, 62, 127}), event(1, {0x90, 63, 127}), event(8, {0x90, 64, 127}),
                                      event(1, {0x90, 65, 127}), endOfTrack(20)}))}));
  RenderOptions options;
  options.midiPath = path;
  options.blockSizes = {5, 3, 8};
  options.blockSize = 8;
  options.lengthSeconds = 0.05;
  options.automation.push_back({0.03, {"Level", 0.25f}});  // frame 30, inside the block at 24
  const ProbeRender render = renderProbe(options);
  // The notes still held at the end (tick 37) are released there.
  EXPECT_TRUE(
      impulsesAt(render, {{4, 1.0f}, {5, 1.0f}, {7, 1.0f}, {8, 1.0f}, {16, 1.0f}, {17, 1.0f}, {37, 6 * -0.5f}}));
  ASSERT_EQ(render.parameter0.size(), 50u);
  EXPECT_EQ(render.parameter0[29], 0.5f);
  EXPECT_EQ(render.parameter0[30], 0.25f);
  // Blocks end at 5, 8, 16, 21, 24, 32, 37, 40, 48 and 50, and the change splits one of them.
  if (!render.lv2) {
    EXPECT_EQ(render.processCalls, 11);
  }
  if (!render.lv2) {
    EXPECT_EQ(render.badDeltaFrames, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ProbeTiming,
                         ::testing::Values(test::PluginCase{"Vst2", test::probePluginPath(), ""},
                                           test::PluginCase{"Lv2", test::lv2ProbeBundlePath(), ""}),
                         [](const ::testing::TestParamInfo<test::PluginCase>& info) { return info.param.name; });

}  // namespace
}  // namespace brume
