// brume7-host editor: shows a plug-in's editor in an X11 window of the tool's
// own and keeps it alive with idle calls, printing the plug-in's automation
// and edit requests so that a script can follow what the user does.

#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gui/native/raster/Canvas.h"
#include "gui/native/raster/PngExport.h"
#include "gui/native/x11/X11Capture.h"
#include "gui/native/x11/X11Connection.h"
#include "tools/brume7-host/commands/Command.h"
#include "tools/brume7-host/commands/CommandLine.h"
#include "tools/brume7-host/plugins/vst2/EditorWindow.h"
#include "tools/brume7-host/plugins/vst2/EffectOpcodes.h"
#include "tools/brume7-host/plugins/vst2/HostContext.h"
#include "tools/brume7-host/plugins/vst2/Vst2Plugin.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
#include "tools/brume7-host/presets/PluginSetup.h"
#include "tools/brume7-host/audio/StopSignals.h"
#include "tools/brume7-host/ToolError.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace brume {
namespace {

const char kEditorHelp[] =
    "Usage: brume7-host editor [PLUGIN] [OPTIONS]\n"
    "\n"
    "Loads PLUGIN as a host does (entry, open, sample rate 44100 Hz, block size 512,\n"
    "resume), asks for its editor rectangle, opens a window of that size on the X\n"
    "display ($DISPLAY), opens the editor in it and calls the editor's idle every\n"
    "30 ms until the window is closed, the time given with --seconds is up, or the\n"
    "tool is interrupted (Ctrl-C, SIGTERM). Then it closes the editor and the plug-in.\n"
    "\n"
    "Standard output gets one line per event, as it happens:\n"
    "  window ID            the X window (decimal id) holding the editor, once it shows\n"
    "  begin INDEX          the plug-in starts an edit of parameter INDEX\n"
    "  automate INDEX VALUE the plug-in reports a new VALUE (0..1) of parameter INDEX\n"
    "  end INDEX            the edit of parameter INDEX is over\n"
    "  screenshot FILE      the screenshot was written\n"
    "\n"
    "No audio is rendered here: 'brume7-host play --editor' plays while it shows.\n"
    "\n"
    "Arguments:\n"
    "  PLUGIN               the VST 2 plug-in module (default: Brume7.so beside\n"
    "                       brume7-host); an LV2 plug-in is refused: its editor\n"
    "                       is not shown here\n"
    "\n"
    "Options:\n"
    "  --seconds S          close after S seconds (default: when the window is closed)\n"
    "  --screenshot FILE    write the window's pixels as PNG after 0.5 s, once the\n"
    "                       first paint and refresh are done (or at the end, when\n"
    "                       --seconds is shorter)\n"
    "  --bank FILE.fxb      load a bank before the editor opens: each program\n"
    "                       selected, named and given its values (or the bank's\n"
    "                       chunk), then the bank's current program selected\n"
    "                       (format version 2), else program 0\n"
    "  --program N          select program N before the editor opens (after --bank)\n"
    "  --preset FILE.fxp    load a program into the current program (after\n"
    "                       --program)\n"
    "  --set NAME=VALUE     set a parameter (name or index) before the editor opens;\n"
    "                       may be repeated, applied last\n"
    "  --force              load preset files made for another plug-in's unique ID,\n"
    "                       and go on when the plug-in answers 0 to a chunk\n"
    "  -h, --help           show this help\n";

constexpr auto kIdlePeriod = std::chrono::milliseconds(30);
constexpr auto kScreenshotDelay = std::chrono::milliseconds(500);
constexpr int kFallbackWidth = 400;
constexpr int kFallbackHeight = 300;
constexpr VstInt32 kEditorGetRect = 13;
constexpr VstInt32 kEditorOpen = 14;
constexpr VstInt32 kEditorClose = 15;
constexpr VstInt32 kEditorIdle = 19;

void printLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void printLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Answers as the tool's host context does, and prints the requests a user's
// edit makes. Main thread only: the editor command renders no audio, so the
// plug-in calls back from the thread that drives its editor.
class PrintingHostContext : public HostContext {
 public:
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) noexcept override {
    const VstIntPtr result = HostContext::answer(opcode, index, value, ptr, opt);
    switch (opcode) {
      case kHostAutomate:
        printLine("automate %d %.6f", index, static_cast<double>(opt));
        break;
      case kHostBeginEdit:
        printLine("begin %d", index);
        break;
      case kHostEndEdit:
        printLine("end %d", index);
        break;
      default:
        break;
    }
    return result;
  }
};

// The editor's size, when it gives one.
std::optional<std::pair<int, int>> editorSize(PluginInstance& plugin) {
  ERect* rect = nullptr;
  if (plugin.dispatch(kEditorGetRect, 0, 0, &rect) == 0 || rect == nullptr) return std::nullopt;
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) return std::nullopt;
  return std::make_pair(width, height);
}

