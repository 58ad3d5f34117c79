// The voice kernel built for AVX512 (the build gives this file its flags).
#define BRUME_KERNEL_ISA avx512
#define BRUME_KERNEL_WIDTH 16
#define BRUME_KERNEL_PATH KernelPath::Avx512
#define BRUME_KERNEL_NAME "avx512"
#include "engine/simd/VoiceKernelBody.inc"
