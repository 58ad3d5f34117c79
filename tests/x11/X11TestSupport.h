#pragma once
// Shared pieces of the X11 tests: a private Xvfb server per test, a test
// connection with a top-level window standing for the host's, an instrument
// that records its host requests, an editor whose frame the test fills, and
// xdotool runs.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "XvfbServer.h"
#include "gui/Control.h"
#include "gui/Frame.h"
#include "gui/GuiEditorBase.h"
#include "gui/View.h"
#include "gui/native/raster/Canvas.h"
#include "host/EffectBaseEx.h"

#include <X11/Xlib.h>

namespace brume::testing {

struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
};

// Every request the test instrument sent to the host, in order.
std::vector<HostCall>& hostCalls();
std::string describeHostCalls();

class TestInstrument : public EffectBaseEx {
 public:
  TestInstrument();
  void process(float**, float**, VstInt32) override {}
};

// An editor whose frame, made at open over the host window, gets the views `populate` adds.
class TestEditor : public GuiEditorBase {
 public:
  TestEditor(EffectBaseEx* instrument, std::int32_t width, std::int32_t height);
  VstInt32 open(void* window) override;
  void close() override;

  std::function<void(Frame&)> populate;
};

class RecordingView : public View {
 public:
  using View::View;
  void draw(DrawContext*) override { ++draws; }
  void onMouseDown(DrawContext*, Point where) override { presses.push_back(where); }

  std::vector<Point> presses;
  int draws = 0;
};

class RecordingListener : public ControlListener {
 public:
  void onControlChanged(DrawContext*, Control* control) override { values.push_back(control->getValue()); }
  std::vector<float> values;
};

// A 24-bit bottom-up .bmp file; pixels row by row from the top.
std::vector<std::uint8_t> makeBmp(std::int32_t width, std::int32_t height, const std::vector<raster::Pixel>& pixels);

// "" when equal, else where and how they first differ.
std::string firstDifference(const raster::Canvas& expected, const raster::Canvas& actual);

// True when xdotool, which sends the tests' presses and keys, is on the PATH.
bool xdotoolInstalled();
#define SKIP_WITHOUT_XDOTOOL()               \
  if (!::brume::testing::xdotoolInstalled()) \
  GTEST_SKIP() << "xdotool is not installed (Debian package xdotool); this test sends input with it"

// A shell command run with the test's $DISPLAY; its exit status.
int runCommand(const std::string& command);

// A shell command left running while the test idles the editor.
class BackgroundCommand {
 public:
  explicit BackgroundCommand(const std::string& command);
  ~BackgroundCommand();  // kills it if it still runs
  bool finished();       // reaps it when done
  int status() const { return exitStatus; }

 private:
  pid_t pid = -1;
  int exitStatus = -1;
};

// A private server, a test connection and a mapped 400 x 300 top-level at
// (0, 0) standing for the host's window. Skips when Xvfb is not installed.
class X11Fixture : public ::testing::Test {
 protected:
  static constexpr int kParentWidth = 400;
  static constexpr int kParentHeight = 300;

  void SetUp() override;
  void TearDown() override;
  virtual int screenDepth() const { return 24; }

  // A new instrument and editor of `width` x `height`, opened on `hostWindow` (the parent by default).
  void openEditor(std::int32_t width, std::int32_t height, std::function<void(Frame&)> populate,
                  ::Window hostWindow = 0);
  void closeEditor();
  // Idles the editor (as a host does, every few milliseconds) until `done`;
  // false after 5 seconds without it.
  bool idleUntil(const std::function<bool()>& done);
  // Idles until the first paint has reached the frame.
  bool idleUntilPainted();
  // The pixels the window shows now, read through the test connection.
  raster::Canvas screenPixels(::Window window);
  ::Window frameWindowId() const;
  std::string xdotool(const std::string& arguments) const;  // "xdotool ARGUMENTS" for the parent
  ::Window makeTopLevel(int x, int y, int width, int height);

  std::unique_ptr<XvfbServer> server;
  Display* display = nullptr;
  ::Window parent = 0;
  std::unique_ptr<TestInstrument> instrument;
  TestEditor* editor = nullptr;  // owned by the instrument
};

}  // namespace brume::testing
