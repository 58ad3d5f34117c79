// brume7-host play: a VST 2 or LV2 instrument as a JACK client, played live
// from MIDI ports, optionally with its (VST 2) editor in a window of its own
// and a recording.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/brume7-host/ToolError.h"
#include "tools/brume7-host/audio/LevelMeter.h"
#include "tools/brume7-host/audio/StopSignals.h"
#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/live/JackClient.h"
#include "tools/brume7-host/live/LivePlayer.h"
#include "tools/brume7-host/live/PlayOptions.h"
#include "tools/brume7-host/live/RecordingWriter.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"
#include "tools/brume7-host/plugins/vst2/Vst2Plugin.h"

#ifdef BRUME_HOST_PLAY_WITH_EDITOR
#include "tools/brume7-host/plugins/vst2/EditorWindow.h"
#endif

namespace brume {
namespace {

const char kPlayHelp[] =
    "Usage: brume7-host play [OPTIONS] [PLUGIN]\n"
    "\n"
    "Plays a VST 2 or LV2 instrument live as a JACK client (JACK, or PipeWire's\n"
    "JACK):\n"
    "MIDI from the client's port midi_in, sound out of its ports out_1, out_2...\n"
    "(and into in_1... for a plug-in with audio inputs). Sample rate and block\n"
    "size are JACK's; when JACK changes them the plug-in is suspended,\n"
    "reconfigured and resumed. Each cycle's MIDI reaches the plug-in as one event\n"
    "list (an LV2 plug-in: one atom sequence), at its frame in the cycle, before\n"
    "the cycle's process call.\n"
    "The client is named after the plug-in (JACK adds a number when it is taken).\n"
    "\n"
    "It plays until --seconds are up, Ctrl-C or SIGTERM, or the editor window is\n"
    "closed. Then the held notes get their note-offs and controller 123 in one last\n"
    "block, the plug-in is suspended and closed, the recording is completed, and a\n"
    "line tells the time played, the xruns JACK reported, the peak level and the\n"
    "DSP load (the time spent in the plug-in as a share of the time played).\n"
    "\n"
    "Arguments:\n"
    "  PLUGIN                the instrument: a VST 2 module file, or an LV2 plug-in\n"
    "                        by URI or bundle folder (default: Brume7.so beside\n"
    "                        brume7-host)\n"
    "\n"
    "Options:\n"
    "  --bank FILE.fxb       load a VST 2 bank before playing: each program\n"
    "                        selected, named and given its values (or the bank's\n"
    "                        chunk), then the bank's current program selected\n"
    "                        (format version 2), else program 0\n"
    "  --program N           select program N before playing (after --bank)\n"
    "  --preset FILE.fxp     load a VST 2 program into the current program (after\n"
    "                        --program)\n"
    "  --set NAME=VALUE      set a parameter (name, an LV2 port's symbol, or index;\n"
    "                        VALUE 0..1 for VST 2, in the port's range for LV2)\n"
    "                        before playing; repeatable, applied last\n"
    "  --force               load preset files made for another plug-in's unique\n"
    "                        ID, and go on when the plug-in answers 0 to a chunk\n"
    "  --connect-midi PORT   take MIDI from this JACK port; repeatable (default:\n"
    "                        every physical MIDI capture port, e.g. a keyboard)\n"
    "  --connect-audio PORT  send the next output to this JACK port: the first one\n"
    "                        given takes out_1, the next out_2... (default: the\n"
    "                        first physical playback ports, out_1 to the first)\n"
    "  --no-connect          make no default connections (the ports given with\n"
    "                        --connect-midi and --connect-audio are still made)\n"
    "  --editor              show the plug-in's editor in a window titled with its\n"
    "                        name (needs $DISPLAY; VST 2 only); its edits reach\n"
    "                        the sound\n"
    "  --record FILE         write what is played to FILE: WAV, or FLAC for a name\n"
    "                        ending in .flac; named FILE only once complete\n"
    "  --format F            the recording's samples: float, pcm16 or pcm24\n"
    "                        (default: float; pcm24 for FLAC)\n"
    "  --seconds S           stop after S seconds\n"
    "  --max-events N        MIDI events one cycle can pass on (default 1024); more\n"
    "                        are counted and reported at the end\n"
    "  -h, --help            show this help\n"
    "\n"
    "The server is the one $JACK_DEFAULT_SERVER names, else the default one; play\n"
    "never starts a server. Start one with e.g. 'jackd -d alsa', or run on PipeWire\n"
    "(with pipewire-jack installed: 'pw-jack brume7-host play').\n";

constexpr auto kIdlePeriod = std::chrono::milliseconds(30);
constexpr auto kLastBlockTimeout = std::chrono::milliseconds(2000);
constexpr double kRecordingRingSeconds = 4.0;
constexpr VstInt32 kEditorGetRect = 13;
constexpr VstInt32 kEditorOpen = 14;
constexpr VstInt32 kEditorClose = 15;
constexpr VstInt32 kEditorIdle = 19;

std::string formatStatistics(const PlayStatistics& played, double sampleRate, const RecordingWriter* recording) {
  const double peak = LevelMeter::toDecibels(played.peak);
  char peakText[32] = "-inf";
  if (std::isfinite(peak)) std::snprintf(peakText, sizeof peakText, "%.1f", peak);
  char line[256];
  std::snprintf(line, sizeof line, "played %.1f s, %llu xrun%s, peak %s dBFS, DSP load %.1f%% (peak %.1f%%)",
                static_cast<double>(played.frames) / sampleRate, static_cast<unsigned long long>(played.xruns),
                played.xruns == 1 ? "" : "s", peakText, played.averageLoad * 100.0, played.peakLoad * 100.0);
  std::string text = line;
  if (played.droppedEvents > 0) {
    text += ", " + std::to_string(played.droppedEvents) + " MIDI events dropped (more than a cycle holds)";
  }
  if (recording != nullptr) {
    text += "; recorded '" + recording->path() + "'";
    if (played.lostRecordingFrames > 0) {
      text += " (" + std::to_string(played.lostRecordingFrames) + " frames lost: the disk was too slow)";
    }
  }
  return text;
}

#ifdef BRUME_HOST_PLAY_WITH_EDITOR
// The plug-in's editor in a top-level window, open while this lives.
class EditorSession {
 public:
  // Opens the editor in a new window and shows it; check shown().
  EditorSession(PluginInstance& plugin, Display* display, std::mutex& pluginCalls)
      : plugin(plugin), pluginCalls(pluginCalls) {
    {
      std::lock_guard<std::mutex> lock(pluginCalls);
      ERect* rect = nullptr;
      int width = 400;
      int height = 300;
      if (plugin.dispatch(kEditorGetRect, 0, 0, &rect) != 0 && rect != nullptr && rect->right > rect->left &&
          rect->bottom > rect->top) {
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
      }
      const std::string name = plugin.effectName();
      window = std::make_unique<HostWindow>(display, width, height, name.empty() ? "brume7-host" : name);
      plugin.dispatch(kEditorOpen, 0, reinterpret_cast<VstIntPtr>(display),
                      reinterpret_cast<void*>(static_cast<std::uintptr_t>(window->id)));
      open = true;
    }
    window->show();
  }
  ~EditorSession() { close(); }
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // One round of the host's idle: the window's events, the editor's idle. False once the window is closed.
  bool idle() {
    window->handleEvents();
    if (window->closed()) return false;
    std::lock_guard<std::mutex> lock(pluginCalls);
    plugin.dispatch(kEditorIdle);
    return true;
  }

