// Drives the plug-in module through its exported entry and the effect record
// only, as a careless or hostile host would: any dispatcher opcode 0..80 with
// any index, value and opt, any float through setParameter, event lists of
// random MIDI bytes, counts and delta frames, and both process entries with
// random (mostly small) block sizes, while the host answers random tempos.
// After every render each output sample must be finite and within +-0.99.
#include <dlfcn.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/HostRecords.h"
#include "BuildPaths.h"

using namespace brume;

namespace {

using Entry = AEffect* (*)(audioMasterCallback);

constexpr int kMaxFrames = 1024;
constexpr int kMaxEvents = 40;
constexpr int kMaxOperations = 48;
constexpr VstInt32 kCloseOpcode = 1;
constexpr VstInt32 kEditorRectOpcode = 13;
constexpr VstInt32 kEditorOpenOpcode = 14;
constexpr VstInt32 kGetChunkOpcode = 23;
constexpr VstInt32 kSetChunkOpcode = 24;
constexpr VstInt32 kEventListOpcode = 25;
constexpr VstInt32 kSpeakerArrangementOpcode = 42;

Entry pluginEntry = nullptr;

// The tempos the host reports (host opcode 10), drawn for each case.
VstIntPtr tempoAnswers[4] = {};
int tempoCalls = 0;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case kHostVersion:
      return 2400;
    case kHostTempoAt:
      return tempoAnswers[tempoCalls++ % 4];
    default:
      return 0;
  }
}

