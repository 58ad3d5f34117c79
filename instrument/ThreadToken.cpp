#include "instrument/ThreadToken.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace brume {

std::uintptr_t currentThreadToken() noexcept {
#ifdef _WIN32
  // Thread ids are never 0; winpthreads' pthread_self would allocate on a host's thread.
  return static_cast<std::uintptr_t>(GetCurrentThreadId());
#else
  return reinterpret_cast<std::uintptr_t>(reinterpret_cast<void*>(pthread_self())) | 1u;
#endif
}

}  // namespace brume
