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
#include "tools/brume7-host/commands/ParameterAssignment.h"
#include "tools/brume7-host/plugins/vst2/PluginLibrary.h"
#include "tools/brume7-host/plugins/OpenPlugin.h"
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
    "  --set NAME=VALUE     set a parameter (name or index) before the editor opens;\n"
    "                       may be repeated\n"
    "  -h, --help           show this help\n";

constexpr auto kIdlePeriod = std::chrono::milliseconds(30);
constexpr auto kScreenshotDelay = std::chrono::milliseconds(500);
constexpr int kFallbackWidth = 400;
constexpr int kFallbackHeight = 300;

void printLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void printLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::vprintf(format, arguments);
  va_end(arguments);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Answers as the tool's host context does, and prints the requests a user's edit makes.
VstIntPtr BRUME_VSTCALL editorHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                           float opt) {
  VstIntPtr answer = HostContext::callback(effect, opcode, index, value, ptr, opt);
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
  return answer;
}

// One plug-in instance made with the printing callback; closed (after its editor) when destroyed.
class EditorPlugin {
 public:
  EditorPlugin(const std::string& path, HostContext& host) : library(path) {
    {
      HostContext::CreationScope scope(host);
      effect = library.entry()(&editorHostCallback);
    }
    if (effect == nullptr) throw ToolError("plug-in '" + path + "' made no instance");
    if (effect->magic != kEffectMagic || effect->dispatcher == nullptr) {
      effect = nullptr;
      throw ToolError("plug-in '" + path + "' answered a record that is not a VST 2 effect");
    }
    host.attach(*effect);
  }
  ~EditorPlugin() {
    closeEditor();
    if (resumed) dispatch(kEffectSuspendResume, 0, 0);
    dispatch(kEffectClose);
  }
  EditorPlugin(const EditorPlugin&) = delete;
  EditorPlugin& operator=(const EditorPlugin&) = delete;

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }

  void start(const HostSettings& settings) {
    dispatch(kEffectOpen);
    dispatch(kEffectSetSampleRate, 0, 0, nullptr, static_cast<float>(settings.sampleRate));
    dispatch(kEffectSetBlockSize, 0, settings.blockSize);
    dispatch(kEffectSuspendResume, 0, 1);
    resumed = true;
  }

  std::vector<std::string> parameterNames() {
    std::vector<std::string> names;
    for (VstInt32 i = 0; i < effect->numParams; ++i) {
      char name[256] = {};
      dispatch(kEffectParameterName, i, 0, name);
      names.emplace_back(name);
    }
    return names;
  }

  // The editor's size, when it gives one.
  std::optional<std::pair<int, int>> editorSize() {
    ERect* rect = nullptr;
    if (dispatch(kEditorGetRect, 0, 0, &rect) == 0 || rect == nullptr) return std::nullopt;
    int width = rect->right - rect->left;
    int height = rect->bottom - rect->top;
    if (width <= 0 || height <= 0) return std::nullopt;
    return std::make_pair(width, height);
  }

  void openEditor(::Window window, Display* display) {
    // Hosts pass their display in `value`; the plug-in is free to use its own.
    dispatch(kEditorOpen, 0, reinterpret_cast<VstIntPtr>(display),
             reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)));
    editorOpen = true;
  }

  void closeEditor() {
    if (!editorOpen) return;
    editorOpen = false;
    dispatch(kEditorClose);
  }

  void idle() { dispatch(kEditorIdle); }

  AEffect* effect = nullptr;

 private:
  static constexpr VstInt32 kEditorGetRect = 13;
  static constexpr VstInt32 kEditorOpen = 14;
  static constexpr VstInt32 kEditorClose = 15;
  static constexpr VstInt32 kEditorIdle = 19;

  PluginLibrary library;
  bool resumed = false;
  bool editorOpen = false;
};

// Closes the editor before the window it lives in goes, also on an error.
class OpenEditor {
 public:
  OpenEditor(EditorPlugin& plugin, ::Window window, Display* display) : plugin(plugin) {
    plugin.openEditor(window, display);
  }
  ~OpenEditor() { plugin.closeEditor(); }
  OpenEditor(const OpenEditor&) = delete;
  OpenEditor& operator=(const OpenEditor&) = delete;

 private:
  EditorPlugin& plugin;
};

void writeScreenshot(Display* display, ::Window window, const std::string& path) {
  XSync(display, False);
  raster::Canvas pixels;
  if (!x11::captureWindow(display, window, pixels)) throw ToolError("cannot read the editor window's pixels");
  if (!raster::writePng(pixels, path)) throw ToolError("cannot write the screenshot '" + path + "'");
  printLine("screenshot %s", path.c_str());
}

int runEditor(const std::vector<std::string>& arguments) {
  const ParsedCommandLine parsed =
      parseCommandLine(arguments, {{"--seconds", "", true}, {"--screenshot", "", true}, {"--set", "", true}});
  if (parsed.positionals.size() > 1) throw UsageError("give one plug-in at a time");
  std::optional<double> seconds;
  std::string screenshotPath;
  std::vector<ParameterAssignment> settings;
  for (const auto& [name, value] : parsed.options) {
    if (name == "--seconds") seconds = parseNumberInRange(value, name, 0.0, 31536000.0);
    if (name == "--screenshot") {
      if (value.empty()) throw UsageError("option '--screenshot' needs a file name");
      screenshotPath = value;
    }
    if (name == "--set") {
      settings.push_back(parseAssignment(value, name));
      checkSettingRange(settings.back(), 0.0f, 1.0f);
    }
  }
  const std::string path = parsed.positionals.empty() ? defaultPluginPath() : parsed.positionals.front();
  if (pluginFormatOf(path) == PluginFormat::Lv2) {
    throw ToolError("'" + path + "' is an LV2 plug-in: the editor command shows VST 2 editors only");
  }

  DisplayConnection connection;
  Display* display = connection.display;
  HostContext host;
  EditorPlugin plugin(path, host);
  plugin.start(host.settings);
  if ((plugin.effect->flags & kFlagHasEditor) == 0)
    throw ToolError("plug-in '" + path + "' has no editor (flag 0x001 is clear)");
  if (!settings.empty()) {
    const std::vector<std::string> names = plugin.parameterNames();
    for (const ParameterAssignment& setting : settings) {
      plugin.effect->setParameter(plugin.effect, resolveParameter(names, setting.parameter), setting.value);
    }
  }

  char effectName[256] = {};
  plugin.dispatch(kEffectEffectName, 0, 0, effectName);
  std::optional<std::pair<int, int>> size = plugin.editorSize();
  HostWindow window(display, size ? size->first : kFallbackWidth, size ? size->second : kFallbackHeight,
                    std::string(effectName[0] ? effectName : "plug-in") + " - brume7-host editor");
  StopSignals signals;
  OpenEditor editor(plugin, window.id, display);
  if (!size) {
    // Some plug-ins know their size only once open.
    if ((size = plugin.editorSize())) window.resize(size->first, size->second);
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
    plugin.idle();
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
    plugin.idle();
    writeScreenshot(display, window.id, screenshotPath);
  }
  return 0;
}

}  // namespace

const Command kEditorCommand = {"editor", "show a plug-in's editor in an X11 window and print its edits", kEditorHelp,
                                runEditor};

}  // namespace brume
