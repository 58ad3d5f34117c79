#pragma once
// Peak and RMS level of everything written, for the render's summary line.

#include <cstddef>
#include <cstdint>

namespace brume {

class LevelMeter {
 public:
  // Main thread.
  void add(const float* samples, std::size_t count);

  double peak() const { return peakLevel; }
  double rms() const;
  std::uint64_t sampleCount() const { return count; }

  // 20 log10(level); minus infinity for silence.
  static double toDecibels(double level);

 private:
  double peakLevel = 0.0;
  double sumOfSquares = 0.0;
  std::uint64_t count = 0;
};

}  // namespace brume
