#pragma once
// Shared pieces of the GUI tests: a tiny instrument that records what it asks
// of the host, an editor that builds a bare frame, recording views and
// listeners, and .bmp files made in memory.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/Frame.h"
#include "gui/GuiEditorBase.h"
#include "gui/View.h"
#include "gui/native/headless/HeadlessPlatform.h"
#include "gui/native/raster/Canvas.h"
#include "gui/native/raster/ImageResources.h"
#include "host/EffectBaseEx.h"

namespace brume::testing {

struct HostCall {
  VstInt32 opcode;
  VstInt32 index;
};

// Every request the instrument sends to the host, in order.
std::vector<HostCall>& hostCalls();
std::int32_t countHostCalls(VstInt32 opcode);

class RecordingInstrument : public EffectBaseEx {
 public:
  RecordingInstrument();
  void process(float**, float**, VstInt32) override {}
};

class BareEditor : public GuiEditorBase {
 public:
  BareEditor(EffectBaseEx* instrument, std::int32_t width, std::int32_t height);
  VstInt32 open(void* window) override;  // builds a frame over the host window
  void close() override;
  void refresh() override { ++refreshCount; }

  int refreshCount = 0;
  void (*duringHostIdle)(BareEditor&) = nullptr;
};

// A view that records what reaches it.
class RecordingView : public View {
 public:
  explicit RecordingView(const Rect& bounds, VstInt32 keyAnswer = -1) : View(bounds), keyAnswer(keyAnswer) {}
  void draw(DrawContext*) override { ++draws; }
  void onMouseDown(DrawContext*, Point where) override { presses.push_back(where); }
  VstInt32 onKeyPress(KeyCode) override {
    ++keys;
    return keyAnswer;
  }
  void endFocus(DrawContext*) override { ++focusEnds; }
  void onNotify(View*, const char* message) override { notes.push_back(message); }
  bool acceptDrop(const char* const* data, std::int32_t, std::int32_t, Point) override {
    drops.push_back(data[0]);
    return acceptsDrops;
  }

  std::vector<Point> presses;
  std::vector<std::string> notes;
  std::vector<std::string> drops;
  int draws = 0;
  int keys = 0;
  int focusEnds = 0;
  VstInt32 keyAnswer;
  bool acceptsDrops = false;
};

class RecordingListener : public ControlListener {
 public:
  void onControlChanged(DrawContext*, Control* control) override { values.push_back(control->getValue()); }
  std::vector<float> values;
};

// A 24-bit bottom-up .bmp file; pixels row by row from the top.
std::vector<std::uint8_t> makeBmp(std::int32_t width, std::int32_t height, const std::vector<raster::Pixel>& pixels);

// One instrument with its editor opened on a headless window, fresh platform state.
class GuiFixture : public ::testing::Test {
 protected:
  static constexpr std::int32_t kWidth = 200;
  static constexpr std::int32_t kHeight = 100;
  static constexpr Point kWindowOrigin{300, 200};

  void SetUp() override;
  void TearDown() override;

  Frame* frame() const { return editor->getFrame(); }
  native::Window* window() const { return frame()->nativeWindow(); }
  raster::Canvas& canvas() const { return *headless::windowCanvas(window()); }
  Point screen(Point where) const { return where + kWindowOrigin; }
  // The first paint, after which idle redraws happen.
  void paintAll() { headless::paintWindow(window()); }
  // A press at `from` with `buttons`, the left button held along `path`, then released.
  void drag(Point from, const std::vector<Point>& path, std::int32_t modifiers = 0);
  // Same, with the modifier set given for each point of the path.
  void dragWithKeys(Point from, const std::vector<std::pair<Point, std::int32_t>>& path, std::int32_t modifiers);

  std::unique_ptr<RecordingInstrument> instrument;
  BareEditor* editor = nullptr;  // owned by the instrument
  int hostWindow = 0;            // any address stands for the host's window
};

}  // namespace brume::testing
