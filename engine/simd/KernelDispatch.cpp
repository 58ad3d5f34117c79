// Which kernels this build has and which of them the processor can run.
#include "engine/simd/VoiceKernel.h"

#include <initializer_list>

namespace brume {
namespace simd {
namespace sse2 {
extern const VoiceKernel kKernel;
}
#if BRUME_HAS_WIDE_KERNELS
namespace avx2 {
extern const VoiceKernel kKernel;
}
namespace avx512 {
extern const VoiceKernel kKernel;
}
#endif
}  // namespace simd

bool kernelPathSupported(KernelPath path) noexcept {
  switch (path) {
    case KernelPath::Sse2:
      return true;
#if BRUME_HAS_WIDE_KERNELS
    // libgcc's tests include the system's saving of the wide registers.
    case KernelPath::Avx2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case KernelPath::Avx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:
      return false;
  }
}

KernelPath bestKernelPath() noexcept {
  for (KernelPath path : {KernelPath::Avx512, KernelPath::Avx2}) {
    if (kernelPathSupported(path)) return path;
  }
  return KernelPath::Sse2;
}

const VoiceKernel& voiceKernel(KernelPath path) noexcept {
  if (!kernelPathSupported(path)) return simd::sse2::kKernel;
  switch (path) {
#if BRUME_HAS_WIDE_KERNELS
    case KernelPath::Avx2:
      return simd::avx2::kKernel;
    case KernelPath::Avx512:
      return simd::avx512::kKernel;
#endif
    default:
      return simd::sse2::kKernel;
  }
}

const char* kernelPathName(KernelPath path) noexcept {
  switch (path) {
    case KernelPath::Avx2:
      return "avx2";
    case KernelPath::Avx512:
      return "avx512";
    default:
      return "sse2";
  }
}

}  // namespace brume
