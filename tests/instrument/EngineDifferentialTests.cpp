// The instrument on every vector path against the frozen scalar engine: the
// same patch, events, parameter changes and blocks must give the same samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/ParameterIndex.h"
#include "engine/simd/VoiceKernel.h"
#include "instrument/Instrument.h"
#include "instrument/ParameterCatalogue.h"
#include "tests/reference/ReferenceSynth.h"

namespace brume {
namespace {

constexpr float kTolerance = 1e-5f;
constexpr VstIntPtr kTempoAnswer = 1200000;  // 120 beats per minute

VstIntPtr BRUME_VSTCALL tempoHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == kHostVersion) return 2400;
  if (opcode == kHostTempoAt) return kTempoAnswer;
  return 0;
}

struct Event {
  std::uint8_t status, data1, data2;
  std::int32_t deltaFrames;
  char detune = 0;
};

// One block: what happens before it, then how it is rendered.
struct Block {
  std::vector<std::pair<std::int32_t, float>> parameters;  // set before the events
  std::vector<Event> events;
  std::int32_t frames = 512;
  bool replace = true;
  bool input = false;
};

struct Scenario {
  explicit Scenario(std::string name) : name(std::move(name)) {}
  std::string name;
  float sampleRate = 44100.0f;
  std::vector<std::pair<std::int32_t, float>> patch;  // applied after the defaults
  std::vector<Block> blocks;
};

// A list as hosts make them: longer than the record's declared two entries.
struct EventList {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[64] = {};
  VstMidiEvent midi[64] = {};

  explicit EventList(const std::vector<Event>& source) {
    for (const Event& e : source) {
      if (numEvents == 64) break;
      VstMidiEvent& m = midi[numEvents];
      m.type = kMidiEventType;
      m.byteSize = sizeof(VstMidiEvent);
      m.deltaFrames = e.deltaFrames;
      m.midiData[0] = static_cast<char>(e.status);
      m.midiData[1] = static_cast<char>(e.data1);
      m.midiData[2] = static_cast<char>(e.data2);
      m.detune = e.detune;
      events[numEvents++] = reinterpret_cast<VstEvent*>(&m);
    }
  }
  VstEvents* list() { return reinterpret_cast<VstEvents*>(this); }
};

// Both channels of every block, one after another.
using Render = std::vector<float>;

// Renders the scenario through the instrument on a path, or (path null) through the scalar engine.
Render render(const Scenario& scenario, const KernelPath* path) {
  float defaults[kParameterCount];
  for (std::int32_t i = 0; i < kParameterCount; ++i) defaults[i] = ParameterLayout[i].defaultValue;
  reference::ReferenceSynth expected(defaults, static_cast<float>(kTempoAnswer) * 0.0001f);
  auto instrument = std::make_unique<Instrument>(&tempoHost);
  if (path) {
    EXPECT_TRUE(instrument->setKernelPath(*path));
  }
  auto set = [&](std::int32_t index, float value) {
    if (path) {
      instrument->setParameter(index, value);
    } else {
      expected.setParameter(index, value);
    }
  };

  if (path) {
    instrument->dispatcher(10, 0, 0, nullptr, scenario.sampleRate);
    instrument->dispatcher(12, 0, 1, nullptr, 0.0f);
  } else {
    expected.setSampleRate(scenario.sampleRate);
    expected.resume();
  }
  for (const auto& [index, value] : scenario.patch) set(index, value);

  std::mt19937 noise(7);
  std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
  // Reserved at once: a minute of audio grown by doubling does not fit a 32-bit process under emulation.
  std::size_t total = 0;
  for (const Block& block : scenario.blocks) total += 2 * static_cast<std::size_t>(std::max(block.frames, 0));
  Render result;
  result.reserve(total);
  for (const Block& block : scenario.blocks) {
    for (const auto& [index, value] : block.parameters) set(index, value);
    EventList events(block.events);
    if (path) {
      instrument->dispatcher(25, 0, 0, events.list(), 0.0f);
    } else {
      expected.receiveEvents(*events.list());
    }
    const auto frames = static_cast<std::size_t>(block.frames);
    std::vector<float> input(frames, 0.0f);
    if (block.input) {
      for (float& x : input) x = sample(noise);
    }
    // Accumulating blocks start from the same host buffer contents.
    std::vector<float> left(frames, block.replace ? 0.0f : 0.25f), right(frames, block.replace ? 0.0f : -0.25f);
    float* inputs[] = {input.data()};
    float* outputs[] = {left.data(), right.data()};
    if (!path) {
      expected.render(input.data(), left.data(), right.data(), block.frames, block.replace);
    } else if (block.replace) {
      instrument->processReplacing(inputs, outputs, block.frames);
    } else {
      instrument->process(inputs, outputs, block.frames);
    }
    result.insert(result.end(), left.begin(), left.end());
    result.insert(result.end(), right.begin(), right.end());
  }
  return result;
}

