#include "tests/editor/EditorFixture.h"

#include <cstdint>

#include "gui/FilmstripKnob.h"
#include "gui/TextField.h"
#include "gui/native/NativePlatform.h"
#include "gui/native/raster/BmpDecoder.h"
#include "instrument/ParameterCatalogue.h"
#include "resources/EmbeddedBitmaps.h"

namespace brume::test {

void EditorFixture::SetUp() {
  headless::reset();
  instrument = std::make_unique<Instrument>(RecordingHost::callback());
  ASSERT_NE(editor(), nullptr);
}

void EditorFixture::TearDown() {
  call(15);
  instrument.reset();
}

VstIntPtr EditorFixture::call(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  AEffect* record = instrument->record();
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

void EditorFixture::open() {
  ASSERT_EQ(call(14, 0, 0, &hostWindow), 1);
  headless::setWindowOrigin(frame()->nativeWindow(), kWindowOrigin);
}

void EditorFixture::openAndSettle() {
  open();
  headless::paintWindow(frame()->nativeWindow());
  idle();
}

std::string EditorFixture::valueText(std::int32_t index) const {
  TextField* field = editor()->valueText(index);
  return field ? field->getText() : "<none>";
}

void EditorFixture::drag(Point from, const std::vector<Point>& path, std::int32_t modifiers) {
  std::vector<headless::InputState> states{{1 | modifiers, from + kWindowOrigin}};
  for (Point p : path) states.push_back({1 | modifiers, p + kWindowOrigin});
  states.push_back({modifiers, (path.empty() ? from : path.back()) + kWindowOrigin});
  headless::queueInputStates(states);
  headless::pressButton(frame()->nativeWindow(), from, 1 | modifiers);
}

void EditorFixture::click(Point where, std::int32_t buttons) {
  headless::queueInputStates({{buttons, where + kWindowOrigin}, {0, where + kWindowOrigin}});
  headless::pressButton(frame()->nativeWindow(), where, buttons);
  // A switch polls the buttons once; the release must not be left for the next click.
  while (headless::queuedInputStateCount() > 0) native::mouseButtons();
}

namespace {

raster::Canvas decodedBitmap(std::int32_t id) {
  raster::Canvas image(1, 1);
  const EmbeddedBitmap* file = findEmbeddedBitmap(id);
  if (file) raster::decodeBmp(file->data, file->size, image);
  return image;
}

}  // namespace

raster::Pixel EditorFixture::backgroundPixel(std::int32_t x, std::int32_t y) const {
  static const raster::Canvas background = decodedBitmap(101);
  return background.pixel(x, y);
}

std::int32_t EditorFixture::shownMeterFrame() const {
  static const raster::Canvas meter = decodedBitmap(110);
  for (std::int32_t frameIndex = 0; frameIndex < meter.height() / 50; ++frameIndex) {
    bool same = true;
    for (std::int32_t y = 0; y < 50 && same; ++y)
      for (std::int32_t x = 0; x < 50 && same; ++x)
        same = canvas().pixel(150 + x, y) == meter.pixel(x, frameIndex * 50 + y);
    if (same) return frameIndex;
  }
  return -1;
}

std::int32_t EditorFixture::shownKnobFrame(std::int32_t index) const {
  const ParameterLayoutRow& row = ParameterLayout[index];
  const raster::Canvas strip = decodedBitmap(104 + row.controlKind);

  // Compare the knob's middle rows (captions and value texts cover the top 6
  // and bottom 5) with every strip frame drawn keyed over the background.
  const std::int32_t left = row.x - 16;
  const std::int32_t top = row.y - 16;
  for (std::int32_t frameIndex = 0; frameIndex < strip.height() / 32; ++frameIndex) {
    bool same = true;
    for (std::int32_t y = 6; y < 27 && same; ++y) {
      for (std::int32_t x = 0; x < 32 && same; ++x) {
        raster::Pixel expected = strip.pixel(x, frameIndex * 32 + y);
        if (expected == raster::pixelOf(Colour{255, 255, 0, 0})) expected = backgroundPixel(left + x, top + y);
        same = canvas().pixel(left + x, top + y) == expected;
      }
    }
    if (same) return frameIndex;
  }
  return -1;
}

}  // namespace brume::test
