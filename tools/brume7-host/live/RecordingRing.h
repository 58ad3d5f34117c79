#pragma once
// A single-producer single-consumer ring of interleaved audio frames: the
// audio thread writes what it played without waiting, a writer thread reads.
// Frames that find the ring full are counted as lost, never waited for.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace brume {

class RecordingRing {
 public:
  // Room for at least `frames` frames of `channels` samples. Main thread.
  RecordingRing(int channels, std::size_t frames);

  RecordingRing(const RecordingRing&) = delete;
  RecordingRing& operator=(const RecordingRing&) = delete;

  int channels() const { return channelCount; }

  // Audio thread, real-time safe: interleaves `frames` frames of the
  // `channels()` buffers into the ring; all or nothing. False when full.
  bool write(const float* const* buffers, std::size_t frames) noexcept;
  // Writer thread: copies up to `maxFrames` frames into `interleaved`; answers the frames copied.
  std::size_t read(float* interleaved, std::size_t maxFrames) noexcept;

  // Any thread.
  std::uint64_t lostFrames() const noexcept { return lost.load(std::memory_order_relaxed); }

 private:
  int channelCount;
  std::size_t capacityFrames;
  std::vector<float> samples;
  // Frame counts since the start; their difference is the fill.
  std::atomic<std::uint64_t> written{0};
  std::atomic<std::uint64_t> taken{0};
  std::atomic<std::uint64_t> lost{0};
};

}  // namespace brume
