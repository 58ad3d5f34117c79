// Feeds any bytes, as a file, to the audio-file reading behind `render --input`:
// the platform's reader (libsndfile on Linux) and the tool's own WAV reader
// that the Windows build uses. Either reads the file or refuses it with a
// ToolError; what it reads must be whole frames at a usable rate.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/audio/WavFile.h"

namespace {

std::string scratchPath;

void checkAudio(const brume::AudioData& audio) {
  if (audio.channels < 1 || audio.sampleRate < 1) std::abort();
  if (audio.samples.size() % static_cast<std::size_t>(audio.channels) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* folder = std::getenv("TMPDIR");
  scratchPath = std::string(folder ? folder : "/tmp") + "/brume7-audio-fuzz-" + std::to_string(getpid()) + ".wav";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::FILE* file = std::fopen(scratchPath.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (std::fwrite(bytes, 1, size, file) != size) std::abort();
  std::fclose(file);
  for (auto reader : {&brume::readAudioFile, &brume::readWavFile}) {
    try {
      checkAudio(reader(scratchPath));
    } catch (const brume::ToolError&) {
    }
  }
  std::remove(scratchPath.c_str());
  return 0;
}
