// audio_compare A B TOLERANCE: exits 0 when the two audio files have the same
// layout and no sample differs by more than TOLERANCE; otherwise names the
// first difference and exits 1.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "tools/brume7-host/audio/AudioFile.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: audio_compare A B TOLERANCE\n");
    return 2;
  }
  try {
    const brume::AudioData a = brume::readAudioFile(argv[1]);
    const brume::AudioData b = brume::readAudioFile(argv[2]);
    const double tolerance = std::atof(argv[3]);
    if (a.channels != b.channels || a.sampleRate != b.sampleRate || a.samples.size() != b.samples.size()) {
      std::fprintf(stderr, "layouts differ: %d ch %d Hz %zu samples vs %d ch %d Hz %zu samples\n", a.channels,
                   a.sampleRate, a.samples.size(), b.channels, b.sampleRate, b.samples.size());
      return 1;
    }
    double largest = 0.0;
    double peak = 0.0;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
      const double difference = std::fabs(static_cast<double>(a.samples[i]) - b.samples[i]);
      peak = std::fmax(peak, std::fabs(a.samples[i]));
      if (!(difference <= tolerance)) {
        std::fprintf(stderr, "first difference at frame %zu, channel %zu: %.9g vs %.9g\n", i / a.channels,
                     i % a.channels, a.samples[i], b.samples[i]);
        return 1;
      }
      largest = std::fmax(largest, difference);
    }
    if (peak < 0.01) {
      std::fprintf(stderr, "both files are silent\n");
      return 1;
    }
    std::printf("%zu samples (peak %.3f), largest difference %.3g\n", a.samples.size(), peak, largest);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "audio_compare: %s\n", error.what());
    return 1;
  }
}
