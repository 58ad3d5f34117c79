#pragma once
// The pseudo-random sequence of the classic C library rand(): the noise tables
// are part of the sound, so every build and every instance must draw the same
// numbers, whatever the platform's own rand() does.

#include <cstdint>

namespace brume {

class ClassicRandom {
 public:
  static constexpr std::int32_t kMaximum = 0x7FFF;

  // Any thread, real-time safe. The next value, 0 to kMaximum.
  std::int32_t next() noexcept {
    state = state * 214013u + 2531011u;  // wraps modulo 2^32
    return static_cast<std::int32_t>((state >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state = 1;
};

}  // namespace brume
