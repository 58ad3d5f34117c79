#include "tools/brume7-host/plugins/vst2/PlayHostContext.h"

#include <cmath>

#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"

namespace brume {
namespace {

thread_local bool onAudioThread = false;

}  // namespace

PlayHostContext::PlayHostContext(const HostSettings& initial)
    : HostContext(initial), rate(initial.sampleRate), block(initial.blockSize), tempo(initial.tempoBpm) {}

void PlayHostContext::markAudioThread() noexcept { onAudioThread = true; }

void PlayHostContext::setTiming(double sampleRate, int blockSize) {
  HostContext::setTiming(sampleRate, blockSize);
  rate.store(sampleRate, std::memory_order_relaxed);
  block.store(blockSize, std::memory_order_relaxed);
}

void PlayHostContext::setTempo(double bpm) noexcept { tempo.store(bpm, std::memory_order_relaxed); }

VstIntPtr PlayHostContext::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) noexcept {
  switch (opcode) {
    case kHostVersion:
      return kHostInterfaceVersion;
    case kHostAutomate:
      automations.fetch_add(1, std::memory_order_relaxed);
      // The audio thread's own changes are in force already.
      if (!onAudioThread) queue(index, opt);
      return 0;
    case kHostIdle:
      // The tool calls the editor's idle itself at its own pace.
      return 0;
    case kHostWantMidi:
    case kHostBeginEdit:
    case kHostEndEdit:
      return 1;
    case kHostTempoAt:
      return static_cast<VstIntPtr>(std::lround(tempo.load(std::memory_order_relaxed) * 10000.0));
    case kHostSampleRate:
      return static_cast<VstIntPtr>(rate.load(std::memory_order_relaxed));
    case kHostBlockSize:
      return block.load(std::memory_order_relaxed);
    case kHostVendorString:
    case kHostProductString:
    case kHostCanDo:
      // These answers use no shared state.
      return HostContext::answer(opcode, index, value, ptr, opt);
    default:
      return 0;
  }
}

void PlayHostContext::queue(int index, float value) noexcept {
  if (producing.test_and_set(std::memory_order_acquire)) {
    dropped.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  const std::uint64_t head = queued.load(std::memory_order_relaxed);
  if (head - applied.load(std::memory_order_acquire) == kQueueSize) {
    dropped.fetch_add(1, std::memory_order_relaxed);
  } else {
    changes[head % kQueueSize] = Change{index, value};
    queued.store(head + 1, std::memory_order_release);
  }
  producing.clear(std::memory_order_release);
}

bool PlayHostContext::takeAutomation(int& index, float& value) noexcept {
  const std::uint64_t tail = applied.load(std::memory_order_relaxed);
  if (tail == queued.load(std::memory_order_acquire)) return false;
  const Change change = changes[tail % kQueueSize];
  applied.store(tail + 1, std::memory_order_release);
  index = change.index;
  value = change.value;
  return true;
}

}  // namespace brume
