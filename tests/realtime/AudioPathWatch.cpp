#include "tests/realtime/AudioPathWatch.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cstddef>

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* pointer, std::size_t size);
extern "C" void* __libc_memalign(std::size_t alignment, std::size_t size);
extern "C" void __libc_free(void* pointer);

namespace {

std::atomic<bool> watching{false};
std::atomic<std::int64_t> allocations{0};
std::atomic<std::int64_t> frees{0};
std::atomic<std::int64_t> locks{0};

using MutexLock = int (*)(pthread_mutex_t*);

MutexLock realMutexLock() {
  static MutexLock real = reinterpret_cast<MutexLock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
  return real;
}

void countAllocation() {
  if (watching.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  countAllocation();
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  countAllocation();
  return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size) {
  countAllocation();
  return __libc_realloc(pointer, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  countAllocation();
  *result = __libc_memalign(alignment, size);
  return *result ? 0 : 12;
}

void free(void* pointer) {
  if (pointer && watching.load(std::memory_order_relaxed)) frees.fetch_add(1, std::memory_order_relaxed);
  __libc_free(pointer);
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
  if (watching.load(std::memory_order_relaxed)) locks.fetch_add(1, std::memory_order_relaxed);
  return realMutexLock()(mutex);
}

}  // extern "C"

namespace brume::test {

void startWatchingAudioPath() {
  realMutexLock();  // resolved before watching: dlsym itself may allocate
  allocations = 0;
  frees = 0;
  locks = 0;
  watching = true;
}

AudioPathCounts stopWatchingAudioPath() {
  watching = false;
  return AudioPathCounts{allocations.load(), frees.load(), locks.load()};
}

}  // namespace brume::test