// The editor open in a window; closed before the window and the plug-in go, also on an error.
class OpenEditor {
 public:
  OpenEditor(PluginInstance& plugin, ::Window window, Display* display) : plugin(plugin) {
    // Hosts pass their display in `value`; the plug-in is free to use its own.
    plugin.dispatch(kEditorOpen, 0, reinterpret_cast<VstIntPtr>(display),
                    reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)));
  }
  ~OpenEditor() { plugin.dispatch(kEditorClose); }
  OpenEditor(const OpenEditor&) = delete;
  OpenEditor& operator=(const OpenEditor&) = delete;

 private:
  PluginInstance& plugin;
};

void writeScreenshot(Display* display, ::Window window, const std::string& path) {
  XSync(display, False);
  raster::Canvas pixels;
  if (!x11::captureWindow(display, window, pixels)) throw ToolError("cannot read the editor window's pixels");
  if (!raster::writePng(pixels, path)) throw ToolError("cannot write the screenshot '" + path + "'");
  printLine("screenshot %s", path.c_str());
}

int runEditor(const std::vector<std::string>& arguments) {
  std::vector<OptionRule> rules = {{"--seconds", "", true}, {"--screenshot", "", true}};
  const std::vector<OptionRule>& setupRules = pluginSetupOptionRules();
  rules.insert(rules.end(), setupRules.begin(), setupRules.end());
  const ParsedCommandLine parsed = parseCommandLine(arguments, rules);
  if (parsed.positionals.size() > 1) throw UsageError("give one plug-in at a time");
  std::optional<double> seconds;
  std::string screenshotPath;
  PluginSetup setup;
  for (const auto& [name, value] : parsed.options) {
    if (takePluginSetupOption(name, value, setup)) continue;
    if (name == "--seconds") seconds = parseNumberInRange(value, name, 0.0, 31536000.0);
    if (name == "--screenshot") {
      if (value.empty()) throw UsageError("option '--screenshot' needs a file name");
      screenshotPath = value;
    }
  }
  const std::string path = parsed.positionals.empty() ? defaultPluginPath() : parsed.positionals.front();
  if (pluginFormatOf(path) == PluginFormat::Lv2) {
    throw ToolError("'" + path + "' is an LV2 plug-in: the editor command shows VST 2 editors only");
  }

  DisplayConnection connection;
  Display* display = connection.display;
  const SetupPresets presets = readSetupPresets(setup);
  Vst2Plugin plugin(path, std::make_unique<PrintingHostContext>());
  PluginInstance& instance = plugin.vst2Instance();
  if ((instance.record().flags & kFlagHasEditor) == 0)
    throw ToolError("plug-in '" + path + "' has no editor (flag 0x001 is clear)");
  plugin.configure(plugin.host().settings.sampleRate, plugin.host().settings.blockSize);
  applyPluginSetup(plugin, setup, presets);
  plugin.start();

  const std::string effectName = instance.effectName();
  std::optional<std::pair<int, int>> size = editorSize(instance);
  HostWindow window(display, size ? size->first : kFallbackWidth, size ? size->second : kFallbackHeight,
                    (effectName.empty() ? std::string("plug-in") : effectName) + " - brume7-host editor");
  StopSignals signals;
  OpenEditor editor(instance, window.id, display);
  if (!size) {
    // Some plug-ins know their size only once open.
    if ((size = editorSize(instance))) window.resize(size->first, size->second);
  }
  window.show();
  if (!window.isMapped()) throw ToolError("the editor window did not show on the X display");

  const auto start = std::chrono::steady_clock::now();
  const auto deadline = seconds ? start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                              std::chrono::duration<double>(*seconds))
                                : std::chrono::steady_clock::time_point::max();
  bool announced = false;
  bool screenshotTaken = screenshotPath.empty();
  auto nextIdle = start;
  while (!StopSignals::requested()) {
    window.handleEvents();
    if (window.closed()) break;
    instance.dispatch(kEditorIdle);
    if (!announced) {
      printLine("window %lu", static_cast<unsigned long>(window.id));
      announced = true;
    }
    auto now = std::chrono::steady_clock::now();
    if (!screenshotTaken && now - start >= kScreenshotDelay) {
      writeScreenshot(display, window.id, screenshotPath);
      screenshotTaken = true;
    }
    if (now >= deadline) break;
    nextIdle += kIdlePeriod;
    if (nextIdle < now) nextIdle = now;
    std::this_thread::sleep_until(std::min(nextIdle, deadline));
  }
  window.handleEvents();
  if (!screenshotTaken && !window.closed()) {
    instance.dispatch(kEditorIdle);
    writeScreenshot(display, window.id, screenshotPath);
  }
  return 0;
}

}  // namespace

const Command kEditorCommand = {"editor", "show a plug-in's editor in an X11 window and print its edits", kEditorHelp,
                                runEditor};

}  // namespace brume
