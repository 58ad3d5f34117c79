// The tool's own WAV writer and reader, and (on Linux) their agreement with libsndfile.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/tool/ExpectError.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/audio/WavFile.h"

namespace brume {
namespace {

// Three stereo frames with values that each format represents in a known way.
const std::vector<float> kFrames = {0.0f, 1.0f, -1.0f, 0.5f, 0.25f, -0.125f, 2.0f, -3.0f};

::testing::AssertionResult closeTo(const std::vector<float>& actual, const std::vector<float>& expected,
                                   float tolerance) {
  if (actual.size() != expected.size()) {
    return ::testing::AssertionFailure() << actual.size() << " samples, expected " << expected.size();
  }
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (!(std::fabs(actual[i] - expected[i]) <= tolerance)) {
      return ::testing::AssertionFailure()
             << "first difference at sample " << i << ": " << actual[i] << ", expected " << expected[i];
    }
  }
  return ::testing::AssertionSuccess();
}

std::string readAll(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

AudioFileLayout stereo(SampleFormat format) {
  AudioFileLayout layout;
  layout.channels = 2;
  layout.sampleRate = 22050;
  layout.format = format;
  return layout;
}

void writeWav(const std::string& path, SampleFormat format, const std::vector<float>& frames) {
  WavWriter writer(path, stereo(format));
  // In two pieces, as a render writes block by block.
  writer.write(frames.data(), 1);
  writer.write(frames.data() + 2, frames.size() / 2 - 1);
  writer.finish();
}

TEST(WavFile, FloatRoundTripIsExact) {
  const test::TemporaryFolder folder;
  const std::string path = folder.file("float.wav");
  writeWav(path, SampleFormat::Float32, kFrames);
  const AudioData audio = readWavFile(path);
  EXPECT_EQ(audio.channels, 2);
  EXPECT_EQ(audio.sampleRate, 22050);
  EXPECT_EQ(audio.frameCount(), 4);
  EXPECT_TRUE(closeTo(audio.samples, kFrames, 0.0f));  // float keeps values beyond full scale
}

TEST(WavFile, PcmRoundTripClipsAndQuantises) {
  const test::TemporaryFolder folder;
  const std::vector<float> clipped = {0.0f, 1.0f, -1.0f, 0.5f, 0.25f, -0.125f, 1.0f, -1.0f};
  const std::string path16 = folder.file("pcm16.wav");
  writeWav(path16, SampleFormat::Pcm16, kFrames);
  const AudioData audio16 = readWavFile(path16);
  // As libsndfile writes it: +1.0 clips to 32767, -1.0 is -32768; read back over 32768.
  EXPECT_TRUE(closeTo(audio16.samples, clipped, 1.5f / 32768.0f));
  EXPECT_EQ(audio16.samples[1], 32767.0f / 32768.0f);
  EXPECT_EQ(audio16.samples[2], -1.0f);

  const std::string path24 = folder.file("pcm24.wav");
  writeWav(path24, SampleFormat::Pcm24, kFrames);
  const AudioData audio24 = readWavFile(path24);
  EXPECT_TRUE(closeTo(audio24.samples, clipped, 1.5f / 8388608.0f));
}

TEST(WavFile, WritesTheExpectedHeader) {
  const test::TemporaryFolder folder;
  const std::string path = folder.file("header.wav");
  writeWav(path, SampleFormat::Pcm16, kFrames);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  unsigned char header[44] = {};
  ASSERT_EQ(std::fread(header, 1, sizeof header, file), sizeof header);
  std::fclose(file);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header), 4), "RIFF");
  EXPECT_EQ(header[4], 36 + 16);  // RIFF size: 36 + 16 data bytes
  EXPECT_EQ(header[20], 1);       // PCM
  EXPECT_EQ(header[22], 2);       // channels
  EXPECT_EQ(header[24] | header[25] << 8, 22050);
  EXPECT_EQ(header[32], 4);   // bytes per frame
  EXPECT_EQ(header[34], 16);  // bits
  EXPECT_EQ(std::string(reinterpret_cast<char*>(header + 36), 4), "data");
  EXPECT_EQ(header[40], 16);  // data bytes: 4 frames of 4 bytes
}