void expectAlike(const Render& got, const Render& expected, float tolerance, const std::string& what) {
  ASSERT_EQ(got.size(), expected.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (!(std::fabs(got[i] - expected[i]) <= tolerance)) {
      FAIL() << what << ": value " << i << " is " << got[i] << " instead of " << expected[i];
    }
  }
}

void expectSameSound(KernelPath path, const Scenario& scenario) {
  expectAlike(render(scenario, &path), render(scenario, nullptr), kTolerance,
              scenario.name + " on " + kernelPathName(path));
}

float shapeValue(int shape) { return (static_cast<float>(shape) + 0.5f) / 14.0f; }

Event noteOn(int key, std::int32_t delta, int velocity = 100) {
  return {0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity), delta};
}
Event noteOff(int key, std::int32_t delta) { return {0x80, static_cast<std::uint8_t>(key), 0, delta}; }

// A chord held and released over `blocks` blocks of `frames`, notes starting and ending at odd frames.
std::vector<Block> chord(int blocks, std::int32_t frames, int notes = 4) {
  std::vector<Block> result(static_cast<std::size_t>(blocks));
  for (Block& block : result) block.frames = frames;
  for (int n = 0; n < notes; ++n) {
    result[0].events.push_back(noteOn(48 + 5 * n, (7 * n) % frames));
    result[static_cast<std::size_t>(blocks / 2)].events.push_back(noteOff(48 + 5 * n, (13 * n + 3) % frames));
  }
  return result;
}

