#include "tools/brume7-host/render/RenderSession.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "tools/brume7-host/midi/DemoSong.h"
#include "tools/brume7-host/midi/MidiSong.h"
#include "tools/brume7-host/midi/TempoMap.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/ToolError.h"

namespace brume {
namespace {

std::int64_t framesFor(double seconds, double sampleRate) {
  return static_cast<std::int64_t>(std::llround(seconds * sampleRate));
}

}  // namespace

RenderSession::RenderSession(const RenderOptions& options) {
  settings.sampleRate = options.sampleRate;
  settings.blockSize = options.blockSize;
  blockSizes = options.resolvedBlockSizes();
  outputChannels = options.channels;

  // The song first: a bad MIDI file should fail before a plug-in is loaded.
  MidiSong song;
  const bool hasSong = options.demo || !options.midiPath.empty();
  if (options.demo) {
    song = makeDemoSong(options.tempoBpm.value_or(120.0));
  } else if (!options.midiPath.empty()) {
    song = readMidiFile(options.midiPath);
  }
  const TempoMap tempo(song);
  settings.tempoBpm = options.tempoBpm.value_or(hasSong ? tempo.initialBpm() : 120.0);
  if (hasSong) events = scheduleSong(song, tempo, options.sampleRate);

  if (!options.inputPath.empty()) {
    inputAudio = readAudioFile(options.inputPath);
    if (std::fabs(inputAudio.sampleRate - options.sampleRate) > 0.5) {
      throw ToolError("input '" + options.inputPath + "' is at " + std::to_string(inputAudio.sampleRate) +
                      " Hz and the render at " + std::to_string(static_cast<long>(options.sampleRate)) +
                      " Hz; use --rate " + std::to_string(inputAudio.sampleRate));
    }
  }

  const SetupPresets presets = readSetupPresets(options.setup);

  instance = openPlugin(options.pluginPath, settings);
  Plugin& plugin = *instance;
  plugin.configure(settings.sampleRate, settings.blockSize);

  if (plugin.outputCount() < 1) throw ToolError("plug-in '" + plugin.location() + "' has no audio outputs");
  if (outputChannels > plugin.outputCount() && plugin.outputCount() != 1) {
    throw ToolError("--channels " + std::to_string(outputChannels) + ": the plug-in has only " +
                    std::to_string(plugin.outputCount()) + " outputs");
  }
  if (!options.inputPath.empty() && plugin.inputCount() < 1) {
    throw ToolError("--input: plug-in '" + plugin.location() + "' has no audio inputs");
  }
  applyPluginSetup(plugin, options.setup, presets);
  std::vector<TimedAssignment> automation = options.automation;
  if (options.demo) {
    for (const TimedAssignment& change : makeDemoAutomation(settings.tempoBpm)) {
      const int index = plugin.findParameter(change.assignment.parameter);
      if (index >= 0) {
        // The demo's values are fractions of the parameter's range (where it has a finite one).
        const ParameterRange range = plugin.parameterRange(index);
        const float span = range.maximum - range.minimum;
        const float value =
            std::isfinite(span) ? range.minimum + change.assignment.value * span : change.assignment.value;
        events.addParameter(framesFor(change.seconds, options.sampleRate), index, value);
      } else if (std::find(skippedNames.begin(), skippedNames.end(), change.assignment.parameter) ==
                 skippedNames.end()) {
        skippedNames.push_back(change.assignment.parameter);
      }
    }
  }
  for (const TimedAssignment& change : automation) {
    events.addParameter(framesFor(change.seconds, options.sampleRate), resolveSetting(plugin, change.assignment),
                        change.assignment.value);
  }

  if (options.lengthSeconds) {
    frameTotal = framesFor(*options.lengthSeconds, options.sampleRate);
  } else {
    const std::int64_t lastEvent = std::max<std::int64_t>(events.lastFrame() + 1, 0);
    frameTotal = lastEvent + framesFor(options.tailSeconds, options.sampleRate);
    frameTotal = std::max(frameTotal, inputAudio.frameCount());
  }
  frameTotal = std::max<std::int64_t>(frameTotal, 1);

  plugin.start();
}

RenderSession::~RenderSession() = default;

double RenderSession::run(const Sink& sink, const Progress& progress) {
  BlockRenderer renderer(*instance, events, blockSizes, inputAudio.channels > 0 ? &inputAudio : nullptr);
  const int pluginOutputs = instance->outputCount();
  std::vector<float> interleaved(static_cast<std::size_t>(settings.blockSize) *
                                 static_cast<std::size_t>(outputChannels));
  const BlockRenderer::Sink collect = [&](float* const* outputs, int frames, std::int64_t) {
    for (int channel = 0; channel < outputChannels; ++channel) {
      // A mono plug-in fills every channel written.
      const float* source = outputs[pluginOutputs == 1 ? 0 : channel];
      for (int i = 0; i < frames; ++i) {
        interleaved[static_cast<std::size_t>(i * outputChannels + channel)] = source[i];
      }
    }
    sink(interleaved.data(), static_cast<std::size_t>(frames));
  };

  const BlockRenderer::Sink none;
  const BlockRenderer::Sink& pieces = sink ? collect : none;

  const auto start = std::chrono::steady_clock::now();
  while (renderer.renderBlock(frameTotal, pieces) > 0) {
    if (progress) progress(renderer.position(), frameTotal);
  }
  const auto end = std::chrono::steady_clock::now();
  processCallCount = renderer.processCalls();
  return std::chrono::duration<double>(end - start).count();
}

}  // namespace brume
