#include "tools/brume7-host/audio/LevelMeter.h"

#include <cmath>
#include <limits>

namespace brume {

void LevelMeter::add(const float* samples, std::size_t sampleCount) {
  for (std::size_t i = 0; i < sampleCount; ++i) {
    const double value = samples[i];
    peakLevel = std::fmax(peakLevel, std::fabs(value));
    sumOfSquares += value * value;
  }
  count += sampleCount;
}

double LevelMeter::rms() const { return count == 0 ? 0.0 : std::sqrt(sumOfSquares / static_cast<double>(count)); }

double LevelMeter::toDecibels(double level) {
  return level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

}  // namespace brume
