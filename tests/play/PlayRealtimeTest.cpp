// The JACK process callback of play, in this process against a private
// server: while MIDI arrives every cycle, the editor's automation is queued
// and the recording runs, it allocates nothing and takes no lock (the same
// watch as the plug-in's audio path). A buffer-size change suspends,
// reconfigures and resumes the plug-in.
#include <gtest/gtest.h>
#include <jack/midiport.h>
#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <thread>

#include "tests/play/JackServer.h"
#include "tests/play/PlayTestSupport.h"
#include "tests/realtime/AudioPathWatch.h"
#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"
#include "tools/brume7-host/live/JackClient.h"
#include "tools/brume7-host/live/LivePlayer.h"
#include "tools/brume7-host/plugins/vst2/PlayHostContext.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/plugins/vst2/PluginInstance.h"
#include "tools/brume7-host/plugins/vst2/Vst2Plugin.h"
#include "tools/brume7-host/live/RecordingWriter.h"
#include "BuildPaths.h"

namespace brume::test {
namespace {

// A client that plays a note on and a note off and a controller in every cycle.
class Feeder {
 public:
  Feeder() : client("feed") {
    port = client.registerPort("midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    jack_set_process_callback(client.handle(), process, this);
    client.activate();
  }
  std::string portName() const { return jack_port_name(port); }

 private:
  static int process(jack_nframes_t frames, void* self) {
    auto* feeder = static_cast<Feeder*>(self);
    void* buffer = jack_port_get_buffer(feeder->port, frames);
    jack_midi_clear_buffer(buffer);
    const unsigned char key = static_cast<unsigned char>(48 + feeder->cycle++ % 24);
    const unsigned char on[3] = {0x90, key, 100};
    const unsigned char controller[3] = {0xB0, 1, key};
    const unsigned char off[3] = {0x80, key, 0};
    jack_midi_event_write(buffer, 3, on, 3);
    jack_midi_event_write(buffer, 40, controller, 3);
    jack_midi_event_write(buffer, frames - 1, off, 3);
    return 0;
  }

  JackClient client;
  jack_port_t* port = nullptr;
  unsigned cycle = 0;
};

class LiveProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!JackServer::isInstalled()) GTEST_SKIP() << "jackd is not installed (Debian package jackd2)";
    server = std::make_unique<JackServer>(48000, 256);
    ASSERT_TRUE(server->running()) << server->failure();
  }

  // The plug-in opened and resumed at the server's rate and block size.
  void load(const std::string& path) {
    plugin = openPlugin(path, HostSettings{48000.0, 256, 120.0}, PluginUse::Live);
    plugin->configure(48000.0, 256);
    plugin->start();
    if (auto* vst2 = dynamic_cast<Vst2Plugin*>(plugin.get())) {
      host = &dynamic_cast<PlayHostContext&>(vst2->host());
      probe = &vst2->vst2Instance();
    }
    client = std::make_unique<JackClient>(plugin->name());
  }

  static void waitFor(std::chrono::milliseconds time) { std::this_thread::sleep_for(time); }

  ScratchFolder folder;
  std::unique_ptr<JackServer> server;
  std::unique_ptr<Plugin> plugin;
  PlayHostContext* host = nullptr;  // a VST 2 plug-in's callback answers
  PluginInstance* probe = nullptr;  // and its instance
  std::unique_ptr<JackClient> client;
};

// The same watch for every format: Brume7 as a VST 2 plug-in, DPF's Kars and our probe as LV2 plug-ins.
struct LivePlugin {
  const char* name;
  std::string location;
};

class LiveProcessOf : public LiveProcess, public ::testing::WithParamInterface<LivePlugin> {};

