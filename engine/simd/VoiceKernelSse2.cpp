// The voice kernel built for SSE2 (the build gives this file its flags).
#define BRUME_KERNEL_ISA sse2
#define BRUME_KERNEL_WIDTH 4
#define BRUME_KERNEL_PATH KernelPath::Sse2
#define BRUME_KERNEL_NAME "sse2"
#include "engine/simd/VoiceKernelBody.inc"
