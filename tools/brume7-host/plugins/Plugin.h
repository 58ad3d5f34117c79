#pragma once
// The one interface through which the commands reach a plug-in, whatever its
// format: identity, parameters, programs, lifecycle, the block's MIDI events
// and processing. A VST 2 and an LV2 implementation stand behind it;
// openPlugin (OpenPlugin.h) decides which.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brume {

enum class PluginFormat { Vst2, Lv2 };

// What the host reports about itself: rate, largest block and tempo.
struct HostSettings {
  double sampleRate = 44100.0;
  int blockSize = 512;
  double tempoBpm = 120.0;
};

// One MIDI channel message at a frame of the block (bytes past `size` are 0).
struct MidiEvent {
  std::uint32_t frame = 0;
  std::uint8_t size = 0;
  std::uint8_t bytes[3] = {0, 0, 0};
};

// The values a parameter takes: 0 to 1 for VST 2, a port's own range for LV2.
struct ParameterRange {
  float minimum = 0.0f;
  float maximum = 1.0f;
};

class Plugin {
 public:
  virtual ~Plugin() = default;

  // Identity. Main thread.
  virtual PluginFormat format() const = 0;
  // The file, bundle or URI it was opened from.
  virtual const std::string& location() const = 0;
  virtual std::string name() = 0;
  virtual std::string vendor() = 0;
  // The unique ID ("'BRM7' (0x42524D37)") or the plug-in's URI.
  virtual std::string idText() = 0;
  virtual std::string versionText() = 0;
  virtual bool isInstrument() = 0;

  // Counts; any time after opening. Main thread.
  virtual int inputCount() const = 0;
  virtual int outputCount() const = 0;
  virtual int parameterCount() const = 0;

  // Parameter texts and values; an index out of range gives "" and 0. Main thread.
  virtual std::string parameterName(int index) = 0;
  virtual std::string parameterDisplay(int index) = 0;
  virtual std::string parameterLabel(int index) = 0;
  virtual float parameter(int index) = 0;
  virtual ParameterRange parameterRange(int index) const = 0;
  // The parameter a command line names: its name (an LV2 port's symbol too),
  // any case, else its index; -1 when nothing matches. Main thread.
  virtual int findParameter(const std::string& key);
  // Audio thread between blocks, or the main thread while stopped; real-time safe.
  virtual void setParameter(int index, float value) noexcept = 0;

  // Programs; valid once configured. Main thread.
  virtual int programCount() = 0;
  virtual std::string programName(int index) = 0;
  // False for an index outside the programs.
  virtual bool selectProgram(int index) = 0;
  // The current program, or -1 when the plug-in cannot tell.
  virtual int currentProgram() = 0;

  // What VST 2 preset files (.fxp, .fxb) need; the defaults are those of a
  // format without such files. Main thread, configured and stopped; not real-time safe.
  // The unique id and the version that the files record; false without them.
  virtual bool presetFileIdentity(std::int32_t& /*uniqueId*/, std::int32_t& /*version*/) { return false; }
  // Renames the current program.
  virtual void renameProgram(const std::string& /*name*/) {}
  // True when the plug-in's programs travel as opaque chunks of its own.
  virtual bool programsAreChunks() { return false; }
  // The plug-in's chunk of its current program (`program`) or of all its programs; empty when it gives none.
  virtual std::vector<std::uint8_t> saveChunk(bool /*program*/) { return {}; }
  // Hands such a chunk back; false when the plug-in refuses it.
  virtual bool loadChunk(const std::vector<std::uint8_t>& /*chunk*/, bool /*program*/) { return false; }

  // Lifecycle. Main thread, while stopped: the first call opens the plug-in at
  // this rate and largest block size, later ones change them.
  virtual void configure(double sampleRate, int maxBlockSize) = 0;
  virtual void start() = 0;
  virtual void stop() = 0;
  // The tempo reported from the next block on. Audio thread between blocks, or main thread; real-time safe.
  virtual void setTempo(double bpm) noexcept = 0;

  // Main thread, before starting: room for `capacity` events in one block.
  virtual void reserveEvents(std::size_t capacity) = 0;
  // Audio thread: the events of the next process call, in frame order; those
  // past the reserved capacity are dropped. Real-time safe.
  virtual void sendEvents(const MidiEvent* events, std::size_t count) noexcept = 0;
  // Audio thread: renders `frames` (at most the configured block size) into
  // every output, overwriting them. Real-time safe as far as the plug-in is.
  virtual void process(const float* const* inputs, float* const* outputs, int frames) noexcept = 0;
  // Audio thread: applies the changes that the plug-in's own editor reported
  // since the last call (a live host's duty). Real-time safe.
  virtual void applyEditorChanges() noexcept {}

  // The report of `info`: the identity lines before the parameter table, and
  // what follows the programs. Main thread.
  virtual std::string describeIdentity() = 0;
  virtual std::string describeDetails() { return ""; }
};

}  // namespace brume
