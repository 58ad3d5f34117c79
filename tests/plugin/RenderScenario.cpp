#include "tests/plugin/RenderScenario.h"

#include <cmath>

#include "tests/plugin/PluginModule.h"

namespace brume::test {
namespace {

struct Note {
  int block;
  int delta;
  unsigned char status, key, velocity;
  signed char detune;
};

struct Setting {
  int block;
  VstInt32 index;
  float value;
};

// Blocks of 480 frames: 300 blocks are about 3.3 seconds.
constexpr int kBlocks = 300;

const Setting kSettings[] = {
    {0, 5, 0.0f},         {0, 10, 2.5f / 14},   {0, 15, 8.5f / 14},    {0, 13, 1.0f},        {0, 48, 1.0f},
    {0, 49, 0.7f},        {0, 50, 0.6f},        {0, 53, 0.8f},         {0, 1, 0.3f},         {0, 51, 1.0f},
    {0, 52, 0.3f},        {0, 22, 1.0f},        {0, 23, 0.05f},        {0, 24, 41.5f / 46},  {0, 25, 0.2f},
    {0, 26, 0.8f},        {0, 27, 1.0f},        {0, 28, 0.0f},         {0, 29, 15.5f / 46},  {0, 32, 1.5f / 55},
    {0, 33, 30.5f / 128}, {0, 34, 0.2f},        {0, 35, 0.8f},         {40, 5, 4.5f / 14},   {60, 10, 11.5f / 14},
    {80, 15, 12.5f / 14}, {100, 5, 13.5f / 14}, {100, 3, 1.0f},        {120, 10, 9.5f / 14}, {120, 53, 0.5f},
    {140, 53, 0.2f},      {160, 6, 0.75f},      {170, 7, 0.1f},        {180, 48, 0.0f},      {200, 48, 1.0f},
    {200, 2, 0.6f},       {220, 5, 6.5f / 14},  {240, 15, 10.5f / 14}, {250, 8, 0.0f},       {260, 21, 0.05f},
};

const Note kNotes[] = {
    {0, 0, 0x90, 48, 100, 0},   {0, 31, 0x90, 55, 90, 12},   {2, 7, 0x90, 60, 110, -20}, {10, 0, 0x80, 55, 0, 0},
    {10, 0, 0x80, 60, 0, 0},    {12, 200, 0x90, 64, 127, 0}, {20, 5, 0x90, 30, 64, 0},   {25, 5, 0x80, 30, 0, 0},
    {30, 100, 0x90, 72, 80, 0}, {45, 0, 0x90, 76, 70, 3},    {50, 479, 0x80, 48, 0, 0},  {60, 0, 0x90, 36, 127, 0},
    {70, 10, 0x80, 64, 0, 0},   {70, 10, 0x80, 72, 0, 0},    {71, 0, 0x90, 67, 96, 0},   {90, 0, 0xB0, 126, 0, 0},
    {91, 0, 0x90, 43, 100, 0},  {91, 1, 0x90, 50, 100, 0},   {110, 0, 0x90, 84, 60, 0},  {130, 0, 0x80, 43, 0, 0},
    {150, 0, 0x90, 53, 127, 0}, {150, 0, 0x90, 57, 127, 0},  {150, 0, 0x90, 62, 127, 0}, {190, 0, 0x80, 53, 0, 0},
    {190, 0, 0x80, 57, 0, 0},   {210, 9, 0x90, 59, 110, 0},  {230, 0, 0x90, 96, 50, 0},  {260, 0, 0x80, 59, 0, 0},
};

}  // namespace

std::vector<float> renderScenario(AEffect* effect) {
  call(effect, 10, 0, 0, nullptr, static_cast<float>(kScenarioSampleRate));
  call(effect, 11, 0, kScenarioBlockSize);
  call(effect, 12, 0, 1);

  std::vector<float> output;
  output.reserve(static_cast<size_t>(kBlocks) * kScenarioBlockSize * 2);
  std::vector<float> left(kScenarioBlockSize), right(kScenarioBlockSize), input(kScenarioBlockSize);
  float* outputs[] = {left.data(), right.data()};
  float* inputs[] = {input.data()};

  for (int block = 0; block < kBlocks; ++block) {
    for (const Setting& setting : kSettings)
      if (setting.block == block) effect->setParameter(effect, setting.index, setting.value);

    struct {
      VstInt32 numEvents;
      VstIntPtr reserved;
      VstEvent* events[16];
    } list{};
    VstMidiEvent midi[16] = {};
    for (const Note& note : kNotes) {
      if (note.block != block || list.numEvents == 16) continue;
      VstMidiEvent& event = midi[list.numEvents];
      event.type = kMidiEventType;
      event.byteSize = sizeof event;
      event.deltaFrames = note.delta;
      event.midiData[0] = note.status;
      event.midiData[1] = note.key;
      event.midiData[2] = note.velocity;
      event.detune = note.detune;
      list.events[list.numEvents++] = reinterpret_cast<VstEvent*>(&event);
    }
    call(effect, 25, 0, 0, &list);

    for (int i = 0; i < kScenarioBlockSize; ++i) {
      const int frame = block * kScenarioBlockSize + i;
      input[i] = 0.05f * static_cast<float>(std::sin(frame * 0.01));
    }
    if (block % 3 == 2) {
      for (int i = 0; i < kScenarioBlockSize; ++i) left[i] = right[i] = 0.0f;
      effect->process(effect, inputs, outputs, kScenarioBlockSize);
    } else {
      effect->processReplacing(effect, inputs, outputs, kScenarioBlockSize);
    }
    for (int i = 0; i < kScenarioBlockSize; ++i) {
      output.push_back(left[i]);
      output.push_back(right[i]);
    }
  }
  call(effect, 12, 0, 0);
  return output;
}

}  // namespace brume::test