std::vector<Scenario> namedScenarios() {
  std::vector<Scenario> all;
  // Every shape, on each oscillator alone and in add and ring chains.
  for (int shape = 0; shape < 14; ++shape) {
    Scenario add("shape " + std::to_string(shape) + " added");
    add.patch = {{kO1Shape, shapeValue(shape)},
                 {kO2Shape, shapeValue((shape + 5) % 14)},
                 {kO3Shape, shapeValue((shape + 9) % 14)},
                 {kOsc2, 0.0f},
                 {kO3Vol, 0.8f}};
    add.blocks = chord(8, 512, 3);
    all.push_back(add);
    Scenario ring("shape " + std::to_string(shape) + " ring chain");
    ring.patch = {{kO1Shape, shapeValue(shape)},
                  {kO2Shape, shapeValue(shape)},
                  {kO3Shape, shapeValue(13 - shape)},
                  {kOsc1, 1.0f},
                  {kOsc2, 1.0f},
                  {kOsc3, 1.0f}};
    ring.blocks = chord(8, 512, 5);
    for (Block& block : ring.blocks) block.input = true;
    all.push_back(ring);
  }
  // Glide on and off, with pitch knobs turned during glides.
  for (int notes : {2, 16}) {
    Scenario glide("glide with retunes, " + std::to_string(notes) + " notes");
    glide.patch = {{kGlide, 1.0f}, {kGWet, 0.7f}, {kO1Shape, shapeValue(3)}, {kO2Shape, shapeValue(8)}};
    glide.blocks = chord(12, 300, notes);
    glide.blocks[7].events.push_back(noteOn(60, 11));
    glide.blocks[3].parameters = {{kO1Pitch, 0.7f}, {kO2SubP, 0.2f}};
    glide.blocks[8].parameters = {{kO3Pitch, 0.1f}, {kGlide, 0.0f}};
    glide.blocks[10].parameters = {{kGlide, 1.0f}, {kPitch, 0.8f}};
    glide.blocks[10].events.push_back(noteOn(70, 0));
    all.push_back(glide);
  }
  // Oscillators alike in shape and pitch share their waves; apart in phase
  // after a retune and back, or on noise tables of their own, they must not.
  for (int notes : {3, 16}) {
    // All three alike at first, then the third apart; a note glides in late.
    Scenario alike("alike oscillators, " + std::to_string(notes) + " notes");
    alike.patch = {{kO2Shape, shapeValue(0)}, {kO2Pitch, 0.5f}, {kGlide, 1.0f}};
    alike.blocks = chord(12, 256, notes);
    alike.blocks[1].parameters = {{kO3Pitch, 0.6f}};
    alike.blocks[3].parameters = {{kO3Pitch, 0.5f}};
    alike.blocks[8].events.push_back(noteOn(61, 5));
    all.push_back(alike);
    Scenario noise("alike noise oscillators, " + std::to_string(notes) + " notes");
    noise.patch = {{kO1Shape, shapeValue(11)}, {kO3Shape, shapeValue(11)}};
    noise.blocks = chord(6, 256, notes);
    all.push_back(noise);
  }
  // More notes than voices: stealing.
  Scenario steal("voice stealing");
  steal.blocks = chord(6, 512, 20);
  all.push_back(steal);
  // Envelopes of one sample, and sustain moved in Decay and in Sustain.
  Scenario shortEnvelope("envelope lengths of 1 and sustain changes");
  shortEnvelope.patch = {{kAttack, 0.0f}, {kDecay, 0.0f}, {kRelease, 0.0f}};
  shortEnvelope.blocks = chord(10, 64, 4);
  shortEnvelope.blocks[2].parameters = {{kSustain, 0.9f}};
  shortEnvelope.blocks[3].parameters = {{kDecay, 0.3f}, {kSustain, 0.2f}};
  shortEnvelope.blocks[4].events.push_back(noteOn(66, 1));
  shortEnvelope.blocks[4].parameters = {{kSustain, 0.6f}};
  all.push_back(shortEnvelope);
  // The filter switched and set mid-note.
  for (float resonance : {0.0f, 0.5f, 1.0f}) {
    Scenario filter("filter at resonance " + std::to_string(resonance));
    filter.patch = {{kRes, resonance}, {kCutoff, 0.9f}};
    filter.blocks = chord(10, 256, 3);
    filter.blocks[2].parameters = {{kLpFilter, 0.0f}};
    filter.blocks[4].parameters = {{kLpFilter, 1.0f}, {kCutoff, 0.2f}};
    filter.blocks[7].parameters = {{kCutoff, 1.0f}};
    all.push_back(filter);
  }
  // One and two notes, whose rows filter their own samples, the cutoff moved by an LFO every tick; two more
  // notes for a while (wider rows), the LFO off (long runs) and on again, and the filter off and on again.
  for (int notes : {1, 2}) {
    Scenario narrow("filtered " + std::to_string(notes) + " notes under a cutoff LFO");
    narrow.patch = {{kLpFilter, 1.0f},       {kRes, 0.7f},   {kLfo2, 1.0f}, {kL2Per, 0.02f},
                    {kL2Aim, 41.5f / 46.0f}, {kL2Min, 0.1f}, {kL2Max, 0.9f}};
    narrow.blocks = chord(200, 333, notes);
    std::swap(narrow.blocks[100].events, narrow.blocks[190].events);
    narrow.blocks[150].events = {noteOn(80, 50), noteOn(83, 51)};
    narrow.blocks[152].events = {noteOff(80, 20), noteOff(83, 21)};
    narrow.blocks[120].parameters = {{kLfo2, 0.0f}};
    narrow.blocks[130].parameters = {{kLfo2, 1.0f}};
    narrow.blocks[160].parameters = {{kLpFilter, 0.0f}};
    narrow.blocks[165].parameters = {{kLpFilter, 1.0f}};
    all.push_back(narrow);
  }
  // Every chain of + and x over three shapes.
  for (int chain = 0; chain < 8; ++chain) {
    Scenario ring("ring switches " + std::to_string(chain));
    ring.patch = {{kO1Shape, shapeValue(7)},        {kO2Shape, shapeValue(2)},        {kO3Shape, shapeValue(12)},
                  {kOsc1, chain & 1 ? 1.0f : 0.0f}, {kOsc2, chain & 2 ? 1.0f : 0.0f}, {kOsc3, chain & 4 ? 1.0f : 0.0f}};
    ring.blocks = chord(6, 512, 3);
    ring.blocks[1].input = true;
    all.push_back(ring);
  }
  // LFOs writing "O1-Shape", "Comp", "Volume", "Pan" and "LPFilter" (slots 5, 45, 0, 1, 40), the other the cutoff.
  // Setting an aim holds its LFO for a second, so the chord sounds well past that.
  for (float aim : {5.5f, 45.5f, 0.5f, 1.5f, 40.5f}) {
    Scenario lfo("LFOs aimed at slot " + std::to_string(aim));
    lfo.patch = {{kLfo1, 1.0f},  {kL1Per, 0.05f},         {kL1Aim, aim / 46.0f}, {kLfo2, 1.0f},
                 {kL2Per, 0.1f}, {kL2Aim, 41.5f / 46.0f}, {kL2Min, 0.2f},        {kL2Max, 0.9f}};
    lfo.blocks = chord(400, 512, 4);
    std::swap(lfo.blocks[200].events, lfo.blocks[380].events);
    for (std::size_t i = 0; i < lfo.blocks.size(); ++i)
      lfo.blocks[i].frames = 37 + static_cast<std::int32_t>(i % 5) * 90;
    all.push_back(lfo);
  }
  // An event modulator on key 60 writing the cutoff; controller 126 mid-phrase.
  Scenario modulator("event modulator and controller 126");
  modulator.patch = {{kE1Aim, 49.5f / 55.0f}, {kE1Note, 60.5f / 128.0f}, {kE1Val, 0.1f}, {kE1Rel, 0.95f}};
  modulator.blocks = chord(8, 512, 3);
  modulator.blocks[1].events.push_back(noteOn(60, 5));
  modulator.blocks[3].events.push_back(noteOff(60, 9));
  modulator.blocks[5].events.push_back({0xB0, 126, 0, 17});
  modulator.blocks[6].events.push_back(noteOn(62, 100));
  all.push_back(modulator);
  // Block sizes, both entries, the input, the sample rates.
  for (std::int32_t frames : {1, 7, 100, 512, 4096}) {
    Scenario sized("blocks of " + std::to_string(frames));
    sized.blocks = chord(frames == 1 ? 3000 : 20000 / frames + 2, frames, 4);
    for (std::size_t i = 0; i < sized.blocks.size(); ++i) {
      sized.blocks[i].replace = i % 3 != 1;
      sized.blocks[i].input = i % 2 == 0;
    }
    all.push_back(sized);
  }
  for (float rate : {48000.0f, 96000.0f}) {
    Scenario rated("at " + std::to_string(static_cast<int>(rate)) + " Hz");
    rated.sampleRate = rate;
    rated.blocks = chord(10, 480, 6);
    all.push_back(rated);
  }
  return all;
}

