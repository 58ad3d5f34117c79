#pragma once
// A render written to an audio file, with its summary.

#include <cstdint>
#include <functional>
#include <string>

#include "tools/brume7-host/render/RenderOptions.h"

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

// Before anything is written, the render's plan: its length and size.
using RenderAnnouncement = std::function<void(const std::string& line)>;

// Renders and writes the file under a temporary name, renamed at the end; on
// any failure nothing is left at the output name (an older file stays as it
// was). A device, FIFO, socket or "-" (standard output) is written as a
// stream. Refuses, before rendering, a render longer than the options'
// maximum and a WAV that cannot hold it (past 4 GiB, which regular files on
// Linux take as RF64). Throws ToolError. Main thread.
RenderSummary renderToFile(const RenderOptions& options, const RenderAnnouncement& announce = RenderAnnouncement());

// "demo.wav: rendering 14.00 s (4.94 MB)"
std::string formatPlan(const std::string& outputPath, double seconds, std::uint64_t bytes);
// The one-line refusal of a render longer than `maximumSeconds`, naming --max-length.
std::string tooLongMessage(double seconds, double maximumSeconds);

// "demo.wav: 14.00 s, 2 ch, 44100 Hz, float WAV; peak -3.10 dBFS, RMS -18.22 dBFS; 95.3x realtime"
std::string formatSummary(const RenderSummary& summary);

}  // namespace brume
