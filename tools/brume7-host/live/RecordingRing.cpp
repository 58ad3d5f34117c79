#include "tools/brume7-host/live/RecordingRing.h"

#include <algorithm>

namespace brume {

RecordingRing::RecordingRing(int channels, std::size_t frames)
    : channelCount(std::max(1, channels)),
      capacityFrames(std::max<std::size_t>(1, frames)),
      samples(capacityFrames * static_cast<std::size_t>(channelCount), 0.0f) {}

bool RecordingRing::write(const float* const* buffers, std::size_t frames) noexcept {
  const std::uint64_t head = written.load(std::memory_order_relaxed);
  const std::uint64_t tail = taken.load(std::memory_order_acquire);
  if (capacityFrames - static_cast<std::size_t>(head - tail) < frames) {
    lost.fetch_add(frames, std::memory_order_relaxed);
    return false;
  }
  const auto channels = static_cast<std::size_t>(channelCount);
  std::size_t slot = static_cast<std::size_t>(head % capacityFrames);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    float* out = &samples[slot * channels];
    for (std::size_t channel = 0; channel < channels; ++channel) out[channel] = buffers[channel][frame];
    if (++slot == capacityFrames) slot = 0;
  }
  written.store(head + frames, std::memory_order_release);
  return true;
}

std::size_t RecordingRing::read(float* interleaved, std::size_t maxFrames) noexcept {
  const std::uint64_t tail = taken.load(std::memory_order_relaxed);
  const std::uint64_t head = written.load(std::memory_order_acquire);
  const std::size_t frames = std::min(maxFrames, static_cast<std::size_t>(head - tail));
  const auto channels = static_cast<std::size_t>(channelCount);
  std::size_t slot = static_cast<std::size_t>(tail % capacityFrames);
  for (std::size_t frame = 0; frame < frames; ++frame) {
    std::copy_n(&samples[slot * channels], channels, interleaved + frame * channels);
    if (++slot == capacityFrames) slot = 0;
  }
  taken.store(tail + frames, std::memory_order_release);
  return frames;
}

}  // namespace brume
