// A few notes through our own instrument: the tool's render against a render
// made here directly through the entry functions, block by block.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "host/HostRecords.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/render/RenderSession.h"
#include "tools/brume7-host/render/RenderToFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace brume {
namespace {

using test::event;
using test::joined;
using test::midiHeader;
using test::midiTrack;

constexpr int kBlock = 512;
constexpr double kRate = 44100.0;

// Notes at 120 BPM, 480 ticks per quarter: {tick, status, key, velocity}.
struct NoteEvent {
  int tick;
  std::uint8_t status;
  std::uint8_t key;
  std::uint8_t velocity;
};
const NoteEvent kNotes[] = {{0, 0x90, 57, 100}, {0, 0x90, 60, 90},  {240, 0x90, 64, 80},  {480, 0x80, 57, 0},
                            {480, 0x80, 60, 0}, {720, 0x80, 64, 0}, {720, 0x90, 69, 110}, {1200, 0x80, 69, 64}};

test::Bytes notesFile() {
  test::Bytes events;
  int previous = 0;
  for (const NoteEvent& note : kNotes) {
    const test::Bytes one =
        event(static_cast<std::uint32_t>(note.tick - previous), {note.status, note.key, note.velocity});
    events.insert(events.end(), one.begin(), one.end());
    previous = note.tick;
  }
  return joined({midiHeader(0, 1, 480), midiTrack(joined({events, test::endOfTrack()}))});
}

// The frame of a tick at 120 BPM: 480 ticks are half a second.
int frameOf(int tick) { return static_cast<int>(std::lround(tick * kRate / 960.0)); }

VstIntPtr BRUME_VSTCALL minimalHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == kHostVersion) return 2400;
  if (opcode == kHostTempoAt) return 1200000;
  return 0;
}

// The direct render: stereo, `frames` long, events handed over per block.
std::vector<float> renderDirectly(const std::string& path, int frames) {
#ifdef _WIN32
  HMODULE module = LoadLibraryA(path.c_str());
  EXPECT_NE(module, nullptr);
  if (module == nullptr) return {};
  void* symbol = reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain"));
  if (symbol == nullptr) symbol = reinterpret_cast<void*>(GetProcAddress(module, "main"));
#else
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  EXPECT_NE(module, nullptr) << dlerror();
  if (module == nullptr) return {};
  void* symbol = dlsym(module, "VSTPluginMain");
  if (symbol == nullptr) symbol = dlsym(module, "main");
#endif
  EXPECT_NE(symbol, nullptr);
  if (symbol == nullptr) return {};
  using Entry = AEffect*(BRUME_VSTCALL*)(audioMasterCallback);
  AEffect* effect = reinterpret_cast<Entry>(symbol)(minimalHost);
  EXPECT_NE(effect, nullptr);
  if (effect == nullptr) return {};
  effect->dispatcher(effect, 0, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, 10, 0, 0, nullptr, static_cast<float>(kRate));
  effect->dispatcher(effect, 11, 0, kBlock, nullptr, 0.0f);
  effect->dispatcher(effect, 12, 0, 1, nullptr, 0.0f);

  std::vector<float> left(kBlock), right(kBlock), input(kBlock, 0.0f);
  float* outputs[2] = {left.data(), right.data()};
  float* inputs[2] = {input.data(), input.data()};
  std::vector<VstMidiEvent> midi(std::size(kNotes));
  std::vector<VstIntPtr> listStorage(64, 0);
  auto* list = reinterpret_cast<VstEvents*>(listStorage.data());
  VstEvent** entries = &list->events[0];  // the storage runs past the two declared entries
  std::vector<float> result;
  for (int start = 0; start < frames; start += kBlock) {
    const int count = std::min(kBlock, frames - start);
    int events = 0;
    for (const NoteEvent& note : kNotes) {
      const int frame = frameOf(note.tick);
      if (frame < start || frame >= start + count) continue;
      VstMidiEvent& one = midi[static_cast<std::size_t>(events)];
      one = VstMidiEvent{};
      one.type = kMidiEventType;
      one.byteSize = sizeof(VstMidiEvent);
      one.deltaFrames = frame - start;
      one.midiData[0] = note.status;
      one.midiData[1] = note.key;
      one.midiData[2] = note.velocity;
      entries[events++] = reinterpret_cast<VstEvent*>(&one);
    }
    if (events > 0) {
      list->numEvents = events;
      effect->dispatcher(effect, 25, 0, 0, list, 0.0f);
    }
    effect->processReplacing(effect, inputs, outputs, count);
    for (int i = 0; i < count; ++i) {
      result.push_back(left[static_cast<std::size_t>(i)]);
      result.push_back(right[static_cast<std::size_t>(i)]);
    }
  }
  effect->dispatcher(effect, 12, 0, 0, nullptr, 0.0f);
  effect->dispatcher(effect, 1, 0, 0, nullptr, 0.0f);
  return result;
}

class Brume7Render : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::fileExists(test::brume7PluginPath())) {
      GTEST_SKIP() << "this build has no Brume7 plug-in target ("
                   << (test::brume7PluginPath().empty() ? "no target" : test::brume7PluginPath()) << ")";
    }
  }
  test::TemporaryFolder folder;
};

TEST_F(Brume7Render, MatchesADirectRenderThroughTheEntryFunctions) {
  const std::string midi = folder.file("notes.mid");
  test::writeFile(midi, notesFile());
  RenderOptions options;
  options.pluginPath = test::brume7PluginPath();
  options.midiPath = midi;
  options.tailSeconds = 1.0;
  std::vector<float> tool;
  std::int64_t total = 0;
  {
    RenderSession session(options);
    total = session.totalFrames();
    session.run(
        [&](const float* samples, std::size_t frames) { tool.insert(tool.end(), samples, samples + 2 * frames); });
  }
  // The last release at tick 1200 = 1.25 s = frame 55125, one frame more, then 1 s of tail.
  ASSERT_EQ(total, 55126 + 44100);
  ASSERT_EQ(tool.size(), static_cast<std::size_t>(2 * total));

  const std::vector<float> direct = renderDirectly(test::brume7PluginPath(), static_cast<int>(total));
  ASSERT_EQ(direct.size(), tool.size());
  float peak = 0.0f;
  for (std::size_t i = 0; i < tool.size(); ++i) {
    ASSERT_EQ(tool[i], direct[i]) << "first difference at frame " << i / 2 << ", channel " << i % 2;
    peak = std::fmax(peak, std::fabs(tool[i]));
  }
  EXPECT_GT(peak, 0.01f) << "the render is silent";
}

TEST_F(Brume7Render, WritesTheDemo) {
  RenderOptions options;
  options.pluginPath = test::brume7PluginPath();
  options.demo = true;
  options.outputPath = folder.file("demo.wav");
  const RenderSummary summary = renderToFile(options);
  EXPECT_EQ(summary.frames, 12 * 44100 + 1 + 2 * 44100);
  EXPECT_GT(summary.rms, 0.001);
  EXPECT_LE(summary.peak, 0.99 + 1e-6);  // the instrument limits its output to 0.99
  const AudioData audio = readAudioFile(options.outputPath);
  EXPECT_EQ(audio.frameCount(), summary.frames);
  EXPECT_EQ(audio.channels, 2);
}

}  // namespace
}  // namespace brume
