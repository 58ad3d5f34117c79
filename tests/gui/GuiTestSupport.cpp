#include "GuiTestSupport.h"

#include "gui/MouseButtons.h"

namespace brume::testing {
namespace {

VstIntPtr BRUME_VSTCALL recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  hostCalls().push_back({opcode, index});
  if (opcode == kHostIdle && effect) {
    auto* editor = static_cast<BareEditor*>(EffectBase::fromRecord(effect)->editorObjectPointer());
    if (editor && editor->duringHostIdle) editor->duringHostIdle(*editor);
  }
  return 0;
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<HostCall>& hostCalls() {
  static std::vector<HostCall> calls;
  return calls;
}

std::int32_t countHostCalls(VstInt32 opcode) {
  std::int32_t count = 0;
  for (const HostCall& call : hostCalls()) count += call.opcode == opcode ? 1 : 0;
  return count;
}

RecordingInstrument::RecordingInstrument() : EffectBaseEx(recordingHost, 1, 1) {}

BareEditor::BareEditor(EffectBaseEx* instrument, std::int32_t width, std::int32_t height) : GuiEditorBase(instrument) {
  rect = ERect{0, 0, static_cast<std::int16_t>(height), static_cast<std::int16_t>(width)};
}

VstInt32 BareEditor::open(void* window) {
  GuiEditorBase::open(window);
  frame = new Frame(Rect{rect.left, rect.top, rect.right, rect.bottom}, window, this);
  return 1;
}

void BareEditor::close() {
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

void GuiFixture::SetUp() {
  headless::reset();
  raster::clearImageResources();
  hostCalls().clear();
  instrument = std::make_unique<RecordingInstrument>();
  editor = new BareEditor(instrument.get(), kWidth, kHeight);
  editor->setKnobMode(0);
  editor->open(&hostWindow);
  headless::setWindowOrigin(window(), kWindowOrigin);
}

void GuiFixture::TearDown() {
  editor->close();
  instrument.reset();
  EXPECT_EQ(headless::threadInitDepth(), 0) << "thread setup and teardown do not balance";
}

void GuiFixture::drag(Point from, const std::vector<Point>& path, std::int32_t modifiers) {
  std::vector<std::pair<Point, std::int32_t>> keyed;
  for (Point p : path) keyed.push_back({p, modifiers});
  dragWithKeys(from, keyed, modifiers);
}

void GuiFixture::dragWithKeys(Point from, const std::vector<std::pair<Point, std::int32_t>>& path,
                              std::int32_t modifiers) {
  // The first poll sees the press; each later poll one step; the last one the release.
  std::vector<headless::InputState> states{{kLeftButton | modifiers, screen(from)}};
  for (const auto& [point, keys] : path) states.push_back({kLeftButton | keys, screen(point)});
  Point last = path.empty() ? from : path.back().first;
  std::int32_t lastKeys = path.empty() ? modifiers : path.back().second;
  states.push_back({lastKeys, screen(last)});
  headless::queueInputStates(states);
  headless::pressButton(window(), from, kLeftButton | modifiers);
}

}  // namespace brume::testing
