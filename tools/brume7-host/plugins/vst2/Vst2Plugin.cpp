#include "tools/brume7-host/plugins/vst2/Vst2Plugin.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"
#include "tools/brume7-host/plugins/vst2/Vst2Report.h"

namespace brume {
namespace {

constexpr VstIntPtr kCategorySynth = 2;

}  // namespace

Vst2Plugin::Vst2Plugin(const std::string& modulePath, std::unique_ptr<HostContext> host)
    : path(modulePath), hostContext(std::move(host)) {
  liveHost = dynamic_cast<PlayHostContext*>(hostContext.get());
  instance = std::make_unique<PluginInstance>(std::make_shared<PluginLibrary>(path), *hostContext);
  reserveEvents(1);
}

Vst2Plugin::~Vst2Plugin() = default;

std::string Vst2Plugin::idText() { return describeUniqueId(instance->record().uniqueID); }

bool Vst2Plugin::isInstrument() {
  return (instance->record().flags & kFlagIsSynth) != 0 || instance->category() == kCategorySynth;
}

bool Vst2Plugin::presetFileIdentity(std::int32_t& uniqueId, std::int32_t& version) {
  uniqueId = instance->record().uniqueID;
  version = instance->record().version;
  return true;
}

bool Vst2Plugin::programsAreChunks() { return (instance->record().flags & kFlagProgramChunks) != 0; }

void Vst2Plugin::configure(double sampleRate, int maxBlockSize) {
  if (!opened) {
    hostContext->setTiming(sampleRate, maxBlockSize);
    instance->open();
    opened = true;
    return;
  }
  if (sampleRate != hostContext->settings.sampleRate) {
    instance->dispatch(kEffectSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  }
  if (maxBlockSize != hostContext->settings.blockSize) instance->dispatch(kEffectSetBlockSize, 0, maxBlockSize);
  hostContext->setTiming(sampleRate, maxBlockSize);
}

void Vst2Plugin::reserveEvents(std::size_t capacity) {
  capacity = std::max<std::size_t>(1, capacity);
  if (capacity <= midiEvents.size()) return;
  midiEvents.assign(capacity, VstMidiEvent{});
  const std::size_t listBytes = offsetof(VstEvents, events) + capacity * sizeof(VstEvent*);
  eventListStorage.assign((listBytes + sizeof(VstIntPtr) - 1) / sizeof(VstIntPtr) + 2, 0);
}

void Vst2Plugin::sendEvents(const MidiEvent* events, std::size_t count) noexcept {
  count = std::min(count, midiEvents.size());
  if (count == 0) return;
  auto* list = reinterpret_cast<VstEvents*>(eventListStorage.data());
  // The storage runs past the declared two pointers: write them through a pointer to the first.
  VstEvent** entries = &list->events[0];
  for (std::size_t i = 0; i < count; ++i) {
    VstMidiEvent& midi = midiEvents[i];
    midi = VstMidiEvent{};
    midi.type = kMidiEventType;
    midi.byteSize = static_cast<VstInt32>(sizeof(VstMidiEvent));
    midi.deltaFrames = static_cast<VstInt32>(events[i].frame);
    std::memcpy(midi.midiData, events[i].bytes, 3);
    entries[i] = reinterpret_cast<VstEvent*>(&midi);
  }
  list->numEvents = static_cast<VstInt32>(count);
  list->reserved = 0;
  instance->sendEvents(*list);
}

void Vst2Plugin::process(const float* const* inputs, float* const* outputs, int frames) noexcept {
  // The record's entries take non-const pointers; a plug-in only reads its inputs.
  instance->processReplacing(const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
}

void Vst2Plugin::applyEditorChanges() noexcept {
  if (liveHost == nullptr) return;
  // The caller is the audio thread: automation the plug-in reports from here is in force already.
  PlayHostContext::markAudioThread();
  int index = 0;
  float value = 0.0f;
  while (liveHost->takeAutomation(index, value)) instance->setParameter(index, value);
}

std::string Vst2Plugin::describeIdentity() { return describeVst2Identity(*instance); }

}  // namespace brume
