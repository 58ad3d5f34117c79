#pragma once
// Counts heap allocations and mutex locks made by any code in the process
// while watching is on. The program interposes malloc and friends and
// pthread_mutex_lock, so calls from shared libraries (a loaded plug-in) count too.

#include <cstdint>

namespace brume::test {

struct AudioPathCounts {
  std::int64_t allocations = 0;
  std::int64_t frees = 0;
  std::int64_t locks = 0;
};

void startWatchingAudioPath();
AudioPathCounts stopWatchingAudioPath();

}  // namespace brume::test
