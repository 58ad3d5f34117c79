#pragma once
// A real Instrument whose editor is opened on a headless window.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/InstrumentEditor.h"
#include "gui/Frame.h"
#include "gui/native/headless/HeadlessPlatform.h"
#include "gui/native/raster/Canvas.h"
#include "instrument/Instrument.h"
#include "tests/support/RecordingHost.h"

namespace brume::test {

class EditorFixture : public ::testing::Test {
 protected:
  static constexpr Point kWindowOrigin{100, 50};

  void SetUp() override;
  void TearDown() override;

  VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
  void open();
  // The host's first paint, then an idle call: the editor shows the instrument's values.
  void openAndSettle();
  void idle() { call(19); }
  Frame* frame() const { return editor()->getFrame(); }
  InstrumentEditor* editor() const { return static_cast<InstrumentEditor*>(instrument->editorObjectPointer()); }
  raster::Canvas& canvas() const { return *headless::windowCanvas(frame()->nativeWindow()); }
  std::string valueText(std::int32_t index) const;
  // A left-button drag from `from` along `path` (window coordinates), then a release.
  void drag(Point from, const std::vector<Point>& path, std::int32_t modifiers = 0);
  void click(Point where, std::int32_t buttons = 1);
  // The strip frame a knob of this parameter shows, from the pixels on screen.
  std::int32_t shownKnobFrame(std::int32_t index) const;
  // The voice meter image on screen.
  std::int32_t shownMeterFrame() const;
  // The background bitmap's own pixel.
  raster::Pixel backgroundPixel(std::int32_t x, std::int32_t y) const;

  RecordingHost host;
  std::unique_ptr<Instrument> instrument;
  int hostWindow = 0;
};

}  // namespace brume::test