float anyFloat(FuzzedDataProvider& data) {
  const std::uint32_t bits = data.ConsumeIntegral<std::uint32_t>();
  float value = 0.0f;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Mostly small blocks keep a case fast; now and then a full-size one.
VstInt32 blockFrames(FuzzedDataProvider& data) {
  const std::uint8_t pick = data.ConsumeIntegral<std::uint8_t>();
  return pick < 240 ? pick % 65 : data.ConsumeIntegralInRange<VstInt32>(0, kMaxFrames);
}

struct Buffers {
  float input[kMaxFrames];
  float left[kMaxFrames];
  float right[kMaxFrames];
};
Buffers buffers;

void checkOutput(const float* samples, VstInt32 frames, const char* entry) {
  for (VstInt32 i = 0; i < frames; ++i) {
    const float sample = samples[i];
    if (!std::isfinite(sample) || std::fabs(sample) > 0.99f) {
      std::fprintf(stderr, "%s: sample %d of %d is %g (finite and within +-0.99 expected)\n", entry,
                   static_cast<int>(i), static_cast<int>(frames), static_cast<double>(sample));
      std::abort();
    }
  }
}

void render(AEffect* effect, FuzzedDataProvider& data, bool replacing) {
  const VstInt32 frames = blockFrames(data);
  // Host input is ordinary audio: finite, within full scale.
  const float level = static_cast<float>(data.ConsumeIntegralInRange<int>(-100, 100)) / 100.0f;
  for (VstInt32 i = 0; i < frames; ++i) buffers.input[i] = (i & 1) ? level : -level;
  // process adds to the outputs: starting from silence, the sum is what the plug-in made.
  std::memset(buffers.left, 0, sizeof buffers.left);
  std::memset(buffers.right, 0, sizeof buffers.right);
  float* inputs[] = {buffers.input, buffers.input};
  float* outputs[] = {buffers.left, buffers.right};
  if (replacing)
    effect->processReplacing(effect, inputs, outputs, frames);
  else
    effect->process(effect, inputs, outputs, frames);
  checkOutput(buffers.left, frames, replacing ? "processReplacing" : "process");
  checkOutput(buffers.right, frames, replacing ? "processReplacing" : "process");
}

void sendEvents(AEffect* effect, FuzzedDataProvider& data) {
  static VstMidiEvent midi[kMaxEvents];
  // The list as hosts lay it out: the pointer array runs past the two declared entries.
  static VstIntPtr storage[2 + kMaxEvents + 2];
  auto* list = reinterpret_cast<VstEvents*>(storage);
  VstEvent** entries = &list->events[0];
  const int count = data.ConsumeIntegralInRange(0, kMaxEvents);
  for (int i = 0; i < count; ++i) {
    VstMidiEvent& event = midi[i];
    event = VstMidiEvent{};
    const std::uint8_t kind = data.ConsumeIntegral<std::uint8_t>();
    event.type = kind < 240 ? kMidiEventType : kind;  // now and then another event type
    event.byteSize = sizeof(VstMidiEvent);
    const std::uint8_t timing = data.ConsumeIntegral<std::uint8_t>();
    event.deltaFrames = timing < 224 ? timing % 64 : data.ConsumeIntegral<VstInt32>();
    for (unsigned char& byte : event.midiData) byte = data.ConsumeIntegral<std::uint8_t>();
    event.detune = data.ConsumeIntegral<std::int8_t>();
    // A null entry now and then: a plug-in must not trust every pointer.
    entries[i] = kind == 255 ? nullptr : reinterpret_cast<VstEvent*>(&event);
  }
  list->numEvents = count;
  list->reserved = 0;
  effect->dispatcher(effect, kEventListOpcode, 0, 0, list, 0.0f);
}

void dispatch(AEffect* effect, FuzzedDataProvider& data, VstInt32 opcode) {
  const VstInt32 index = data.ConsumeIntegral<VstInt32>();
  VstIntPtr value = data.ConsumeIntegral<VstIntPtr>();
  const float opt = anyFloat(data);
  // Text opcodes write into (or read from) this: zero-terminated, larger than any host's text buffer.
  static char scratch[512];
  std::memset(scratch, 0, sizeof scratch);
  const std::string text = data.ConsumeRandomLengthString(64);
  std::memcpy(scratch, text.data(), text.size());
  void* ptr = scratch;
  ERect* rect = nullptr;
  void* chunk = nullptr;
  static int parentWindow = 0;  // the headless platform takes any non-null parent
  switch (opcode) {
    case kEditorRectOpcode:
      ptr = &rect;
      break;
    case kEditorOpenOpcode:
      ptr = data.ConsumeBool() ? static_cast<void*>(&parentWindow) : nullptr;
      break;
    case kGetChunkOpcode:
      ptr = &chunk;
      break;
    case kSetChunkOpcode:
      value =
          static_cast<VstIntPtr>(std::llabs(static_cast<long long>(value % static_cast<VstIntPtr>(sizeof scratch))));
      break;
    case kSpeakerArrangementOpcode:
      value = reinterpret_cast<VstIntPtr>(scratch + 256);  // value carries the input arrangement's address
      break;
    default:
      break;
  }
  effect->dispatcher(effect, opcode, index, value, ptr, opt);
  if (opcode == kEditorRectOpcode && rect != nullptr) {
    volatile std::int16_t width = static_cast<std::int16_t>(rect->right - rect->left);  // the rectangle is readable
    (void)width;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  void* module = dlopen(BRUME7_FUZZ_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", BRUME7_FUZZ_PLUGIN_PATH, dlerror());
    std::exit(1);
  }
  pluginEntry = reinterpret_cast<Entry>(dlsym(module, "VSTPluginMain"));
  if (pluginEntry == nullptr) pluginEntry = reinterpret_cast<Entry>(dlsym(module, "main"));
  if (pluginEntry == nullptr) {
    std::fprintf(stderr, "%s has no plug-in entry\n", BRUME7_FUZZ_PLUGIN_PATH);
    std::exit(1);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  for (VstIntPtr& tempo : tempoAnswers) tempo = data.ConsumeIntegral<VstInt32>();
  tempoCalls = 0;

  AEffect* effect = pluginEntry(hostCallback);
  if (effect == nullptr || effect->magic != kEffectMagic) std::abort();
  effect->dispatcher(effect, 0, 0, 0, nullptr, 0.0f);  // open

  for (int step = 0; step < kMaxOperations && data.remaining_bytes() > 0; ++step) {
    switch (data.ConsumeIntegralInRange(0, 5)) {
      case 0: {
        const VstInt32 opcode = data.ConsumeIntegralInRange<VstInt32>(0, 80);
        if (opcode == kEventListOpcode)
          sendEvents(effect, data);  // its pointer is an event list, never text
        else if (opcode != kCloseOpcode)
          dispatch(effect, data, opcode);
        break;
      }
      case 1: {
        const VstInt32 index = data.ConsumeIntegralInRange<VstInt32>(-2, 56);
        effect->setParameter(effect, index, anyFloat(data));
        break;
      }
      case 2:
        (void)effect->getParameter(effect, data.ConsumeIntegralInRange<VstInt32>(-2, 56));
        break;
      case 3:
        sendEvents(effect, data);
        break;
      case 4:
        render(effect, data, true);
        break;
      case 5:
        render(effect, data, false);
        break;
    }
  }
  effect->dispatcher(effect, 15, 0, 0, nullptr, 0.0f);  // editor close, in case one is open
  effect->dispatcher(effect, kCloseOpcode, 0, 0, nullptr, 0.0f);
  return 0;
}