TEST(WavFile, RefusesWhatItCannotRead) {
  const test::TemporaryFolder folder;
  EXPECT_TRUE(test::throwsWith<ToolError>([&] { readWavFile(folder.file("none.wav")); }, "cannot read audio file"));
  const std::string text = folder.file("text.wav");
  test::writeFile(text, test::Bytes{'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e', ' ', 'f', 'i', 'l', 'e'});
  EXPECT_TRUE(test::throwsWith<ToolError>([&] { readWavFile(text); }, "not a WAV file"));
  EXPECT_TRUE(test::throwsWith<ToolError>(
      [&] { WavWriter(folder.file("no/such/folder.wav"), stereo(SampleFormat::Pcm16)); }, "cannot write"));
}

TEST(AudioFile, PlatformLibraryAgreesWithTheOwnWavCode) {
  const test::TemporaryFolder folder;
  // Written by the tool's WAV code, read by the platform's library (libsndfile on Linux).
  const std::string ours = folder.file("ours.wav");
  writeWav(ours, SampleFormat::Pcm24, kFrames);
  const AudioData read = readAudioFile(ours);
  ASSERT_EQ(read.channels, 2);
  EXPECT_TRUE(closeTo(read.samples, {0.0f, 1.0f, -1.0f, 0.5f, 0.25f, -0.125f, 1.0f, -1.0f}, 1.5f / 8388608.0f));
  // Written by the platform's writer, read by the tool's WAV code.
  const std::string theirs = folder.file("theirs.wav");
  std::unique_ptr<AudioFileWriter> writer = openAudioFileWriter(theirs, stereo(SampleFormat::Float32));
  writer->write(kFrames.data(), kFrames.size() / 2);
  writer->finish();
  EXPECT_TRUE(closeTo(readWavFile(theirs).samples, kFrames, 0.0f));
}

