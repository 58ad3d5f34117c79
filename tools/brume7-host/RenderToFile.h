#pragma once
// A render written to an audio file, with its summary.

#include <cstdint>
#include <string>

#include "tools/brume7-host/RenderOptions.h"

namespace brume {

struct RenderSummary {
  std::string outputPath;
  std::int64_t frames = 0;
  double sampleRate = 0.0;
  int channels = 0;
  SampleFormat format = SampleFormat::Float32;
  AudioContainer container = AudioContainer::Wav;
  double peak = 0.0;           // linear, of the samples before conversion
  double rms = 0.0;            // linear, over all channels
  double renderSeconds = 0.0;  // wall-clock time of the render loop

  double lengthSeconds() const { return sampleRate > 0.0 ? static_cast<double>(frames) / sampleRate : 0.0; }
  double timesRealtime() const { return renderSeconds > 0.0 ? lengthSeconds() / renderSeconds : 0.0; }
};

// Renders and writes the file under a temporary name, renamed at the end; on
// any failure nothing is left at the output name (an older file stays as it
// was). Throws ToolError. Main thread.
RenderSummary renderToFile(const RenderOptions& options);

// "demo.wav: 14.00 s, 2 ch, 44100 Hz, float WAV; peak -3.10 dBFS, RMS -18.22 dBFS; 95.3x realtime"
std::string formatSummary(const RenderSummary& summary);

}  // namespace brume
