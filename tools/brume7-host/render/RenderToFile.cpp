#include "tools/brume7-host/render/RenderToFile.h"

#include <cmath>
#include <cstdio>

#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/audio/LevelMeter.h"
#include "tools/brume7-host/audio/PendingFile.h"
#include "tools/brume7-host/render/ProgressBar.h"
#include "tools/brume7-host/render/RenderSession.h"
#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/audio/WavFile.h"

namespace brume {
namespace {

// Errors about the temporary file are reported under the name the user gave.
ToolError renamed(const ToolError& error, const PendingFile& file) {
  std::string message = error.what();
  const std::string& temporary = file.temporaryPath();
  if (temporary.empty()) return error;
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

RenderSummary renderToFile(const RenderOptions& options, const RenderAnnouncement& announce) {
  RenderSession session(options);

  RenderSummary summary;
  summary.outputPath = options.resolvedOutputPath();
  summary.sampleRate = session.sampleRate();
  summary.channels = session.channels();
  summary.format = options.resolvedFormat();
  summary.container = containerForPath(summary.outputPath);

  const std::int64_t frames = session.totalFrames();
  const double seconds = static_cast<double>(frames) / summary.sampleRate;
  // A MIDI file can ask for days of audio with one delta time: nothing is written for such a render.
  // A length given with --length is the user's own request and stands.
  if (!options.lengthSeconds && seconds > options.maxLengthSeconds) {
    throw ToolError(tooLongMessage(seconds, options.maxLengthSeconds));
  }

  PendingFile file(summary.outputPath);
  AudioFileLayout layout;
  layout.channels = summary.channels;
  layout.sampleRate = static_cast<int>(std::lround(summary.sampleRate));
  layout.format = summary.format;
  layout.container = summary.container;

  const bool wav = layout.container == AudioContainer::Wav;
  const std::uint64_t bytes = wav ? WavWriter::fileBytes(layout, frames) : 0;
  // Room for the chunks libsndfile adds to the header (PEAK for float data).
  constexpr std::uint64_t kHeaderSlack = 4096;
  if (wav && bytes + kHeaderSlack > WavWriter::kMaximumFileBytes) {
    // The 32-bit sizes of a WAV header would wrap: RF64 where the library writes it, else a refusal.
    if (file.isStream() || !rf64Supported()) {
      char size[32];
      std::snprintf(size, sizeof size, "%.2f", static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0));
      throw ToolError("cannot write '" + summary.outputPath + "': the render needs " + size + " GiB, more than a WAV " +
                      (file.isStream() ? "stream" : "file") +
                      " holds (4 GiB); render less (--length) or choose --format pcm16");
    }
    layout.rf64 = true;
  }

  try {
    std::unique_ptr<AudioFileWriter> writer =
        file.isStream() ? openAudioStreamWriter(file.writePath(), file.standardOutput(), layout, frames)
                        : openAudioFileWriter(file.writePath(), layout);
    if (announce) announce(formatPlan(summary.outputPath, seconds, bytes));
    LevelMeter meter;
    ProgressBar progress(options.progress && ProgressBar::stderrIsTerminal(), summary.sampleRate);
    summary.renderSeconds = session.run(
        [&](const float* interleaved, std::size_t count) {
          meter.add(interleaved, count * static_cast<std::size_t>(summary.channels));
          writer->write(interleaved, count);
          summary.frames += static_cast<std::int64_t>(count);
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

std::string formatPlan(const std::string& outputPath, double seconds, std::uint64_t bytes) {
  char text[512];
  if (bytes > 0) {
    std::snprintf(text, sizeof text, "%s: rendering %.2f s (%.2f MB)", outputPath.c_str(), seconds,
                  static_cast<double>(bytes) / 1e6);
  } else {
    std::snprintf(text, sizeof text, "%s: rendering %.2f s", outputPath.c_str(), seconds);
  }
  return text;
}

std::string tooLongMessage(double seconds, double maximumSeconds) {
  char text[256];
  std::snprintf(text, sizeof text,
                "the render would last %.2f s (%.1f hours), longer than the maximum of %.0f s; "
                "raise it with --max-length SECONDS",
                seconds, seconds / 3600.0, maximumSeconds);
  return text;
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
