#include "tools/brume7-host/audio/SndfileAudio.h"

#include <sndfile.h>

#include <algorithm>

#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

int sndfileFormat(const AudioFileLayout& layout) {
  const int container = layout.container == AudioContainer::Flac ? SF_FORMAT_FLAC
                        : layout.rf64                            ? SF_FORMAT_RF64
                                                                 : SF_FORMAT_WAV;
  switch (layout.format) {
    case SampleFormat::Pcm16:
      return container | SF_FORMAT_PCM_16;
    case SampleFormat::Pcm24:
      return container | SF_FORMAT_PCM_24;
    case SampleFormat::Float32:
      break;
  }
  return container | SF_FORMAT_FLOAT;
}

class SndfileWriter : public AudioFileWriter {
 public:
  SndfileWriter(const std::string& path, const AudioFileLayout& layout) : filePath(path) {
    if (layout.container == AudioContainer::Flac && layout.format == SampleFormat::Float32) {
      throw ToolError("cannot write '" + path + "': FLAC holds integer samples only; use --format pcm16 or pcm24");
    }
    SF_INFO info{};
    info.channels = layout.channels;
    info.samplerate = layout.sampleRate;
    info.format = sndfileFormat(layout);
    if (sf_format_check(&info) == 0) throw ToolError("cannot write '" + path + "': unsupported audio format");
    file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw ToolError("cannot write '" + path + "': " + sf_strerror(nullptr));
    // Without clipping, libsndfile wraps samples beyond full scale around in integer formats.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  }

  ~SndfileWriter() override {
    if (file != nullptr) sf_close(file);
  }

  void write(const float* interleaved, std::size_t frames) override {
    if (file == nullptr) throw ToolError("cannot write '" + filePath + "': the file is already finished");
    if (sf_writef_float(file, interleaved, static_cast<sf_count_t>(frames)) != static_cast<sf_count_t>(frames)) {
      throw ToolError("cannot write '" + filePath + "': " + sf_strerror(file));
    }
  }

  void finish() override {
    if (file == nullptr) return;
    SNDFILE* closing = file;
    file = nullptr;
    if (sf_close(closing) != 0) throw ToolError("cannot write '" + filePath + "': closing failed");
  }

 private:
  std::string filePath;
  SNDFILE* file = nullptr;
};

}  // namespace

std::unique_ptr<AudioFileWriter> openSndfileWriter(const std::string& path, const AudioFileLayout& layout) {
  return std::make_unique<SndfileWriter>(path, layout);
}

AudioData readSndfile(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) throw ToolError("cannot read audio file '" + path + "': " + sf_strerror(nullptr));
  if (info.channels < 1 || info.samplerate < 1) {
    sf_close(file);
    throw ToolError("cannot read audio file '" + path + "': bad channel count or sample rate");
  }
  AudioData audio;
  audio.channels = info.channels;
  audio.sampleRate = info.samplerate;
  // A header's frame count is not trusted: read in pieces until the data ends.
  constexpr sf_count_t kPieceFrames = 65536;
  const auto channels = static_cast<std::size_t>(info.channels);
  for (;;) {
    const std::size_t done = audio.samples.size();
    audio.samples.resize(done + static_cast<std::size_t>(kPieceFrames) * channels);
    const sf_count_t read = sf_readf_float(file, audio.samples.data() + done, kPieceFrames);
    audio.samples.resize(done + static_cast<std::size_t>(std::max<sf_count_t>(read, 0)) * channels);
    if (read < kPieceFrames) break;
  }
  sf_close(file);
  return audio;
}

}  // namespace brume
