#pragma once
// Flush-to-zero and denormals-are-zero for the duration of one block, then the
// caller's floating-point mode again: tiny values decaying in the filter and the
// envelopes would otherwise slow the sample loop down by orders of magnitude.

#if defined(__SSE__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 1)
#include <xmmintrin.h>
#define BRUME_HAS_MXCSR 1
#else
#define BRUME_HAS_MXCSR 0
#endif

namespace brume {

class ScopedFlushDenormals {
 public:
#if BRUME_HAS_MXCSR
  // Audio thread, real-time safe.
  ScopedFlushDenormals() noexcept : savedMode(_mm_getcsr()) {
    _mm_setcsr(savedMode | kFlushToZero | kDenormalsAreZero);
  }
  ~ScopedFlushDenormals() { _mm_setcsr(savedMode); }
#else
  ScopedFlushDenormals() noexcept = default;
  ~ScopedFlushDenormals() = default;
#endif

  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

 private:
#if BRUME_HAS_MXCSR
  static constexpr unsigned int kFlushToZero = 0x8000;
  static constexpr unsigned int kDenormalsAreZero = 0x0040;
  unsigned int savedMode;
#endif
};

}  // namespace brume
