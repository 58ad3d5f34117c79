#pragma once
// Reading and writing audio files, whatever library does it on this platform:
// libsndfile on Linux, the tool's own WAV code on Windows.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "tools/brume7-host/render/BlockRenderer.h"

namespace brume {

enum class SampleFormat { Float32, Pcm16, Pcm24 };
enum class AudioContainer { Wav, Flac };

struct AudioFileLayout {
  int channels = 2;
  int sampleRate = 44100;
  SampleFormat format = SampleFormat::Float32;
  AudioContainer container = AudioContainer::Wav;
  bool rf64 = false;  // a WAV past 4 GiB, written as RF64 (libsndfile builds only)
};

// Streams interleaved float frames into a file. Main thread.
class AudioFileWriter {
 public:
  virtual ~AudioFileWriter() = default;
  // Samples beyond -1..1 are clipped for the integer formats. Throws ToolError on a write failure.
  virtual void write(const float* interleaved, std::size_t frames) = 0;
  // Completes the header and closes the file. Throws ToolError on failure.
  virtual void finish() = 0;
};

// The container an output name asks for: FLAC for a name ending in ".flac" (any case), else WAV.
AudioContainer containerForPath(const std::string& path);
// "float", "pcm16" or "pcm24"; throws UsageError otherwise.
SampleFormat parseSampleFormat(const std::string& text);
const char* sampleFormatName(SampleFormat format);
// Whether this build can write FLAC.
bool flacSupported();

// Opens a writer with the platform's audio library. Throws ToolError.
std::unique_ptr<AudioFileWriter> openAudioFileWriter(const std::string& path, const AudioFileLayout& layout);
// A WAV writer for a stream that may not seek (a device, a FIFO; `stream`, if
// given, instead of opening `path`), announcing exactly `frames` frames. Throws ToolError.
std::unique_ptr<AudioFileWriter> openAudioStreamWriter(const std::string& path, std::FILE* stream,
                                                       const AudioFileLayout& layout, std::int64_t frames);
// Whether this build writes WAV files past 4 GiB (as RF64).
bool rf64Supported();
// Reads a whole file with the platform's audio library as float. Throws ToolError.
AudioData readAudioFile(const std::string& path);

}  // namespace brume
