#include "tools/brume7-host/live/LivePlayer.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

// JACK's usual largest buffer; the spare buffers grow when JACK goes beyond.
constexpr int kInitialSpareFrames = 8192;

template <typename T>
void addRelaxed(std::atomic<T>& total, T amount) {
  total.store(total.load(std::memory_order_relaxed) + amount, std::memory_order_relaxed);
}

}  // namespace

LivePlayer::LivePlayer(Plugin& plugin, JackClient& client, std::size_t eventCapacity, RecordingRing* recording)
    : instance(plugin),
      jack(client),
      recorder(recording),
      events(eventCapacity),
      rate(client.sampleRate()),
      blockSize(client.bufferSize()) {
  if (recording != nullptr && recording->channels() != plugin.outputCount()) {
    throw ToolError("a recording of " + std::to_string(recording->channels()) + " channels cannot take the plug-in's " +
                    std::to_string(plugin.outputCount()) + " outputs");
  }
  midiPort = client.registerPort("midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
  for (int i = 0; i < plugin.inputCount(); ++i) {
    inputPorts.push_back(client.registerPort("in_" + std::to_string(i + 1), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput));
  }
  for (int i = 0; i < plugin.outputCount(); ++i) {
    outputPorts.push_back(
        client.registerPort("out_" + std::to_string(i + 1), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput));
  }
  inputPointers.assign(std::max<std::size_t>(1, inputPorts.size()), nullptr);
  outputPointers.assign(std::max<std::size_t>(1, outputPorts.size()), nullptr);
  sizeSpareBuffers(std::max(kInitialSpareFrames, blockSize));
  plugin.reserveEvents(events.capacity());

  jack_client_t* handle = client.handle();
  if (jack_set_process_callback(handle, processCallback, this) != 0 ||
      jack_set_buffer_size_callback(handle, bufferSizeCallback, this) != 0 ||
      jack_set_sample_rate_callback(handle, sampleRateCallback, this) != 0 ||
      jack_set_xrun_callback(handle, xrunCallback, this) != 0) {
    throw ToolError("the JACK server refused the client's callbacks");
  }
  jack_on_shutdown(handle, shutdownCallback, this);
}

LivePlayer::~LivePlayer() { jack.deactivate(); }

std::string LivePlayer::midiPortName() const { return jack_port_name(midiPort); }

std::vector<std::string> LivePlayer::outputPortNames() const {
  std::vector<std::string> names;
  for (jack_port_t* port : outputPorts) names.emplace_back(jack_port_name(port));
  return names;
}

void LivePlayer::sizeSpareBuffers(int frames) {
  // Silent inputs for a plug-in without any, and the outputs of a last block rendered without JACK.
  const std::size_t count = inputPointers.size() + outputPointers.size();
  spareBuffers.assign(count, std::vector<float>(static_cast<std::size_t>(frames), 0.0f));
}

int LivePlayer::processCallback(jack_nframes_t frames, void* player) {
  return static_cast<LivePlayer*>(player)->process(frames);
}

int LivePlayer::process(jack_nframes_t frames) noexcept {
  busy.store(true);
  const bool silent = paused.load() || finished.load(std::memory_order_acquire);
  for (std::size_t i = 0; i < outputPointers.size(); ++i) {
    outputPointers[i] = i < outputPorts.size() ? static_cast<float*>(jack_port_get_buffer(outputPorts[i], frames))
                                               : spareBuffers[inputPointers.size() + i].data();
  }
  if (silent) {
    for (std::size_t i = 0; i < outputPorts.size(); ++i) std::memset(outputPointers[i], 0, sizeof(float) * frames);
    busy.store(false);
    return 0;
  }
  const auto started = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < inputPointers.size(); ++i) {
    inputPointers[i] = i < inputPorts.size() ? static_cast<float*>(jack_port_get_buffer(inputPorts[i], frames))
                                             : spareBuffers[i].data();
  }

  instance.applyEditorChanges();

  events.clear();
  void* midi = jack_port_get_buffer(midiPort, frames);
  const jack_nframes_t count = jack_midi_get_event_count(midi);
  for (jack_nframes_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, midi, i) == 0) events.add(event.time, event.buffer, event.size);
  }
  const bool last = stopRequested.load(std::memory_order_acquire);
  render(inputPointers.data(), outputPointers.data(), frames, last);

  const double cycleSeconds = static_cast<double>(frames) / rate;
  const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  addRelaxed(busySeconds, spent);
  addRelaxed(playedSeconds, cycleSeconds);
  if (spent / cycleSeconds > peakLoad.load(std::memory_order_relaxed)) {
    peakLoad.store(spent / cycleSeconds, std::memory_order_relaxed);
  }
  if (last) finished.store(true, std::memory_order_release);
  busy.store(false);
  return 0;
}

