// `brume7-host play --editor` under a private Xvfb server: the editor shows
// in a top-level window titled with the plug-in's name, and turning its
// Volume knob down while a note is held makes the played note quieter than
// the same note rendered offline.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tests/play/JackServer.h"
#include "tests/play/PlayTestSupport.h"
#include "tests/x11/XvfbServer.h"
#include "tools/brume7-host/audio/AudioFile.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

constexpr int kRate = 48000;
constexpr std::int64_t kFrames = 3 * kRate;

std::string firstLineOf(const std::string& command) {
  std::string line;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    if (std::fgets(buffer, sizeof buffer, pipe) != nullptr) line = buffer;
    pclose(pipe);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

TEST(PlayEditor, ShowsInAWindowOfItsNameAndAKnobDragChangesTheSound) {
  if (!testing::XvfbServer::isInstalled() || std::system("command -v xdotool > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "Xvfb or xdotool is not installed";
  }
  if (!JackServer::isInstalled()) GTEST_SKIP() << "jackd is not installed (Debian package jackd2)";
  testing::XvfbServer display;
  ASSERT_TRUE(display.running()) << display.failure();
  JackServer server(kRate, 256);
  ASSERT_TRUE(server.running()) << server.failure();
  ScratchFolder folder;

  // The render releases notes still held where the file ends: a controller late in the file keeps it held.
  const std::vector<PhraseEvent> heldNote = {{0, {0x90, 57, 100}}, {kFrames - 50, {0xB0, 1, 0}}};
  writePeerEvents(folder.file("phrase.txt"), heldNote);
  const std::string peer = "editorpeer" + std::to_string(getpid());
  ChildProcess feeder(
      {BRUME7_JACK_PEER, peer, folder.file("phrase.txt"), folder.file("capture.raw"), std::to_string(kFrames)},
      folder.path(), "peer");
  ASSERT_TRUE(feeder.waitForOutput("ready", 15)) << feeder.errors();
  ChildProcess play(
      {BRUME7_HOST_TOOL, "play", BRUME7_PLUGIN, "--editor", "--no-connect", "--connect-midi", peer + "-feed:midi_out",
       "--connect-audio", peer + "-capture:in_1", "--connect-audio", peer + "-capture:in_2"},
      folder.path(), "play");

  const std::string window = firstLineOf("timeout 15 xdotool search --sync --name '^Brume7$' 2>/dev/null");
  ASSERT_FALSE(window.empty()) << "no window titled Brume7; " << play.errors();
  // Volume's knob centre is (25, 25): press there and point straight up, the middle of its travel
  // (it stands at 0.9), in steps; then release.
  std::string drag = "xdotool mousemove --window " + window + " 25 25 mousedown 1 sleep 0.1";
  for (int y = 20; y >= 0; y -= 5) drag += " mousemove --window " + window + " 25 " + std::to_string(y) + " sleep 0.1";
  drag += " mouseup 1";
  ASSERT_EQ(std::system(drag.c_str()), 0);

  ASSERT_EQ(feeder.wait(30), 0) << feeder.errors() << play.errors();
  play.signal(SIGTERM);
  EXPECT_EQ(play.wait(20), 0) << play.errors();

  writeMidiFile(folder.file("note.mid"), heldNote);
  ChildProcess render({BRUME7_HOST_TOOL, "render", "-p", BRUME7_PLUGIN, "--rate", std::to_string(kRate), "--block",
                       "256", "--length", "3", "--no-progress", "-o", folder.file("note.wav"), folder.file("note.mid")},
                      folder.path(), "render");
  ASSERT_EQ(render.wait(60), 0) << render.errors();
  const std::vector<float> unchanged = readAudioFile(folder.file("note.wav")).samples;
  const std::vector<float> played = readRawStereo(folder.file("capture.raw"));
  ASSERT_EQ(played.size(), unchanged.size());
  const double before = rms(unchanged, 2, kFrames - kRate / 2, kFrames);
  const double after = rms(played, 2, kFrames - kRate / 2, kFrames);
  ASSERT_GT(before, 0.0) << "the held note is silent offline";
  EXPECT_LT(after, 0.8 * before) << "the drag did not make the note quieter";
}

}  // namespace
}  // namespace brume::test
