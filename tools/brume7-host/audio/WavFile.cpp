#include "tools/brume7-host/audio/WavFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

int bytesPerSample(SampleFormat format) {
  switch (format) {
    case SampleFormat::Pcm16:
      return 2;
    case SampleFormat::Pcm24:
      return 3;
    case SampleFormat::Float32:
      break;
  }
  return 4;
}

void putLittle16(unsigned char* p, std::uint32_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
}

void putLittle32(unsigned char* p, std::uint32_t value) {
  putLittle16(p, value);
  putLittle16(p + 2, value >> 16);
}

std::uint32_t little16(const unsigned char* p) { return p[0] | (std::uint32_t{p[1]} << 8); }
std::uint32_t little32(const unsigned char* p) { return little16(p) | (little16(p + 2) << 16); }

std::uint32_t headerBytes(SampleFormat format) { return format == SampleFormat::Float32 ? 58 : 44; }

std::uint64_t dataBytesFor(const AudioFileLayout& layout, std::int64_t frames) {
  return static_cast<std::uint64_t>(std::max<std::int64_t>(frames, 0)) * static_cast<std::uint64_t>(layout.channels) *
         static_cast<std::uint64_t>(bytesPerSample(layout.format));
}

}  // namespace

std::int32_t pcmSample(float sample, int bits) {
  // Full scale is 2^31 before the shift, in single precision: 1.0 clips to the largest value, -1.0 is the smallest.
  const float scaled = sample * 2147483648.0f;
  std::int32_t value = std::numeric_limits<std::int32_t>::min();  // also what x86 makes of NaN
  if (scaled >= 2147483647.0f)
    value = std::numeric_limits<std::int32_t>::max();
  else if (scaled > -2147483648.0f)
    value = static_cast<std::int32_t>(std::lrintf(scaled));
  return value >> (32 - bits);
}

WavWriter::WavWriter(const std::string& path, const AudioFileLayout& layout) : filePath(path), fileLayout(layout) {
  open(nullptr);
}

WavWriter::WavWriter(const std::string& path, std::FILE* stream, const AudioFileLayout& layout, std::int64_t frames)
    : filePath(path), fileLayout(layout), streamFrames(std::max<std::int64_t>(frames, 0)) {
  open(stream);
}

void WavWriter::open(std::FILE* stream) {
  if (fileLayout.channels < 1 || fileLayout.sampleRate < 1) {
    throw ToolError("cannot write '" + filePath + "': bad audio layout");
  }
  if (fileLayout.container != AudioContainer::Wav) {
    throw ToolError("cannot write '" + filePath + "': only WAV is supported");
  }
  if (streamFrames >= 0 && fileBytes(fileLayout, streamFrames) > kMaximumFileBytes) {
    throw ToolError("cannot write '" + filePath + "': a WAV file holds at most 4 GiB");
  }
  ownsFile = stream == nullptr;
  file = stream != nullptr ? stream : std::fopen(filePath.c_str(), "wb");
  if (file == nullptr) throw ToolError("cannot write '" + filePath + "': " + std::strerror(errno));
  writeHeader(streamFrames >= 0 ? static_cast<std::uint32_t>(dataBytesFor(fileLayout, streamFrames)) : 0);
}

WavWriter::~WavWriter() {
  if (file != nullptr && ownsFile) std::fclose(file);
}

std::uint64_t WavWriter::fileBytes(const AudioFileLayout& layout, std::int64_t frames) {
  const std::uint64_t data = dataBytesFor(layout, frames);
  return headerBytes(layout.format) + data + (data & 1u);
}

void WavWriter::writeBytes(const void* bytes, std::size_t count) {
  if (std::fwrite(bytes, 1, count, file) != count) {
    throw ToolError("cannot write '" + filePath + "': " + std::strerror(errno));
  }
}