TEST_P(LiveProcessOf, AllocatesNothingAndTakesNoLockWhilePlayingAndRecording) {
  struct stat status {};
  if (stat(GetParam().location.c_str(), &status) != 0) GTEST_SKIP() << GetParam().location << " is not there";
  load(GetParam().location);
  AudioFileLayout layout;
  layout.sampleRate = 48000;
  layout.channels = plugin->outputCount();
  RecordingWriter recording(folder.file("take.wav"), layout, 48000 * 4);
  LivePlayer player(*plugin, *client, 64, &recording.ring());
  recording.start();
  client->activate();
  Feeder feeder;
  client->connect(feeder.portName(), player.midiPortName());
  waitFor(std::chrono::milliseconds(300));  // past the first cycles, which may touch lazily made state

  const std::uint64_t cyclesBefore = player.statistics().cycles;
  startWatchingAudioPath();
  for (int i = 0; i < 100; ++i) {
    // What a VST 2 editor's knob drag sends from the user-interface thread.
    if (host != nullptr) host->answer(kHostAutomate, 49, 0, nullptr, static_cast<float>(i % 10) / 10.0f);
    waitFor(std::chrono::milliseconds(10));
  }
  const AudioPathCounts counts = stopWatchingAudioPath();
  const PlayStatistics played = player.statistics();

  EXPECT_GT(played.cycles - cyclesBefore, 100u) << "the callback hardly ran";
  EXPECT_EQ(counts.allocations, 0);
  EXPECT_EQ(counts.frees, 0);
  EXPECT_EQ(counts.locks, 0);
  EXPECT_GT(played.peak, 0.0) << "nothing sounded";
  if (host != nullptr) {
    EXPECT_EQ(host->automationCount(), 100u);
    EXPECT_EQ(host->droppedAutomation(), 0u);
  }
  EXPECT_EQ(played.droppedEvents, 0u);
  EXPECT_EQ(played.lostRecordingFrames, 0u);
  EXPECT_TRUE(player.finish(std::chrono::milliseconds(2000)));
  client->deactivate();
  recording.finish();
  EXPECT_EQ(recording.framesWritten(), player.statistics().frames);
}

INSTANTIATE_TEST_SUITE_P(Formats, LiveProcessOf,
                         ::testing::Values(LivePlugin{"Brume7Vst2", BRUME7_PLUGIN},
                                           LivePlugin{"KarsLv2", "/usr/lib/lv2/Kars.lv2"},
                                           LivePlugin{"ProbeLv2", BRUME7_LV2_PROBE}),
                         [](const ::testing::TestParamInfo<LivePlugin>& info) { return info.param.name; });

TEST_F(LiveProcess, CountsTheEventsBeyondTheListsCapacity) {
  load(BRUME7_PROBE_PLUGIN);
  LivePlayer player(*plugin, *client, 2, nullptr);
  client->activate();
  Feeder feeder;  // three events a cycle
  client->connect(feeder.portName(), player.midiPortName());
  waitFor(std::chrono::milliseconds(200));
  const PlayStatistics played = player.statistics();
  EXPECT_GT(played.cycles, 10u);
  // One of every connected cycle's three; the statistics may see one cycle more of them.
  EXPECT_GT(played.droppedEvents, played.cycles / 2);
  EXPECT_LE(played.droppedEvents, played.cycles + 1);
}

TEST_F(LiveProcess, ABufferSizeChangeSuspendsReconfiguresAndResumesThePlugin) {
  load(BRUME7_PROBE_PLUGIN);
  constexpr VstInt32 kVendorSpecific = 50;
  constexpr VstInt32 kQueryProcessCalls = 2;
  constexpr VstInt32 kQueryResumes = 5;
  constexpr VstInt32 kQueryBlockSize = 7;
  LivePlayer player(*plugin, *client, 64, nullptr);
  client->activate();
  waitFor(std::chrono::milliseconds(100));
  ASSERT_EQ(probe->dispatch(kVendorSpecific, kQueryResumes), 1);

  ASSERT_EQ(jack_set_buffer_size(client->handle(), 128), 0);
  waitFor(std::chrono::milliseconds(200));
  std::lock_guard<std::mutex> lock(player.pluginCalls());
  EXPECT_EQ(probe->dispatch(kVendorSpecific, kQueryBlockSize), 128);
  EXPECT_EQ(probe->dispatch(kVendorSpecific, kQueryResumes), 2);
  EXPECT_EQ(host->answer(kHostBlockSize, 0, 0, nullptr, 0.0f), 128);
  const VstIntPtr calls = probe->dispatch(kVendorSpecific, kQueryProcessCalls);
  waitFor(std::chrono::milliseconds(100));
  EXPECT_GT(probe->dispatch(kVendorSpecific, kQueryProcessCalls), calls) << "no cycles after the change";
}

}  // namespace
}  // namespace brume::test
