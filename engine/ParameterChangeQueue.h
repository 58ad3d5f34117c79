#pragma once
// Parameter changes handed from any thread to the audio thread: a bounded,
// lock-free queue of parameter indexes (many producers, one consumer) that
// never allocates. The values themselves stay in the live parameter values,
// so the consumer always applies the latest one. When the queue is full the
// index is marked instead, and the marks are taken after the queue: nothing is
// lost and the latest value still wins.

#include <atomic>
#include <cstdint>

#include "engine/ParameterIndex.h"

namespace brume {

class ParameterChangeQueue {
 public:
  static constexpr std::uint32_t kCapacity = 64;  // a power of two

  ParameterChangeQueue() noexcept {
    for (std::uint32_t i = 0; i < kCapacity; ++i) cells[i].sequence.store(i, std::memory_order_relaxed);
    for (auto& mark : overflowMarks) mark.store(false, std::memory_order_relaxed);
  }

  ParameterChangeQueue(const ParameterChangeQueue&) = delete;
  ParameterChangeQueue& operator=(const ParameterChangeQueue&) = delete;

  // Any thread, real-time safe, lock-free. Indexes outside 0 to 53 are ignored.
  void push(std::int32_t index) noexcept {
    if (!isParameterIndex(index)) return;
    std::uint32_t position = enqueuePosition.load(std::memory_order_relaxed);
    for (;;) {
      Cell& cell = cells[position & (kCapacity - 1)];
      const std::uint32_t sequence = cell.sequence.load(std::memory_order_acquire);
      const auto lag = static_cast<std::int32_t>(sequence - position);
      if (lag == 0) {
        if (enqueuePosition.compare_exchange_weak(position, position + 1, std::memory_order_relaxed)) {
          cell.index = index;
          cell.sequence.store(position + 1, std::memory_order_release);
          pending.store(true, std::memory_order_release);
          return;
        }
      } else if (lag < 0) {
        // Full: mark it; the consumer takes the marks after the queue.
        overflowMarks[index].store(true, std::memory_order_release);
        pending.store(true, std::memory_order_release);
        return;
      } else {
        position = enqueuePosition.load(std::memory_order_relaxed);
      }
    }
  }

  // The consumer (the audio thread) only; real-time safe. Calls apply(index)
  // for every handed-over index in the order they came, then for the marked ones.
  template <typename Apply>
  void drain(Apply&& apply) noexcept {
    if (!pending.exchange(false, std::memory_order_acquire)) return;
    for (;;) {
      Cell& cell = cells[dequeuePosition & (kCapacity - 1)];
      if (cell.sequence.load(std::memory_order_acquire) != dequeuePosition + 1) break;
      const std::int32_t index = cell.index;
      cell.sequence.store(dequeuePosition + kCapacity, std::memory_order_release);
      ++dequeuePosition;
      apply(index);
    }
    for (std::int32_t index = 0; index < kParameterCount; ++index) {
      if (overflowMarks[index].exchange(false, std::memory_order_acquire)) apply(index);
    }
  }

 private:
  struct Cell {
    std::atomic<std::uint32_t> sequence;
    std::int32_t index = 0;
  };

  Cell cells[kCapacity];
  std::atomic<std::uint32_t> enqueuePosition{0};
  std::uint32_t dequeuePosition = 0;  // consumer only
  std::atomic<bool> pending{false};
  std::atomic<bool> overflowMarks[kParameterCount];
};

}  // namespace brume