void WavWriter::writeHeader(std::uint32_t dataBytes) {
  const bool isFloat = fileLayout.format == SampleFormat::Float32;
  const auto sampleBytes = static_cast<std::uint32_t>(bytesPerSample(fileLayout.format));
  const std::uint32_t blockAlign = sampleBytes * static_cast<std::uint32_t>(fileLayout.channels);
  // Float data carries the extended format record (size 18) and a frame count ("fact").
  const std::uint32_t formatBytes = isFloat ? 18 : 16;
  const std::uint32_t factBytes = isFloat ? 12 : 0;
  unsigned char header[64] = {};
  std::size_t size = 0;
  std::memcpy(header, "RIFF", 4);
  putLittle32(header + 4, 4 + (8 + formatBytes) + factBytes + 8 + dataBytes + (dataBytes & 1u));
  std::memcpy(header + 8, "WAVE", 4);
  std::memcpy(header + 12, "fmt ", 4);
  putLittle32(header + 16, formatBytes);
  putLittle16(header + 20, isFloat ? kFormatFloat : kFormatPcm);
  putLittle16(header + 22, static_cast<std::uint32_t>(fileLayout.channels));
  putLittle32(header + 24, static_cast<std::uint32_t>(fileLayout.sampleRate));
  putLittle32(header + 28, static_cast<std::uint32_t>(fileLayout.sampleRate) * blockAlign);
  putLittle16(header + 32, blockAlign);
  putLittle16(header + 34, sampleBytes * 8);
  size = 36;
  if (isFloat) {
    putLittle16(header + size, 0);
    size += 2;
    std::memcpy(header + size, "fact", 4);
    putLittle32(header + size + 4, 4);
    putLittle32(header + size + 8, dataBytes / blockAlign);
    size += 12;
  }
  std::memcpy(header + size, "data", 4);
  putLittle32(header + size + 4, dataBytes);
  size += 8;
  writeBytes(header, size);
}

void WavWriter::write(const float* interleaved, std::size_t frames) {
  if (file == nullptr) throw ToolError("cannot write '" + filePath + "': the file is already finished");
  const std::size_t samples = frames * static_cast<std::size_t>(fileLayout.channels);
  const auto sampleBytes = static_cast<std::size_t>(bytesPerSample(fileLayout.format));
  if (dataBytesWritten + samples * sampleBytes > std::numeric_limits<std::uint32_t>::max() - 256) {
    throw ToolError("cannot write '" + filePath + "': a WAV file holds at most 4 GiB");
  }
  scratch.resize(samples * sampleBytes);
  unsigned char* out = scratch.data();
  for (std::size_t i = 0; i < samples; ++i, out += sampleBytes) {
    switch (fileLayout.format) {
      case SampleFormat::Float32: {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &interleaved[i], 4);
        putLittle32(out, bits);
        break;
      }
      case SampleFormat::Pcm16:
        putLittle16(out, static_cast<std::uint32_t>(pcmSample(interleaved[i], 16)));
        break;
      case SampleFormat::Pcm24: {
        const auto value = static_cast<std::uint32_t>(pcmSample(interleaved[i], 24));
        putLittle16(out, value);
        out[2] = static_cast<unsigned char>(value >> 16);
        break;
      }
    }
  }
  writeBytes(scratch.data(), scratch.size());
  dataBytesWritten += scratch.size();
}

void WavWriter::finish() {
  if (file == nullptr) return;
  const auto dataBytes = static_cast<std::uint32_t>(dataBytesWritten);
  if (streamFrames >= 0 && dataBytesWritten != dataBytesFor(fileLayout, streamFrames)) {
    throw ToolError("cannot write '" + filePath + "': the stream got another length than its header announced");
  }
  if ((dataBytes & 1u) != 0) writeBytes("", 1);  // chunks are padded to an even length
  if (streamFrames < 0) {
    if (std::fseek(file, 0, SEEK_SET) != 0) {
      throw ToolError("cannot write '" + filePath + "': " + std::strerror(errno));
    }
    writeHeader(dataBytes);
  }
  std::FILE* closing = file;
  file = nullptr;
  const bool closed = ownsFile ? std::fclose(closing) == 0 : std::fflush(closing) == 0;
  if (!closed) throw ToolError("cannot write '" + filePath + "': " + std::strerror(errno));
}