void LivePlayer::render(float** inputs, float** outputs, jack_nframes_t frames, bool last) noexcept {
  // After the cycle's own events: an event list (an LV2 sequence above all) runs in time order.
  if (last) events.addReleases(events.lastFrame());
  if (events.size() > 0) instance.sendEvents(events.data(), events.size());
  instance.process(inputs, outputs, static_cast<int>(frames));

  float peak = peakLevel.load(std::memory_order_relaxed);
  for (std::size_t channel = 0; channel < outputPorts.size(); ++channel) {
    for (jack_nframes_t i = 0; i < frames; ++i) peak = std::max(peak, std::fabs(outputs[channel][i]));
  }
  peakLevel.store(peak, std::memory_order_relaxed);
  if (recorder != nullptr) recorder->write(outputs, frames);
  framesPlayed.fetch_add(frames, std::memory_order_relaxed);
  cycles.fetch_add(1, std::memory_order_relaxed);
}

bool LivePlayer::finish(std::chrono::milliseconds timeout) {
  stopRequested.store(true, std::memory_order_release);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!finished.load(std::memory_order_acquire)) {
    if (std::chrono::steady_clock::now() >= deadline || serverGone()) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

void LivePlayer::finishWithoutJack() {
  if (finished.load(std::memory_order_acquire)) return;
  const auto frames = static_cast<jack_nframes_t>(std::min<std::size_t>(blockSize, spareBuffers[0].size()));
  for (std::size_t i = 0; i < inputPointers.size(); ++i) inputPointers[i] = spareBuffers[i].data();
  for (std::size_t i = 0; i < outputPointers.size(); ++i) {
    outputPointers[i] = spareBuffers[inputPointers.size() + i].data();
    std::fill(spareBuffers[inputPointers.size() + i].begin(), spareBuffers[inputPointers.size() + i].end(), 0.0f);
  }
  for (std::size_t i = 0; i < inputPointers.size(); ++i)
    std::fill(spareBuffers[i].begin(), spareBuffers[i].end(), 0.0f);
  events.clear();
  render(inputPointers.data(), outputPointers.data(), frames, true);
  finished.store(true, std::memory_order_release);
}

int LivePlayer::bufferSizeCallback(jack_nframes_t frames, void* player) {
  auto* self = static_cast<LivePlayer*>(player);
  self->reconfigure(self->rate, static_cast<int>(frames));
  return 0;
}

int LivePlayer::sampleRateCallback(jack_nframes_t newRate, void* player) {
  auto* self = static_cast<LivePlayer*>(player);
  self->reconfigure(static_cast<double>(newRate), self->blockSize);
  return 0;
}

void LivePlayer::reconfigure(double sampleRate, int frames) {
  if (sampleRate == rate && frames == blockSize) return;
  std::lock_guard<std::mutex> lock(controlMutex);
  // Either the audio thread sees the pause, or this thread sees it busy and waits for the cycle's end.
  paused.store(true);
  while (busy.load()) std::this_thread::sleep_for(std::chrono::microseconds(100));
  instance.stop();
  instance.configure(sampleRate, frames);
  if (frames > static_cast<int>(spareBuffers[0].size())) sizeSpareBuffers(frames);
  rate = sampleRate;
  blockSize = frames;
  instance.start();
  paused.store(false);
}

int LivePlayer::xrunCallback(void* player) {
  static_cast<LivePlayer*>(player)->xruns.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

void LivePlayer::shutdownCallback(void* player) {
  static_cast<LivePlayer*>(player)->shutDown.store(true, std::memory_order_relaxed);
}

PlayStatistics LivePlayer::statistics() const {
  PlayStatistics statistics;
  statistics.frames = framesPlayed.load(std::memory_order_relaxed);
  statistics.seconds = playedSeconds.load(std::memory_order_relaxed);
  statistics.cycles = cycles.load(std::memory_order_relaxed);
  statistics.xruns = xruns.load(std::memory_order_relaxed);
  statistics.peak = peakLevel.load(std::memory_order_relaxed);
  statistics.averageLoad =
      statistics.seconds > 0.0 ? busySeconds.load(std::memory_order_relaxed) / statistics.seconds : 0.0;
  statistics.peakLoad = peakLoad.load(std::memory_order_relaxed);
  statistics.droppedEvents = events.droppedEvents();
  statistics.lostRecordingFrames = recorder != nullptr ? recorder->lostFrames() : 0;
  return statistics;
}

}  // namespace brume
