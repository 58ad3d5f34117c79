// Brume7.lv2 played by a real LV2 host: console jalv on the private JACK
// server, a preset applied through its "preset URI" command, then a MIDI
// phrase in from the test peer and sound out.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/play/JackServer.h"
#include "tests/play/PlayTestSupport.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

constexpr int kRate = 48000;
constexpr std::int64_t kCaptureFrames = 48000;
constexpr const char* kPresetUri = "urn:pellarine:brume7:preset:default:basic";

const std::vector<PhraseEvent> kPhrase = {
    {0, {0x90, 60, 100}}, {4800, {0x90, 67, 90}}, {24000, {0x80, 60, 0}}, {36000, {0x80, 67, 0}}};

bool installed(const char* program) {
  return std::system(("command -v " + std::string(program) + " > /dev/null 2>&1").c_str()) == 0;
}

// A shell command's exit code, its output in the scratch folder.
int run(const ScratchFolder& folder, const std::string& command) {
  ChildProcess process({"/bin/sh", "-c", command}, folder.path(), "command");
  return process.wait(20);
}

TEST(JalvPlays, APresetAppliedThroughItsCommandAndAPhraseInGiveSound) {
  if (!JackServer::isInstalled() || !installed("jalv") || !installed("jack_connect") || !installed("stdbuf"))
    GTEST_SKIP() << "jackd, jalv or jack_connect is not installed (Debian packages jackd2, jalv)";
  ScratchFolder folder;
  ASSERT_FALSE(folder.path().empty());
  JackServer server(kRate, 256);
  ASSERT_TRUE(server.running()) << server.failure();

  // lilv finds our bundle alone; jalv reads its commands from a pipe the test holds open.
  ASSERT_EQ(mkdir(folder.file("lv2").c_str(), 0755), 0);
  ASSERT_EQ(symlink(BRUME7_LV2_BUNDLE, folder.file("lv2/Brume7.lv2").c_str()), 0);
  ASSERT_EQ(mkfifo(folder.file("commands").c_str(), 0600), 0);
  const std::string client = "jalv" + std::to_string(getpid());
  // With "Volume" at 0 it is silent until the preset gives it its default back.
  ChildProcess jalv({"/bin/sh", "-c",
                     "exec stdbuf -oL jalv -x -n " + client + " -c volume=0 urn:pellarine:brume7 < '" +
                         folder.file("commands") + "'"},
                    folder.path(), "jalv", {"LV2_PATH=" + folder.file("lv2")});
  const int commands = open(folder.file("commands").c_str(), O_WRONLY);
  ASSERT_GE(commands, 0);
  ASSERT_TRUE(jalv.waitForOutput("volume = 0.000000", 20)) << jalv.output() << jalv.errors();

  // "presets" lists (and loads) the bundle's presets; "preset URI" applies one.
  const std::string command = std::string("presets\npreset ") + kPresetUri + "\ncontrols\n";
  ASSERT_EQ(write(commands, command.data(), command.size()), static_cast<ssize_t>(command.size()));
  EXPECT_TRUE(jalv.waitForOutput(std::string(kPresetUri) + " (Basic)", 20)) << jalv.output() << jalv.errors();
  EXPECT_TRUE(jalv.waitForOutput("volume = 0.900000", 20)) << jalv.output() << jalv.errors();

  const std::string peer = "peer" + std::to_string(getpid());
  writePeerEvents(folder.file("phrase.txt"), kPhrase);
  ChildProcess feeder(
      {BRUME7_JACK_PEER, peer, folder.file("phrase.txt"), folder.file("capture.raw"), std::to_string(kCaptureFrames)},
      folder.path(), "peer");
  ASSERT_TRUE(feeder.waitForOutput("ready", 15)) << feeder.errors();
  ASSERT_EQ(run(folder, "jack_connect " + peer + "-feed:midi_out " + client + ":events && jack_connect " + client +
                            ":out_left " + peer + "-capture:in_1 && jack_connect " + client + ":out_right " + peer +
                            "-capture:in_2"),
            0);
  ASSERT_EQ(feeder.wait(30), 0) << feeder.errors();
  close(commands);  // jalv ends at the end of its commands
  EXPECT_EQ(jalv.wait(20), 0) << jalv.errors();

  const std::vector<float> captured = readRawStereo(folder.file("capture.raw"));
  ASSERT_EQ(static_cast<std::int64_t>(captured.size()), 2 * kCaptureFrames);
  EXPECT_GT(rms(captured, 2, 0, 24000), 0.01) << "no sound while the notes are held";
  EXPECT_LT(rms(captured, 2, 0, 24000), 1.0);
}

}  // namespace
}  // namespace brume::test
