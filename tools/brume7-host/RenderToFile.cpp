#include "tools/brume7-host/RenderToFile.h"

#include <cmath>
#include <cstdio>

#include "tools/brume7-host/AudioFile.h"
#include "tools/brume7-host/LevelMeter.h"
#include "tools/brume7-host/PendingFile.h"
#include "tools/brume7-host/ProgressBar.h"
#include "tools/brume7-host/RenderSession.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

// Errors about the temporary file are reported under the name the user gave.
ToolError renamed(const ToolError& error, const PendingFile& file) {
  std::string message = error.what();
  const std::string& temporary = file.temporaryPath();
  for (auto at = message.find(temporary); at != std::string::npos; at = message.find(temporary)) {
    message.replace(at, temporary.size(), file.destinationPath());
  }
  return ToolError(message);
}

std::string decibelText(double level) {
  if (level <= 0.0) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dBFS", LevelMeter::toDecibels(level));
  return text;
}

}  // namespace

RenderSummary renderToFile(const RenderOptions& options) {
  RenderSession session(options);

  RenderSummary summary;
  summary.outputPath = options.resolvedOutputPath();
  summary.sampleRate = session.sampleRate();
  summary.channels = session.channels();
  summary.format = options.resolvedFormat();
  summary.container = containerForPath(summary.outputPath);

  PendingFile file(summary.outputPath);
  AudioFileLayout layout;
  layout.channels = summary.channels;
  layout.sampleRate = static_cast<int>(std::lround(summary.sampleRate));
  layout.format = summary.format;
  layout.container = summary.container;

  try {
    std::unique_ptr<AudioFileWriter> writer = openAudioFileWriter(file.temporaryPath(), layout);
    LevelMeter meter;
    ProgressBar progress(options.progress && ProgressBar::stderrIsTerminal(), summary.sampleRate);
    summary.renderSeconds = session.run(
        [&](const float* interleaved, std::size_t frames) {
          meter.add(interleaved, frames * static_cast<std::size_t>(summary.channels));
          writer->write(interleaved, frames);
          summary.frames += static_cast<std::int64_t>(frames);
        },
        [&](std::int64_t done, std::int64_t total) { progress.update(done, total); });
    progress.finish();
    writer->finish();
    summary.peak = meter.peak();
    summary.rms = meter.rms();
    file.commit();
  } catch (const ToolError& error) {
    throw renamed(error, file);
  }
  return summary;
}

std::string formatSummary(const RenderSummary& summary) {
  char text[512];
  std::snprintf(text, sizeof text, "%s: %.2f s, %d ch, %.0f Hz, %s %s; peak %s, RMS %s; %.1fx realtime",
                summary.outputPath.c_str(), summary.lengthSeconds(), summary.channels, summary.sampleRate,
                sampleFormatName(summary.format), summary.container == AudioContainer::Flac ? "FLAC" : "WAV",
                decibelText(summary.peak).c_str(), decibelText(summary.rms).c_str(), summary.timesRealtime());
  return text;
}

}  // namespace brume