// Random patches and random event lists, seeded.
Scenario randomScenario(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  auto chance = [&](float p) { return unit(random) < p; };
  Scenario scenario("random case " + std::to_string(seed));
  const float rates[] = {44100.0f, 48000.0f, 96000.0f};
  scenario.sampleRate = rates[seed % 3];
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    if (i != kVolume && chance(0.5f)) scenario.patch.emplace_back(i, unit(random));
  }
  const int blocks = 4 + static_cast<int>(random() % 12);
  for (int b = 0; b < blocks; ++b) {
    Block block;
    block.frames = 1 + static_cast<std::int32_t>(random() % 700);
    block.replace = chance(0.8f);
    block.input = chance(0.3f);
    for (int e = static_cast<int>(random() % 6); e > 0; --e) {
      const auto key = static_cast<std::uint8_t>(30 + random() % 60);
      const auto delta = static_cast<std::int32_t>(random() % static_cast<unsigned>(block.frames));
      if (chance(0.55f)) {
        block.events.push_back({0x90, key, static_cast<std::uint8_t>(random() % 128), delta,
                                static_cast<char>(static_cast<int>(random() % 101) - 50)});
      } else if (chance(0.97f)) {
        block.events.push_back(noteOff(key, delta));
      } else {
        block.events.push_back({0xB0, 126, 0, delta});
      }
    }
    if (chance(0.3f))
      block.parameters.emplace_back(static_cast<std::int32_t>(random() % kParameterCount), unit(random));
    scenario.blocks.push_back(block);
  }
  return scenario;
}

