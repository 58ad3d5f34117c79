// brume7-host editor: shows a plug-in's editor in an X11 window of the tool's
// own and keeps it alive with idle calls, printing the plug-in's automation
// and edit requests so that a script can follow what the user does.

#include <signal.h>

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
#include "tools/brume7-host/Command.h"
#include "tools/brume7-host/CommandLine.h"
#include "tools/brume7-host/EffectOpcodes.h"
#include "tools/brume7-host/HostContext.h"
#include "tools/brume7-host/ParameterAssignment.h"
#include "tools/brume7-host/PluginLibrary.h"
#include "tools/brume7-host/RenderSession.h"
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
    "No audio is rendered: the editor runs without sound (--play is not there yet).\n"
    "\n"
    "Arguments:\n"
    "  PLUGIN               the plug-in module (default: Brume7.so beside brume7-host)\n"
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
constexpr auto kMapTimeout = std::chrono::seconds(5);
constexpr int kFallbackWidth = 400;
constexpr int kFallbackHeight = 300;

volatile sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

// SIGINT and SIGTERM end the idle loop instead of the process while alive.
class StopSignals {
 public:
  StopSignals() {
    stopRequested = 0;
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInterrupt);
    sigaction(SIGTERM, &action, &previousTerminate);
  }
  ~StopSignals() {
    sigaction(SIGINT, &previousInterrupt, nullptr);
    sigaction(SIGTERM, &previousTerminate, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction previousInterrupt {};
  struct sigaction previousTerminate {};
};

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

// The X display, closed last.
class DisplayConnection {
 public:
  DisplayConnection() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
      throw ToolError("no X display: DISPLAY is not set (the editor needs an X server; try xvfb-run)");
    }
    display = XOpenDisplay(nullptr);
    if (display == nullptr) throw ToolError(std::string("cannot open X display '") + name + "'");
  }
  ~DisplayConnection() { XCloseDisplay(display); }
  DisplayConnection(const DisplayConnection&) = delete;
  DisplayConnection& operator=(const DisplayConnection&) = delete;

  Display* display = nullptr;
};

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

// The tool's top-level window that the editor lives in.
class HostWindow {
 public:
  HostWindow(Display* display, int width, int height, const std::string& title) : display(display) {
    int screen = DefaultScreen(display);
    id =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, id, title.c_str());
    deleteRequest = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, id, &deleteRequest, 1);
    setFixedSize(width, height);
    XSelectInput(display, id, StructureNotifyMask);
  }
  ~HostWindow() {
    // Someone else may have destroyed it a moment ago: that BadWindow is no reason to fail.
    x11::ErrorTrap trap(display);
    if (!gone) XDestroyWindow(display, id);
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  void resize(int width, int height) {
    setFixedSize(width, height);
    XResizeWindow(display, id, static_cast<unsigned>(width), static_cast<unsigned>(height));
  }

  // Maps the window and waits until the server shows it.
  void show() {
    XMapWindow(display, id);
    auto deadline = std::chrono::steady_clock::now() + kMapTimeout;
    while (!mapped && !closed() && std::chrono::steady_clock::now() < deadline) {
      handleEvents();
      if (!mapped) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  void handleEvents() {
    while (!gone && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.xany.window != id) continue;
      if (event.type == MapNotify) mapped = true;
      if (event.type == DestroyNotify) gone = true;
      if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteRequest)
        closeRequested = true;
    }
  }

  bool closed() const { return gone || closeRequested; }
  bool isMapped() const { return mapped && !gone; }

  ::Window id = 0;

 private:
  void setFixedSize(int width, int height) {
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) return;
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, id, hints);
    XFree(hints);
  }

  Display* display;
  Atom deleteRequest = 0;
  bool mapped = false;
  bool gone = false;
  bool closeRequested = false;
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
    if (name == "--set") settings.push_back(parseAssignment(value, name));
  }
  const std::string path = parsed.positionals.empty() ? defaultPluginPath() : parsed.positionals.front();

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
  while (!stopRequested) {
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
