#pragma once
// A set of 54 parameter values shared between threads. Each value is a plain
// 32-bit float; relaxed atomics make the unsynchronised sharing well defined
// and compile to ordinary loads and stores on x86.

#include <atomic>

#include "engine/ParameterIndex.h"

namespace brume {

class ParameterValues {
 public:
  ParameterValues() {
    for (auto& value : values) value.store(0.0f, std::memory_order_relaxed);
  }
  ParameterValues(const ParameterValues& other) { copyFrom(other); }
  ParameterValues& operator=(const ParameterValues& other) {
    copyFrom(other);
    return *this;
  }

  // Any thread, real-time safe. Indexes outside 0 to 53 read 0.
  float get(std::int32_t index) const {
    return isParameterIndex(index) ? values[index].load(std::memory_order_relaxed) : 0.0f;
  }
  // Any thread, real-time safe. Indexes outside 0 to 53 are ignored.
  void set(std::int32_t index, float value) {
    if (isParameterIndex(index)) values[index].store(value, std::memory_order_relaxed);
  }
  float operator[](std::int32_t index) const { return get(index); }

  void copyFrom(const ParameterValues& other) {
    for (std::int32_t i = 0; i < kParameterCount; ++i) set(i, other.get(i));
  }

 private:
  std::atomic<float> values[kParameterCount];
};

}  // namespace brume