// The data chunk's bytes of a WAV file (the headers of the two writers differ in their optional chunks).
std::string dataChunk(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  std::string bytes;
  char buffer[4096];
  for (std::size_t count; file != nullptr && (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
    bytes.append(buffer, count);
  if (file != nullptr) std::fclose(file);
  const auto at = bytes.find("data");
  return at == std::string::npos ? "" : bytes.substr(at + 8);
}

// Values at and between the integer steps and past full scale.
std::vector<float> scalingSweep() {
  std::vector<float> values = {1.0f, -1.0f, 0.99999f, -0.99999f, 1.5f, -1.5f, 1e-9f, -1e-9f, 0.0f, -0.0f};
  for (int step = -70000; step <= 70000; step += 7) {
    values.push_back(step / 65536.0f);
    values.push_back((step + 0.5f) / 32768.0f);
    values.push_back(step / 4194304.0f);
  }
  if (values.size() % 2 != 0) values.push_back(0.0f);
  return values;
}

class PcmScaling : public ::testing::TestWithParam<SampleFormat> {};

TEST_P(PcmScaling, OwnWriterWritesTheBytesLibsndfileWrites) {
  if (!flacSupported()) GTEST_SKIP() << "no libsndfile in this build";
  const test::TemporaryFolder folder;
  const std::vector<float> values = scalingSweep();
  writeWav(folder.file("ours.wav"), GetParam(), values);
  std::unique_ptr<AudioFileWriter> writer = openAudioFileWriter(folder.file("theirs.wav"), stereo(GetParam()));
  writer->write(values.data(), values.size() / 2);
  writer->finish();
  const std::string ours = dataChunk(folder.file("ours.wav"));
  const std::string theirs = dataChunk(folder.file("theirs.wav"));
  ASSERT_EQ(ours.size(), theirs.size());
  const int bytes = GetParam() == SampleFormat::Pcm16 ? 2 : 3;
  for (std::size_t i = 0; i < ours.size(); ++i) {
    ASSERT_EQ(ours[i], theirs[i]) << "first difference in sample " << i / bytes << ", value " << values[i / bytes];
  }
}

INSTANTIATE_TEST_SUITE_P(WavFile, PcmScaling, ::testing::Values(SampleFormat::Pcm16, SampleFormat::Pcm24));

TEST(WavFile, PcmSamplesScaleByTwoToThe31AndShift) {
  // Full scale is 2^31, shifted down: steps are floors, +1.0 clips one step short, NaN is the smallest value.
  EXPECT_EQ(pcmSample(1.0f, 16), 32767);
  EXPECT_EQ(pcmSample(-1.0f, 16), -32768);
  EXPECT_EQ(pcmSample(0.5f, 16), 16384);
  EXPECT_EQ(pcmSample(1.5f / 32768.0f, 16), 1);
  EXPECT_EQ(pcmSample(-1e-9f, 16), -1);
  EXPECT_EQ(pcmSample(1.0f, 24), 8388607);
  EXPECT_EQ(pcmSample(-2.0f, 24), -8388608);
  EXPECT_EQ(pcmSample(std::nanf(""), 24), -8388608);
}

TEST(WavFile, StreamHeaderAnnouncesTheLengthFirst) {
  const test::TemporaryFolder folder;
  const std::string file = folder.file("file.wav");
  const std::string stream = folder.file("stream.wav");
  for (SampleFormat format : {SampleFormat::Float32, SampleFormat::Pcm24}) {
    writeWav(file, format, kFrames);
    std::FILE* out = std::fopen(stream.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    {
      WavWriter writer(stream, out, stereo(format), 4);
      writer.write(kFrames.data(), 4);
      writer.finish();
    }
    std::fclose(out);
    EXPECT_EQ(readAll(stream), readAll(file)) << "a stream gets the file's bytes, without seeking back";
    EXPECT_EQ(std::filesystem::file_size(stream), WavWriter::fileBytes(stereo(format), 4));
  }
  WavWriter shortOne(stream, nullptr, stereo(SampleFormat::Pcm16), 4);
  shortOne.write(kFrames.data(), 3);
  EXPECT_TRUE(test::throwsWith<ToolError>([&] { shortOne.finish(); }, "another length than its header announced"));
}

TEST(WavFile, ReadsOnlyWithinTheFile) {
  const test::TemporaryFolder folder;
  const test::Bytes format = {'f',  'm',  't', ' ', 16,   0,    0, 0, 1, 0, 1,  0,
                              0x44, 0xAC, 0,   0,   0x88, 0x58, 1, 0, 2, 0, 16, 0};
  auto wav = [&](const test::Bytes& rate, const test::Bytes& tail) {
    test::Bytes bytes = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    test::Bytes chunk = format;
    std::copy(rate.begin(), rate.end(), chunk.begin() + 12);
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
  };
  // A last chunk of odd length without its pad byte, then nothing: the reader must stop at the end.
  const std::string unpadded = folder.file("unpadded.wav");
  test::writeFile(unpadded, wav({0x44, 0xAC, 0, 0}, {'L', 'I', 'S', 'T', 1, 0, 0, 0, 'x'}));
  EXPECT_TRUE(test::throwsWith<ToolError>([&] { readWavFile(unpadded); }, "no data chunk"));
  // A rate past the int range.
  const std::string fast = folder.file("fast.wav");
  test::writeFile(fast, wav({0x40, 0xE6, 0, 0xFF}, {'d', 'a', 't', 'a', 2, 0, 0, 0, 1, 2}));
  EXPECT_TRUE(test::throwsWith<ToolError>([&] { readWavFile(fast); }, "bad channel count or sample rate"));
}

TEST(AudioFile, WritesRf64WhenAskedTo) {
  if (!rf64Supported()) GTEST_SKIP() << "no RF64 writer in this build";
  const test::TemporaryFolder folder;
  AudioFileLayout layout = stereo(SampleFormat::Float32);
  layout.rf64 = true;
  std::unique_ptr<AudioFileWriter> writer = openAudioFileWriter(folder.file("large.wav"), layout);
  writer->write(kFrames.data(), 4);
  writer->finish();
  EXPECT_EQ(readAll(folder.file("large.wav")).substr(0, 4), "RF64");
  EXPECT_TRUE(closeTo(readAudioFile(folder.file("large.wav")).samples, kFrames, 0.0f));
}

TEST(AudioFile, ChoosesTheContainerByName) {
  EXPECT_EQ(containerForPath("take.flac"), AudioContainer::Flac);
  EXPECT_EQ(containerForPath("TAKE.FLAC"), AudioContainer::Flac);
  EXPECT_EQ(containerForPath("take.wav"), AudioContainer::Wav);
  EXPECT_EQ(containerForPath("flac"), AudioContainer::Wav);
  EXPECT_EQ(containerForPath("take.flac.wav"), AudioContainer::Wav);
}

}  // namespace
}  // namespace brume