  bool shown() const { return window->isMapped(); }

  void close() {
    if (!open) return;
    open = false;
    std::lock_guard<std::mutex> lock(pluginCalls);
    plugin.dispatch(kEditorClose);
  }

 private:
  PluginInstance& plugin;
  std::mutex& pluginCalls;
  std::unique_ptr<HostWindow> window;
  bool open = false;
};
#endif

int runPlay(const std::vector<std::string>& arguments) {
  const PlayOptions options = parsePlayOptions(arguments);
  const std::string path = options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath;
  if (options.editor && pluginFormatOf(path) == PluginFormat::Lv2) {
    throw ToolError("--editor: '" + path + "' is an LV2 plug-in; play shows VST 2 editors only");
  }

#ifdef BRUME_HOST_PLAY_WITH_EDITOR
  std::optional<DisplayConnection> display;
  if (options.editor) display.emplace();
#else
  if (options.editor) throw ToolError("this brume7-host was built without X11: --editor is not available");
#endif

  const SetupPresets presets = readSetupPresets(options.setup);
  const std::unique_ptr<Plugin> opened = openPlugin(path, HostSettings{}, PluginUse::Live);
  Plugin& plugin = *opened;
  if (!plugin.isInstrument()) {
    throw ToolError("plug-in '" + path + "' is not an instrument (no synthesizer flag or category): play needs one");
  }
  if (plugin.outputCount() <= 0) throw ToolError("plug-in '" + path + "' has no audio outputs to play");
  auto* vst2 = dynamic_cast<Vst2Plugin*>(&plugin);
  if (options.editor && (vst2 == nullptr || (vst2->vst2Instance().record().flags & kFlagHasEditor) == 0)) {
    throw ToolError("plug-in '" + path + "' has no editor (flag 0x001 is clear)");
  }

  JackClient client(plugin.name());
  // Every port named must be there before anything plays.
  for (const std::string& port : options.midiPorts) {
    client.requirePort(port, JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, "a MIDI output (--connect-midi)");
  }
  for (const std::string& port : options.audioPorts) {
    client.requirePort(port, JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, "an audio input (--connect-audio)");
  }
  if (options.audioPorts.size() > static_cast<std::size_t>(plugin.outputCount())) {
    throw UsageError("--connect-audio given " + std::to_string(options.audioPorts.size()) + " times; the plug-in has " +
                     std::to_string(plugin.outputCount()) + " outputs");
  }

  plugin.configure(client.sampleRate(), client.bufferSize());
  applyPluginSetup(plugin, options.setup, presets);
  plugin.start();

  std::unique_ptr<RecordingWriter> recording;
  if (!options.recordPath.empty()) {
    AudioFileLayout layout;
    layout.channels = plugin.outputCount();
    layout.sampleRate = static_cast<int>(client.sampleRate());
    layout.format = options.resolvedFormat();
    layout.container = containerForPath(options.recordPath);
    recording = std::make_unique<RecordingWriter>(
        options.recordPath, layout, static_cast<std::size_t>(kRecordingRingSeconds * client.sampleRate()));
  }

  LivePlayer player(plugin, client, static_cast<std::size_t>(options.maxEventsPerCycle),
                    recording ? &recording->ring() : nullptr);
  StopSignals signals;
  if (recording) recording->start();
  client.activate();

  std::vector<std::string> midiSources = options.midiPorts;
  if (midiSources.empty() && !options.noConnect) {
    midiSources = client.physicalPorts(JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
  }
  for (const std::string& source : midiSources) client.connect(source, player.midiPortName());
  std::vector<std::string> audioDestinations = options.audioPorts;
  if (audioDestinations.empty() && !options.noConnect) {
    audioDestinations = client.physicalPorts(JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput);
  }
  const std::vector<std::string> outputs = player.outputPortNames();
  for (std::size_t i = 0; i < outputs.size() && i < audioDestinations.size(); ++i) {
    client.connect(outputs[i], audioDestinations[i]);
  }

#ifdef BRUME_HOST_PLAY_WITH_EDITOR
  std::optional<EditorSession> editor;
  if (display) {
    editor.emplace(vst2->vst2Instance(), display->display, player.pluginCalls());
    if (!editor->shown()) throw ToolError("the editor window did not show on the X display");
  }
#endif

  std::printf("playing as JACK client '%s' at %.0f Hz, %d frames per cycle%s\n", client.name().c_str(),
              client.sampleRate(), client.bufferSize(), options.seconds ? "" : "; Ctrl-C stops");
  std::fflush(stdout);

  const auto start = std::chrono::steady_clock::now();
  const auto deadline = options.seconds ? start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                      std::chrono::duration<double>(*options.seconds))
                                        : std::chrono::steady_clock::time_point::max();
  auto nextIdle = start;
  while (!StopSignals::requested() && !player.serverGone()) {
#ifdef BRUME_HOST_PLAY_WITH_EDITOR
    if (editor && !editor->idle()) break;
#endif
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    nextIdle += kIdlePeriod;
    if (nextIdle < now) nextIdle = now;
    std::this_thread::sleep_until(std::min(nextIdle, deadline));
  }

  const bool lastBlockPlayed = player.finish(kLastBlockTimeout);
  client.deactivate();
#ifdef BRUME_HOST_PLAY_WITH_EDITOR
  if (editor) editor->close();
#endif
  if (!lastBlockPlayed) player.finishWithoutJack();
  plugin.stop();
  if (recording) recording->finish();
  std::printf("%s\n", formatStatistics(player.statistics(), client.sampleRate(), recording.get()).c_str());
  std::fflush(stdout);
  if (player.serverGone()) throw ToolError("the JACK server stopped while playing");
  return 0;
}

}  // namespace

const Command kPlayCommand = {"play", "play an instrument live as a JACK client, from MIDI ports", kPlayHelp, runPlay};

}  // namespace brume
