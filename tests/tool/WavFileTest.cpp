// The tool's own WAV writer and reader, and (on Linux) their agreement with libsndfile.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/tool/ExpectError.h"
#include "tests/tool/ToolTestSupport.h"
#include "tools/brume7-host/AudioFile.h"
#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/WavFile.h"

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
  // Full scale is written as 32767 and read back over 32768.
  EXPECT_TRUE(closeTo(audio16.samples, clipped, 1.5f / 32768.0f));
  EXPECT_EQ(audio16.samples[2], -32767.0f / 32768.0f);

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

TEST(AudioFile, ChoosesTheContainerByName) {
  EXPECT_EQ(containerForPath("take.flac"), AudioContainer::Flac);
  EXPECT_EQ(containerForPath("TAKE.FLAC"), AudioContainer::Flac);
  EXPECT_EQ(containerForPath("take.wav"), AudioContainer::Wav);
  EXPECT_EQ(containerForPath("flac"), AudioContainer::Wav);
  EXPECT_EQ(containerForPath("take.flac.wav"), AudioContainer::Wav);
}

}  // namespace
}  // namespace brume
