#pragma once
// The tool's own WAV reader and writer: 32-bit float and 16/24-bit PCM. The
// Windows build has no libsndfile and uses these; Linux tests check them
// against libsndfile.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/brume7-host/AudioFile.h"

namespace brume {

class WavWriter : public AudioFileWriter {
 public:
  // Creates the file and writes a provisional header. Throws ToolError. Main thread.
  WavWriter(const std::string& path, const AudioFileLayout& layout);
  ~WavWriter() override;

  void write(const float* interleaved, std::size_t frames) override;
  void finish() override;

 private:
  void writeHeader(std::uint32_t dataBytes);
  void writeBytes(const void* bytes, std::size_t count);

  std::string filePath;
  AudioFileLayout fileLayout;
  std::FILE* file = nullptr;
  std::uint64_t dataBytesWritten = 0;
  std::vector<unsigned char> scratch;
};

// Reads a WAV file (PCM 8/16/24/32 bits, float 32/64 bits, plain or extensible header) as float. Throws ToolError.
AudioData readWavFile(const std::string& path);

}  // namespace brume
