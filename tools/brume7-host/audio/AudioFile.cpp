#include "tools/brume7-host/audio/AudioFile.h"

#include <algorithm>
#include <cctype>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/audio/WavFile.h"

#ifdef BRUME_HOST_WITH_SNDFILE
#include "tools/brume7-host/audio/SndfileAudio.h"
#endif

namespace brume {

AudioContainer containerForPath(const std::string& path) {
  std::string lower = path;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  const std::string suffix = ".flac";
  const bool flac =
      lower.size() >= suffix.size() && lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
  return flac ? AudioContainer::Flac : AudioContainer::Wav;
}

SampleFormat parseSampleFormat(const std::string& text) {
  if (text == "float") return SampleFormat::Float32;
  if (text == "pcm16") return SampleFormat::Pcm16;
  if (text == "pcm24") return SampleFormat::Pcm24;
  throw UsageError("unknown sample format '" + text + "' (use float, pcm16 or pcm24)");
}

const char* sampleFormatName(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16:
      return "pcm16";
    case SampleFormat::Pcm24:
      return "pcm24";
    case SampleFormat::Float32:
      break;
  }
  return "float";
}

bool flacSupported() {
#ifdef BRUME_HOST_WITH_SNDFILE
  return true;
#else
  return false;
#endif
}

std::unique_ptr<AudioFileWriter> openAudioFileWriter(const std::string& path, const AudioFileLayout& layout) {
#ifdef BRUME_HOST_WITH_SNDFILE
  return openSndfileWriter(path, layout);
#else
  if (layout.container == AudioContainer::Flac) {
    throw ToolError("cannot write '" + path + "': FLAC output is not available in this build; write a .wav file");
  }
  return std::make_unique<WavWriter>(path, layout);
#endif
}

std::unique_ptr<AudioFileWriter> openAudioStreamWriter(const std::string& path, std::FILE* stream,
                                                       const AudioFileLayout& layout, std::int64_t frames) {
  if (layout.container == AudioContainer::Flac) {
    throw ToolError("cannot write '" + path + "': FLAC is written to regular files only; stream WAV instead");
  }
  return std::make_unique<WavWriter>(path, stream, layout, frames);
}

bool rf64Supported() { return flacSupported(); }

AudioData readAudioFile(const std::string& path) {
#ifdef BRUME_HOST_WITH_SNDFILE
  return readSndfile(path);
#else
  return readWavFile(path);
#endif
}

}  // namespace brume
