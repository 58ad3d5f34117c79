// `brume7-host play` against a real JACK server (jackd, dummy driver, a
// private name): a peer client feeds a MIDI phrase at known frames and
// captures the output, which must equal `brume7-host render` of the same
// phrase at the same rate and block size, sample for sample; likewise across
// a buffer-size change and in the recording. Bad input fails in one line.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "tests/play/JackServer.h"
#include "tests/play/PlayTestSupport.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

constexpr int kRate = 48000;
constexpr int kBlock = 256;
constexpr std::int64_t kCaptureFrames = 72000;  // 1.5 s

// Chords, a release at the same frame as a note, notes off the block grid (all frames multiples of 50).
const std::vector<PhraseEvent> kPhrase = {
    {0, {0x90, 60, 100}},   {4800, {0x90, 64, 90}},   {9650, {0x90, 67, 80}}, {12350, {0x90, 48, 127}},
    {24000, {0x80, 60, 0}}, {24000, {0x90, 72, 110}}, {24050, {0x80, 64, 0}}, {30100, {0x80, 67, 0}},
    {36000, {0x90, 67, 0}}, {40000, {0x80, 48, 0}},   {43200, {0x80, 72, 0}}, {48000, {0x90, 55, 64}},
    {60000, {0x80, 55, 0}},
};

class PlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!JackServer::isInstalled()) GTEST_SKIP() << "jackd is not installed (Debian package jackd2)";
    ASSERT_FALSE(folder.path().empty());
    server = std::make_unique<JackServer>(kRate, kBlock);
    ASSERT_TRUE(server->running()) << server->failure();
  }

  // A stereo plug-in's outputs go to the capture's two inputs, a mono one's to the first.
  std::vector<std::string> playArguments(const std::string& plugin = BRUME7_PLUGIN, int outputs = 2) const {
    std::vector<std::string> arguments = {BRUME7_HOST_TOOL,
                                          "play",
                                          plugin,
                                          "--no-connect",
                                          "--connect-midi",
                                          peer + "-feed:midi_out",
                                          "--connect-audio",
                                          peer + "-capture:in_1"};
    if (outputs > 1) arguments.insert(arguments.end(), {"--connect-audio", peer + "-capture:in_2"});
    return arguments;
  }

  // The offline render of the phrase as interleaved stereo (a mono plug-in's output in both channels).
  std::vector<float> render(const std::vector<PhraseEvent>& phrase, const std::vector<std::string>& extra = {},
                            const std::string& plugin = BRUME7_PLUGIN) {
    writeMidiFile(folder.file("phrase.mid"), phrase);
    std::vector<std::string> arguments = {BRUME7_HOST_TOOL,
                                          "render",
                                          "-p",
                                          plugin,
                                          "--rate",
                                          std::to_string(kRate),
                                          "--block",
                                          std::to_string(kBlock),
                                          "--length",
                                          std::to_string(static_cast<double>(kCaptureFrames) / kRate),
                                          "--no-progress",
                                          "-o",
                                          folder.file("render.wav"),
                                          folder.file("phrase.mid")};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    ChildProcess tool(arguments, folder.path(), "render");
    EXPECT_EQ(tool.wait(60), 0) << tool.errors();
    return readAudioFile(folder.file("render.wav")).samples;
  }

  // Starts the peer; false when it did not get its ports up.
  std::unique_ptr<ChildProcess> startPeer(const std::vector<PhraseEvent>& phrase, std::int64_t frames,
                                          const std::vector<std::string>& resize = {}, bool mono = false) {
    writePeerEvents(folder.file("phrase.txt"), phrase);
    std::vector<std::string> arguments = {BRUME7_JACK_PEER, peer, folder.file("phrase.txt"), folder.file("capture.raw"),
                                          std::to_string(frames)};
    arguments.insert(arguments.end(), resize.begin(), resize.end());
    if (mono) arguments.push_back("mono");
    auto process = std::make_unique<ChildProcess>(arguments, folder.path(), "peer");
    if (!process->waitForOutput("ready", 15)) return nullptr;
    return process;
  }

  ScratchFolder folder;
  std::unique_ptr<JackServer> server;
  const std::string peer = "peer" + std::to_string(getpid());
};

// The instruments played: Brume7 itself as a VST 2 plug-in (also with a bank of
// the sound library loaded) and as an LV2 plug-in, and DPF's Kars.
struct Instrument {
  const char* name;
  std::string location;
  int outputs;
  std::vector<std::string> options = {};  // given to play and render alike
};

class PlayInstrument : public PlayTest, public ::testing::WithParamInterface<Instrument> {
 protected:
  void SetUp() override {
    struct stat status {};
    if (stat(GetParam().location.c_str(), &status) != 0) GTEST_SKIP() << GetParam().location << " is not installed";
    PlayTest::SetUp();
  }