class EngineDifferential : public testing::TestWithParam<KernelPath> {
 protected:
  void SetUp() override {
    if (!kernelPathSupported(GetParam())) GTEST_SKIP() << "the processor lacks " << kernelPathName(GetParam());
  }
};

TEST_P(EngineDifferential, NamedScenariosSoundAsTheScalarEngine) {
  for (const Scenario& scenario : namedScenarios()) {
    expectSameSound(GetParam(), scenario);
    if (HasFailure()) return;
  }
}

TEST_P(EngineDifferential, RandomPatchesAndEventsSoundAsTheScalarEngine) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    expectSameSound(GetParam(), randomScenario(seed));
    if (HasFailure()) return;
  }
}

// Sixty seconds of held chords and runs like the demo phrase, in 512-frame blocks.
TEST_P(EngineDifferential, SixtySecondsOfAPhraseSoundAsTheScalarEngine) {
  Scenario phrase("sixty seconds");
  const int blocks = 60 * 44100 / 512;
  phrase.blocks.resize(static_cast<std::size_t>(blocks));
  for (int b = 0; b < blocks; ++b) {
    Block& block = phrase.blocks[static_cast<std::size_t>(b)];
    if (b % 40 == 0) {
      for (int n = 0; n < 3; ++n) block.events.push_back(noteOn(48 + 4 * n + (b / 40) % 7, 3 * n));
    }
    if (b % 40 == 30) {
      for (int n = 0; n < 3; ++n) block.events.push_back(noteOff(48 + 4 * n + (b / 40) % 7, 100 + n));
    }
    if (b % 10 == 5) block.events.push_back(noteOn(72 + (b / 10) % 12, 200, 80));
    if (b % 10 == 8) block.events.push_back(noteOff(72 + (b / 10) % 12, 50));
  }
  expectSameSound(GetParam(), phrase);
}

// The wide paths against SSE2, which every x86 processor runs.
TEST_P(EngineDifferential, WidePathsAgreeWithSse2) {
  if (GetParam() == KernelPath::Sse2) GTEST_SKIP() << "the path compared with";
  const KernelPath baseline = KernelPath::Sse2;
  std::vector<Scenario> scenarios = namedScenarios();
  for (unsigned seed = 1000; seed < 1050; ++seed) scenarios.push_back(randomScenario(seed));
  for (const Scenario& scenario : scenarios) {
    const KernelPath path = GetParam();
    expectAlike(render(scenario, &path), render(scenario, &baseline), 1e-6f,
                scenario.name + " on " + kernelPathName(path) + " against sse2");
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryPath, EngineDifferential,
                         testing::Values(KernelPath::Sse2, KernelPath::Avx2, KernelPath::Avx512),
                         [](const testing::TestParamInfo<KernelPath>& info) {
                           return std::string(kernelPathName(info.param));
                         });

}  // namespace
}  // namespace brume
