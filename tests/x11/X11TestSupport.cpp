#include "X11TestSupport.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "gui/native/NativePlatform.h"
#include "gui/native/x11/X11Capture.h"
#include "gui/native/x11/X11Platform.h"

namespace brume::testing {
namespace {

constexpr auto kIdleTimeout = std::chrono::seconds(5);
constexpr auto kIdlePeriod = std::chrono::milliseconds(5);

VstIntPtr BRUME_VSTCALL recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  hostCalls().push_back({opcode, index});
  return 0;
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void waitForMap(Display* display, ::Window window) {
  XEvent event;
  do {
    XWindowEvent(display, window, StructureNotifyMask, &event);
  } while (event.type != MapNotify);
}

}  // namespace

std::vector<HostCall>& hostCalls() {
  static std::vector<HostCall> calls;
  return calls;
}

std::string describeHostCalls() {
  std::ostringstream text;
  for (const HostCall& call : hostCalls()) text << "(" << call.opcode << ", " << call.index << ") ";
  return text.str();
}

TestInstrument::TestInstrument() : EffectBaseEx(recordingHost, 1, 1) {}

TestEditor::TestEditor(EffectBaseEx* instrument, std::int32_t width, std::int32_t height) : GuiEditorBase(instrument) {
  rect = ERect{0, 0, static_cast<std::int16_t>(height), static_cast<std::int16_t>(width)};
}

VstInt32 TestEditor::open(void* window) {
  GuiEditorBase::open(window);
  frame = new Frame(Rect{rect.left, rect.top, rect.right, rect.bottom}, window, this);
  if (populate) populate(*frame);
  return 1;
}

void TestEditor::close() {
  delete frame;
  frame = nullptr;
}

std::vector<std::uint8_t> makeBmp(std::int32_t width, std::int32_t height, const std::vector<raster::Pixel>& pixels) {
  std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  std::vector<std::uint8_t> file(54 + stride * height, 0);
  file[0] = 'B';
  file[1] = 'M';
  put32(file, 2, static_cast<std::uint32_t>(file.size()));
  put32(file, 10, 54);
  put32(file, 14, 40);
  put32(file, 18, static_cast<std::uint32_t>(width));
  put32(file, 22, static_cast<std::uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  for (std::int32_t y = 0; y < height; ++y)
    for (std::int32_t x = 0; x < width; ++x) {
      raster::Pixel pixel = pixels[static_cast<std::size_t>(y) * width + x];
      std::size_t at = 54 + stride * static_cast<std::size_t>(height - 1 - y) + static_cast<std::size_t>(x) * 3;
      file[at] = static_cast<std::uint8_t>(pixel);
      file[at + 1] = static_cast<std::uint8_t>(pixel >> 8);
      file[at + 2] = static_cast<std::uint8_t>(pixel >> 16);
    }
  return file;
}

std::string firstDifference(const raster::Canvas& expected, const raster::Canvas& actual) {
  char text[160];
  if (expected.width() != actual.width() || expected.height() != actual.height()) {
    std::snprintf(text, sizeof text, "sizes differ: expected %dx%d, got %dx%d", expected.width(), expected.height(),
                  actual.width(), actual.height());
    return text;
  }
  for (std::int32_t y = 0; y < expected.height(); ++y)
    for (std::int32_t x = 0; x < expected.width(); ++x)
      if (expected.pixel(x, y) != actual.pixel(x, y)) {
        std::snprintf(text, sizeof text, "first difference at pixel %d (x %d, y %d): expected %06X, got %06X",
                      y * expected.width() + x, x, y, expected.pixel(x, y), actual.pixel(x, y));
        return text;
      }
  return "";
}

bool xdotoolInstalled() {
  static const bool installed = std::system("command -v xdotool > /dev/null 2>&1") == 0;
  return installed;
}

int runCommand(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

BackgroundCommand::BackgroundCommand(const std::string& command) {
  pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

BackgroundCommand::~BackgroundCommand() {
  if (pid > 0 && !finished()) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

bool BackgroundCommand::finished() {
  if (pid <= 0) return true;
  if (exitStatus >= 0) return true;
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) != pid) return false;
  exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  return true;
}

void X11Fixture::SetUp() {
  if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb); the X11 tests need it";
  server = std::make_unique<XvfbServer>(screenDepth());
  ASSERT_TRUE(server->running()) << server->failure();
  display = XOpenDisplay(server->displayName().c_str());
  ASSERT_NE(display, nullptr) << "cannot open " << server->displayName();
  parent = makeTopLevel(0, 0, kParentWidth, kParentHeight);
  hostCalls().clear();
}

void X11Fixture::TearDown() {
  closeEditor();
  if (display) XCloseDisplay(display);
  display = nullptr;
  server.reset();
}

::Window X11Fixture::makeTopLevel(int x, int y, int width, int height) {
  ::Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, 0, 0x202020);
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  waitForMap(display, window);
  return window;
}

void X11Fixture::openEditor(std::int32_t width, std::int32_t height, std::function<void(Frame&)> populate,
                            ::Window hostWindow) {
  closeEditor();
  instrument = std::make_unique<TestInstrument>();
  editor = new TestEditor(instrument.get(), width, height);
  editor->populate = std::move(populate);
  ::Window target = hostWindow ? hostWindow : parent;
  editor->open(reinterpret_cast<void*>(static_cast<std::uintptr_t>(target)));
}

void X11Fixture::closeEditor() {
  if (editor) editor->close();
  instrument.reset();
  editor = nullptr;
}

bool X11Fixture::idleUntil(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + kIdleTimeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (editor) editor->idle();
    std::this_thread::sleep_for(kIdlePeriod);
  }
  return true;
}

bool X11Fixture::idleUntilPainted() {
  return idleUntil([this] { return editor && editor->getFrame() && !editor->getFrame()->isFirstPaintPending(); });
}

raster::Canvas X11Fixture::screenPixels(::Window window) {
  raster::Canvas pixels;
  XSync(display, False);
  EXPECT_TRUE(x11::captureWindow(display, window, pixels)) << "window " << window << " cannot be read";
  return pixels;
}

::Window X11Fixture::frameWindowId() const {
  return editor && editor->getFrame() ? x11::windowId(editor->getFrame()->nativeWindow()) : 0;
}

std::string X11Fixture::xdotool(const std::string& arguments) const {
  return "xdotool " + arguments + " > /dev/null 2>&1";
}

}  // namespace brume::testing
