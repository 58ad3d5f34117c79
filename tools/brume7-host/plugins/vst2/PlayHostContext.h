#pragma once
// The host side of the callback while playing live: the plug-in calls back
// from the audio thread, the editor's thread and JACK's, so every answer is
// lock-free and wait-free. Automation that the editor reports is queued for
// the audio thread, which applies it before the next cycle as a host does.

#include <atomic>
#include <cstdint>

#include "tools/brume7-host/plugins/vst2/HostContext.h"

namespace brume {

class PlayHostContext : public HostContext {
 public:
  explicit PlayHostContext(const HostSettings& settings);

  // Any thread, real-time safe.
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) noexcept override;

  // The thread that calls this is the audio thread from now on: its automation is not queued back.
  static void markAudioThread() noexcept;
  // What the host reports as its rate, block size and tempo. Any thread.
  void setTiming(double sampleRate, int blockSize) override;
  void setTempo(double bpm) noexcept override;

  // Audio thread: the next queued automation, if any.
  bool takeAutomation(int& index, float& value) noexcept;

  // Any thread.
  std::uint64_t automationCount() const noexcept { return automations.load(std::memory_order_relaxed); }
  std::uint64_t droppedAutomation() const noexcept { return dropped.load(std::memory_order_relaxed); }

 private:
  static constexpr std::size_t kQueueSize = 1024;

  struct Change {
    int index;
    float value;
  };

  void queue(int index, float value) noexcept;

  std::atomic<double> rate;
  std::atomic<int> block;
  std::atomic<double> tempo;
  Change changes[kQueueSize] = {};
  std::atomic<std::uint64_t> queued{0};
  std::atomic<std::uint64_t> applied{0};
  // Taken without waiting by a producer; a second thread automating at the same instant drops its change.
  std::atomic_flag producing = ATOMIC_FLAG_INIT;
  std::atomic<std::uint64_t> automations{0};
  std::atomic<std::uint64_t> dropped{0};
};

}  // namespace brume