  // What the capture and the render share: both channels of a stereo plug-in, the first of a mono one.
  std::vector<float> played(const std::vector<float>& stereo) const {
    return GetParam().outputs > 1 ? stereo : channel(stereo, 2, 0);
  }
  int playedChannels() const { return GetParam().outputs > 1 ? 2 : 1; }
};

TEST_P(PlayInstrument, PlaysWhatTheOfflineRenderMakesAndRecordsWhatItPlays) {
  const std::vector<float> expected = played(render(kPhrase, GetParam().options, GetParam().location));
  const int channels = playedChannels();
  ASSERT_EQ(static_cast<std::int64_t>(expected.size()), kCaptureFrames * channels);
  auto feeder = startPeer(kPhrase, kCaptureFrames, {}, GetParam().outputs == 1);
  ASSERT_TRUE(feeder) << "the peer did not start";
  std::vector<std::string> arguments = playArguments(GetParam().location, GetParam().outputs);
  arguments.insert(arguments.end(), {"--seconds", "3", "--record", folder.file("played.wav")});
  arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
  ChildProcess play(arguments, folder.path(), "play");
  ASSERT_EQ(feeder->wait(30), 0) << feeder->errors() << play.errors();
  ASSERT_EQ(play.wait(30), 0) << play.errors();

  const std::vector<float> captured = played(readRawStereo(folder.file("capture.raw")));
  // The phrase starts at the captured stream's first frame: sound starts at the same frame as offline.
  const std::int64_t start = firstSoundingFrame(expected, channels);
  ASSERT_GE(start, 0) << "the render is silent";
  EXPECT_EQ(firstSoundingFrame(captured, channels), start);
  EXPECT_EQ(compareFrames(captured, 0, expected, 0, kCaptureFrames, channels), "") << play.output();

  // The recording holds the silence before the phrase too: aligned on its first sound.
  const AudioData recorded = readAudioFile(folder.file("played.wav"));
  EXPECT_EQ(recorded.sampleRate, kRate);
  ASSERT_EQ(recorded.channels, GetParam().outputs);
  const std::vector<float>& recordedPlayed = recorded.samples;
  const std::int64_t recordedStart = firstSoundingFrame(recordedPlayed, channels);
  ASSERT_GE(recordedStart, start);
  const std::int64_t offset = recordedStart - start;
  ASSERT_GE(recorded.frameCount(), offset + kCaptureFrames) << "the recording ends early";
  EXPECT_EQ(compareFrames(recordedPlayed, offset, captured, 0, kCaptureFrames, channels), "");

  // One summary line: time, xruns, peak, load, and the recording's name.
  const std::string output = play.output();
  // Three seconds of wall time; on a loaded machine the dummy driver's late cycles make the audio a little shorter.
  EXPECT_TRUE(std::regex_search(output, std::regex("played (2\\.[5-9]|3\\.[01]) s, [0-9]+ xruns?, "))) << output;
  EXPECT_NE(output.find(" dBFS, DSP load "), std::string::npos) << output;
  EXPECT_NE(output.find("DSP load "), std::string::npos) << output;
  EXPECT_NE(output.find("recorded '" + folder.file("played.wav") + "'"), std::string::npos) << output;
  EXPECT_EQ(play.errors(), "");
  // The temporary name is gone.
  for (const std::string& name : folder.entries()) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(Formats, PlayInstrument,
                         ::testing::Values(Instrument{"Brume7Vst2", BRUME7_PLUGIN, 2},
                                           Instrument{"Brume7Vst2WithABank",
                                                      BRUME7_PLUGIN,
                                                      2,
                                                      {"--bank", std::string(BRUME7_PRESETS_DIR) + "/keys.fxb",
                                                       "--program", "4"}},
                                           Instrument{"KarsVst2", "/usr/lib/vst/Kars-vst.so", 1},
                                           // Kars' LV2 build draws from the C library's rand() in a way
                                           // that a live run does not repeat sample for sample: Brume7's
                                           // own bundle stands for the LV2 path.
                                           Instrument{"Brume7Lv2", BRUME7_LV2_BUNDLE, 2}),
                         [](const ::testing::TestParamInfo<Instrument>& info) { return info.param.name; });

// Brume7's voices ring on through the suspend and resume of a reconfiguration (DPF's reset theirs).
TEST_F(PlayTest, ABufferSizeChangeWhilePlayingKeepsTheSoundContinuous) {
  const std::vector<float> expected = render(kPhrase);
  // Halfway through the chord, JACK's cycle drops from 256 to 128 frames.
  auto feeder = startPeer(kPhrase, kCaptureFrames, {"20000", "128"});
  ASSERT_TRUE(feeder) << "the peer did not start";
  ChildProcess play(playArguments(), folder.path(), "play");
  ASSERT_EQ(feeder->wait(30), 0) << feeder->errors() << play.errors();
  const std::vector<float> captured = readRawStereo(folder.file("capture.raw"));
  EXPECT_EQ(compareFrames(captured, 0, expected, 0, kCaptureFrames, 2), "");
  // Without --seconds it plays until SIGTERM.
  play.signal(SIGTERM);
  EXPECT_EQ(play.wait(20), 0) << play.errors();
  EXPECT_NE(play.output().find("played "), std::string::npos) << play.output();
}

TEST_F(PlayTest, NamesItsClientAfterThePluginUniquelyAndConnectsToThePlaybackPortsByDefault) {
  ChildProcess first({BRUME7_HOST_TOOL, "play", BRUME7_PLUGIN, "--seconds", "3"}, folder.path(), "first");
  ASSERT_TRUE(first.waitForOutput("playing as", 15)) << first.errors();
  ChildProcess second({BRUME7_HOST_TOOL, "play", BRUME7_PLUGIN, "--seconds", "3"}, folder.path(), "second");
  ASSERT_TRUE(second.waitForOutput("playing as", 15)) << second.errors();
  ChildProcess ports({"/bin/sh", "-c", "jack_lsp -c"}, folder.path(), "ports");
  ASSERT_EQ(ports.wait(10), 0) << ports.errors();
  EXPECT_NE(first.output().find("playing as JACK client 'Brume7' at 48000 Hz, 256 frames"), std::string::npos)
      << first.output();
  EXPECT_EQ(second.output().find("client 'Brume7' "), std::string::npos) << second.output();
  // The outputs go to the dummy card's playback ports, one to one.
  const std::string connections = ports.output();
  EXPECT_NE(connections.find("Brume7:out_1\n   system:playback_1\n"), std::string::npos) << connections;
  EXPECT_NE(connections.find("Brume7:out_2\n   system:playback_2\n"), std::string::npos) << connections;
  EXPECT_EQ(first.wait(20), 0) << first.errors();
  EXPECT_EQ(second.wait(20), 0) << second.errors();
}

struct BadInput {
  const char* name;
  std::vector<std::string> options;  // after "play"; "@" stands for the scratch folder
  std::vector<std::string> environment;
  const char* message;
};

class PlayRefuses : public PlayTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(PlayRefuses, WithOneLineAndNothingWritten) {
  const BadInput& input = GetParam();
  for (const std::string& option : input.options) {
    if (option.empty()) GTEST_SKIP() << "this build hosts no LV2 plug-ins";
  }
  std::vector<std::string> arguments = {BRUME7_HOST_TOOL, "play"};
  for (std::string option : input.options) {
    if (option.rfind('@', 0) == 0) option = folder.path() + option.substr(1);
    arguments.push_back(option);
  }
  ChildProcess play(arguments, folder.path(), "play", input.environment);
  EXPECT_EQ(play.wait(30), 1);
  const std::string errors = play.errors();
  EXPECT_NE(errors.find(input.message), std::string::npos) << errors;
  EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "not one line: " << errors;
  EXPECT_EQ(play.output(), "");
  // Only the child's own output files are in the folder: no recording, finished or not.
  EXPECT_EQ(folder.entries().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    BadInputs, PlayRefuses,
    ::testing::Values(
        BadInput{"NoServer",
                 {BRUME7_PLUGIN, "--seconds", "1", "--record", "@/take.wav"},
                 {"JACK_DEFAULT_SERVER=brume7-no-such-server"},
                 "jackd -d alsa"},
        BadInput{"MissingMidiPort",
                 {BRUME7_PLUGIN, "--connect-midi", "nobody:midi_out", "--record", "@/take.wav"},
                 {},
                 "no JACK port named 'nobody:midi_out'"},
        BadInput{"MissingAudioPort",
                 {BRUME7_PLUGIN, "--connect-audio", "system:nothing"},
                 {},
                 "no JACK port named 'system:nothing'"},
        BadInput{
            "AudioPortGivenForMidi", {BRUME7_PLUGIN, "--connect-midi", "system:capture_1"}, {}, "is not a MIDI output"},
        BadInput{"NotAnInstrument", {BRUME7_EFFECT_PLUGIN, "--record", "@/take.wav"}, {}, "is not an instrument"},
        BadInput{"NoOutputs", {BRUME7_SILENT_PLUGIN}, {}, "has no audio outputs"},
        BadInput{"EditorWithoutDisplay",
                 {BRUME7_PLUGIN, "--editor", "--record", "@/take.wav"},
                 {"DISPLAY"},
                 "DISPLAY is not set"},
        BadInput{"UnwritableRecording", {BRUME7_PLUGIN, "--record", "@/missing/take.wav"}, {}, "cannot record to"},
        BadInput{
            "EditorOfAnLv2Plugin", {BRUME7_LV2_PROBE, "--editor"}, {}, "is an LV2 plug-in; play shows VST 2 editors"},
        BadInput{
            "Lv2ProgramMissing", {BRUME7_LV2_PROBE, "--program", "7"}, {}, "--program 7: the plug-in has 3 programs"},
        BadInput{"MissingBank",
                 {BRUME7_PLUGIN, "--bank", "@/missing.fxb", "--record", "@/take.wav"},
                 {},
                 "--bank: cannot read '"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brume::test
