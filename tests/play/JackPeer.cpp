// A JACK test peer for `brume7-host play`: one client, "PREFIX-feed", sends a
// MIDI phrase from its port midi_out at known frames; another, "PREFIX-capture",
// records its ports in_1 and in_2 from the frame the phrase starts. The phrase
// starts once both are connected (only in_1 for "mono"). Optionally JACK's
// buffer size is changed partway, as jack_bufsize does.
//
// Usage: play_jack_peer PREFIX EVENTS CAPTURE FRAMES [RESIZE_AFTER NEW_SIZE] [mono]
//   EVENTS   lines "FRAME STATUS DATA1 DATA2" (decimal), by frame
//   CAPTURE  written as raw interleaved 32-bit floats, two channels
// Prints "ready" once its ports exist; exits 0 once FRAMES frames are captured.

#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct MidiAt {
  std::uint64_t frame;
  unsigned char bytes[3];
};

// Cycles to wait after the connections are made, so that the player is surely running.
constexpr int kSettleCycles = 8;

struct Peer {
  jack_client_t* feedClient = nullptr;
  jack_client_t* captureClient = nullptr;
  jack_port_t* midiOut = nullptr;
  jack_port_t* captureIn[2] = {nullptr, nullptr};
  std::vector<MidiAt> phrase;
  std::size_t nextEvent = 0;
  int settled = 0;
  std::uint64_t fed = 0;  // frames since the phrase started
  std::atomic<bool> started{false};
  bool mono = false;  // a mono instrument's one output goes to in_1
  std::atomic<jack_nframes_t> startTime{0};
  std::vector<float> captured;  // made up front
  std::atomic<std::size_t> capturedFrames{0};
  std::size_t wantedFrames = 0;
};

int feed(jack_nframes_t frames, void* argument) {
  auto* peer = static_cast<Peer*>(argument);
  void* buffer = jack_port_get_buffer(peer->midiOut, frames);
  jack_midi_clear_buffer(buffer);
  if (!peer->started.load()) {
    const bool connected = jack_port_connected(peer->midiOut) > 0 && jack_port_connected(peer->captureIn[0]) > 0 &&
                           (peer->mono || jack_port_connected(peer->captureIn[1]) > 0);
    peer->settled = connected ? peer->settled + 1 : 0;
    if (peer->settled < kSettleCycles) return 0;
    peer->startTime = jack_last_frame_time(peer->feedClient);
    peer->started = true;
  }
  while (peer->nextEvent < peer->phrase.size() && peer->phrase[peer->nextEvent].frame < peer->fed + frames) {
    const MidiAt& event = peer->phrase[peer->nextEvent++];
    jack_midi_event_write(buffer, static_cast<jack_nframes_t>(event.frame - peer->fed), event.bytes, 3);
  }
  peer->fed += frames;
  return 0;
}

int capture(jack_nframes_t frames, void* argument) {
  auto* peer = static_cast<Peer*>(argument);
  if (!peer->started.load()) return 0;
  // Both clients see the same cycle start: capture from the cycle the phrase starts in.
  if (peer->capturedFrames.load() == 0 &&
      static_cast<std::int32_t>(jack_last_frame_time(peer->captureClient) - peer->startTime.load()) < 0) {
    return 0;
  }
  const auto* left = static_cast<const float*>(jack_port_get_buffer(peer->captureIn[0], frames));
  const auto* right = static_cast<const float*>(jack_port_get_buffer(peer->captureIn[1], frames));
  std::size_t done = peer->capturedFrames.load();
  for (jack_nframes_t i = 0; i < frames && done < peer->wantedFrames; ++i, ++done) {
    peer->captured[2 * done] = left[i];
    peer->captured[2 * done + 1] = right[i];
  }
  peer->capturedFrames = done;
  return 0;
}

jack_client_t* openClient(const std::string& name) {
  jack_status_t status{};
  jack_client_t* client = jack_client_open(name.c_str(), JackOptions(JackNoStartServer | JackUseExactName), &status);
  if (client == nullptr) std::fprintf(stderr, "play_jack_peer: cannot open client %s (0x%x)\n", name.c_str(), status);
  return client;
}

}  // namespace

int main(int argc, char** argv) {
  Peer peer;
  if (argc > 1 && std::strcmp(argv[argc - 1], "mono") == 0) {
    peer.mono = true;
    --argc;
  }
  if (argc != 5 && argc != 7) {
    std::fprintf(stderr, "usage: play_jack_peer PREFIX EVENTS CAPTURE FRAMES [RESIZE_AFTER NEW_SIZE] [mono]\n");
    return 2;
  }
  const std::string prefix = argv[1];
  std::ifstream events(argv[2]);
  unsigned long long frame = 0;
  unsigned status = 0, data1 = 0, data2 = 0;
  while (events >> frame >> status >> data1 >> data2) {
    peer.phrase.push_back(MidiAt{
        frame,
        {static_cast<unsigned char>(status), static_cast<unsigned char>(data1), static_cast<unsigned char>(data2)}});
  }
  peer.wantedFrames = std::strtoul(argv[4], nullptr, 10);
  peer.captured.assign(peer.wantedFrames * 2, 0.0f);
  const std::size_t resizeAfter = argc == 7 ? std::strtoul(argv[5], nullptr, 10) : 0;
  const auto newSize = static_cast<jack_nframes_t>(argc == 7 ? std::strtoul(argv[6], nullptr, 10) : 0);

  peer.feedClient = openClient(prefix + "-feed");
  peer.captureClient = openClient(prefix + "-capture");
  if (peer.feedClient == nullptr || peer.captureClient == nullptr) return 1;
  peer.midiOut = jack_port_register(peer.feedClient, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
  peer.captureIn[0] = jack_port_register(peer.captureClient, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  peer.captureIn[1] = jack_port_register(peer.captureClient, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(peer.feedClient, feed, &peer);
  jack_set_process_callback(peer.captureClient, capture, &peer);
  if (jack_activate(peer.feedClient) != 0 || jack_activate(peer.captureClient) != 0) return 1;
  std::printf("ready\n");
  std::fflush(stdout);

  bool resized = newSize == 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (peer.capturedFrames.load() < peer.wantedFrames) {
    if (std::chrono::steady_clock::now() > deadline) {
      std::fprintf(stderr, "play_jack_peer: captured %zu of %zu frames in 30 s (started: %d)\n",
                   peer.capturedFrames.load(), peer.wantedFrames, peer.started.load() ? 1 : 0);
      return 1;
    }
    if (!resized && peer.capturedFrames.load() >= resizeAfter) {
      resized = true;
      if (jack_set_buffer_size(peer.feedClient, newSize) != 0) {
        std::fprintf(stderr, "play_jack_peer: the buffer size did not change\n");
        return 1;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  jack_client_close(peer.feedClient);
  jack_client_close(peer.captureClient);
  std::FILE* out = std::fopen(argv[3], "wb");
  if (out == nullptr) return 1;
  const bool written =
      std::fwrite(peer.captured.data(), sizeof(float), peer.captured.size(), out) == peer.captured.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
