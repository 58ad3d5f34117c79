#pragma once
// A number that tells the calling thread apart from every other living thread,
// without allocating: the instrument uses it to know whether a parameter change
// comes from the thread that renders.

#include <cstdint>

namespace brume {

// Any thread, real-time safe. Never 0.
std::uintptr_t currentThreadToken() noexcept;

}  // namespace brume
