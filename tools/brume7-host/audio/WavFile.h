#pragma once
// The tool's own WAV reader and writer: 32-bit float and 16/24-bit PCM. The
// Windows build has no libsndfile and uses these; Linux tests check them
// against libsndfile.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/brume7-host/audio/AudioFile.h"

namespace brume {

// Integer samples are scaled as libsndfile scales them with clipping on, so
// that a PCM render is the same on Windows and Linux.
class WavWriter : public AudioFileWriter {
 public:
  // Creates the file and writes a provisional header, completed by finish(). Throws ToolError. Main thread.
  WavWriter(const std::string& path, const AudioFileLayout& layout);
  // Writes to a stream that may not seek (a device, a FIFO, standard output):
  // the header comes first with the sizes of exactly `frames` frames, which
  // must follow. `stream` null: opens `path`. Closes only what it opened.
  WavWriter(const std::string& path, std::FILE* stream, const AudioFileLayout& layout, std::int64_t frames);
  ~WavWriter() override;

  void write(const float* interleaved, std::size_t frames) override;
  void finish() override;

  // The bytes of a WAV file of `frames` frames: header, data and padding.
  static std::uint64_t fileBytes(const AudioFileLayout& layout, std::int64_t frames);
  // The largest file the 32-bit sizes of a WAV header describe.
  static constexpr std::uint64_t kMaximumFileBytes = 0xFFFFFFFFull;

 private:
  void open(std::FILE* stream);
  void writeHeader(std::uint32_t dataBytes);
  void writeBytes(const void* bytes, std::size_t count);

  std::string filePath;
  AudioFileLayout fileLayout;
  std::FILE* file = nullptr;
  bool ownsFile = true;
  std::int64_t streamFrames = -1;  // a stream's announced length; -1 for a file completed at the end
  std::uint64_t dataBytesWritten = 0;
  std::vector<unsigned char> scratch;
};

// A sample as a `bits`-bit integer (16 or 24), the way libsndfile converts with clipping on.
std::int32_t pcmSample(float sample, int bits);

// Reads a WAV file (PCM 8/16/24/32 bits, float 32/64 bits, plain or extensible header) as float. Throws ToolError.
AudioData readWavFile(const std::string& path);

}  // namespace brume
