// The voice kernel built for AVX2 (the build gives this file its flags).
#define BRUME_KERNEL_ISA avx2
#define BRUME_KERNEL_WIDTH 8
#define BRUME_KERNEL_PATH KernelPath::Avx2
#define BRUME_KERNEL_NAME "avx2"
#include "engine/simd/VoiceKernelBody.inc"