AudioData readWavFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) throw ToolError("cannot read audio file '" + path + "': " + std::strerror(errno));
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  std::size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + count);
  std::fclose(file);
  auto fail = [&](const std::string& why) { return ToolError("cannot read audio file '" + path + "': " + why); };
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    throw fail("not a WAV file");
  }

  std::uint32_t format = 0;
  std::uint32_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint32_t bits = 0;
  const unsigned char* data = nullptr;
  std::size_t dataBytes = 0;
  std::size_t offset = 12;
  // The pad byte of a last chunk of odd length may be missing: offset can pass the end by one.
  while (offset <= bytes.size() && bytes.size() - offset >= 8) {
    const unsigned char* chunk = bytes.data() + offset;
    const std::size_t length = little32(chunk + 4);
    const std::size_t available = bytes.size() - offset - 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16 || length > available) throw fail("bad format chunk");
      format = little16(chunk + 8);
      channels = little16(chunk + 10);
      sampleRate = little32(chunk + 12);
      bits = little16(chunk + 22);
      if (format == kFormatExtensible) {
        if (length < 40) throw fail("bad extensible format chunk");
        format = little16(chunk + 32);  // the first two bytes of the sub-format identifier
      }
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      data = chunk + 8;
      // A writer that stopped early may leave a length past the end; take what is there.
      dataBytes = std::min(length, available);
      break;
    }
    if (length > available) break;
    offset += 8 + length + (length & 1u);
  }
  if (format == 0) throw fail("no format chunk");
  if (data == nullptr) throw fail("no data chunk");
  const bool supported = (format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                         (format == kFormatFloat && (bits == 32 || bits == 64));
  if (!supported)
    throw fail("unsupported sample format " + std::to_string(format) + "/" + std::to_string(bits) + " bits");
  // A rate past the int range would turn negative in AudioData.
  if (channels == 0 || sampleRate == 0 || sampleRate > 0x7FFFFFFFu) throw fail("bad channel count or sample rate");

  AudioData audio;
  audio.channels = static_cast<int>(channels);
  audio.sampleRate = static_cast<int>(sampleRate);
  const std::size_t sampleBytes = bits / 8;
  const std::size_t samples = dataBytes / (sampleBytes * channels) * channels;
  audio.samples.resize(samples);
  for (std::size_t i = 0; i < samples; ++i) {
    const unsigned char* p = data + i * sampleBytes;
    float value = 0.0f;
    if (format == kFormatFloat && bits == 32) {
      const std::uint32_t raw = little32(p);
      std::memcpy(&value, &raw, 4);
    } else if (format == kFormatFloat) {
      const std::uint64_t raw = little32(p) | (std::uint64_t{little32(p + 4)} << 32);
      double wide = 0.0;
      std::memcpy(&wide, &raw, 8);
      value = static_cast<float>(wide);
    } else if (bits == 8) {
      value = (static_cast<int>(p[0]) - 128) / 128.0f;
    } else if (bits == 16) {
      value = static_cast<std::int16_t>(little16(p)) / 32768.0f;
    } else if (bits == 24) {
      const std::int32_t raw = static_cast<std::int32_t>((std::uint32_t{p[0]} << 8) | (std::uint32_t{p[1]} << 16) |
                                                         (std::uint32_t{p[2]} << 24)) >>
                               8;
      value = static_cast<float>(raw / 8388608.0);
    } else {
      value = static_cast<float>(static_cast<std::int32_t>(little32(p)) / 2147483648.0);
    }
    audio.samples[i] = value;
  }
  return audio;
}

}  // namespace brume
