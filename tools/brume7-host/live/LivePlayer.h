#pragma once
// The live half of `play`: the plug-in behind a JACK client's ports. Each JACK
// cycle's MIDI becomes one event list delivered before processReplacing on
// the port buffers; JACK's changes of block size or rate suspend, reconfigure
// and resume the plug-in; a stop ends with the held notes released in one
// last block.

#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "tools/brume7-host/live/JackClient.h"
#include "tools/brume7-host/live/LiveEventList.h"
#include "tools/brume7-host/live/RecordingRing.h"
#include "tools/brume7-host/plugins/Plugin.h"

namespace brume {

struct PlayStatistics {
  std::uint64_t frames = 0;
  double seconds = 0.0;
  std::uint64_t cycles = 0;
  std::uint64_t xruns = 0;
  double peak = 0.0;         // linear, over all outputs
  double averageLoad = 0.0;  // time in the callback over time played, 0..1
  double peakLoad = 0.0;     // the largest share of one cycle's time
  std::uint64_t droppedEvents = 0;
  std::uint64_t lostRecordingFrames = 0;
};

class LivePlayer {
 public:
  // Registers the ports ("midi_in", "in_N", "out_N") and the callbacks on the
  // inactive `client`. The plug-in is configured at the client's rate and
  // block size and started; `recording`, if given, takes every output. Main thread.
  LivePlayer(Plugin& plugin, JackClient& client, std::size_t eventCapacity, RecordingRing* recording);
  // Deactivates the client: the callbacks must not outlive the player.
  ~LivePlayer();

  LivePlayer(const LivePlayer&) = delete;
  LivePlayer& operator=(const LivePlayer&) = delete;

  std::string midiPortName() const;
  std::vector<std::string> outputPortNames() const;

  // Held by every thread but the audio thread around its plug-in calls, so that
  // JACK's reconfiguration never meets the editor's calls. Not real-time safe.
  std::mutex& pluginCalls() { return controlMutex; }

  // Main thread: asks the audio thread for the last block (note-offs and
  // controller 123, then one process call) and waits for it up to `timeout`.
  bool finish(std::chrono::milliseconds timeout);
  // Main thread, once the client is inactive: the last block, when JACK did not run it.
  void finishWithoutJack();

  // Any thread.
  bool serverGone() const { return shutDown.load(std::memory_order_relaxed); }
  PlayStatistics statistics() const;

  // The JACK process callback. JACK's audio thread: no allocation, lock, I/O or printing.
  int process(jack_nframes_t frames) noexcept;

 private:
  static int processCallback(jack_nframes_t frames, void* player);
  static int bufferSizeCallback(jack_nframes_t frames, void* player);
  static int sampleRateCallback(jack_nframes_t rate, void* player);
  static int xrunCallback(void* player);
  static void shutdownCallback(void* player);

  // JACK's notification thread: suspends, reconfigures and resumes the plug-in while the audio thread waits.
  void reconfigure(double sampleRate, int blockSize);
  void render(float** inputs, float** outputs, jack_nframes_t frames, bool last) noexcept;
  void sizeSpareBuffers(int frames);

  Plugin& instance;
  JackClient& jack;
  RecordingRing* recorder;
  LiveEventList events;
  jack_port_t* midiPort = nullptr;
  std::vector<jack_port_t*> inputPorts;
  std::vector<jack_port_t*> outputPorts;
  // At least one of each for the plug-in; a plug-in without inputs reads the spare silent one.
  std::vector<float*> inputPointers;
  std::vector<float*> outputPointers;
  std::vector<std::vector<float>> spareBuffers;

  std::mutex controlMutex;
  double rate;
  int blockSize;
  // The pause handshake: the audio thread is `busy` inside a cycle, `paused` makes it output silence.
  std::atomic<bool> busy{false};
  std::atomic<bool> paused{false};
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> finished{false};
  std::atomic<bool> shutDown{false};

  std::atomic<std::uint64_t> framesPlayed{0};
  std::atomic<std::uint64_t> cycles{0};
  std::atomic<std::uint64_t> xruns{0};
  std::atomic<float> peakLevel{0.0f};
  std::atomic<double> busySeconds{0.0};
  std::atomic<double> playedSeconds{0.0};
  std::atomic<double> peakLoad{0.0};
};

}  // namespace brume
