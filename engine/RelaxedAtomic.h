#pragma once
// A value written on one thread and read on another with no ordering between
// them. Relaxed atomics make that sharing well defined and compile to plain
// loads and stores on x86, so they cost nothing on the audio path.

#include <atomic>

namespace brume {

template <typename T>
class RelaxedAtomic {
 public:
  static_assert(std::atomic<T>::is_always_lock_free, "shared engine values must be lock-free");

  constexpr RelaxedAtomic(T initial = T{}) noexcept : value(initial) {}
  RelaxedAtomic(const RelaxedAtomic&) = delete;
  RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

  // Any thread, real-time safe.
  T load() const noexcept { return value.load(std::memory_order_relaxed); }
  // Any thread, real-time safe.
  void store(T newValue) noexcept { value.store(newValue, std::memory_order_relaxed); }

 private:
  std::atomic<T> value;
};

}  // namespace brume
