#include "editor/InstrumentEditor.h"

#include <cstdio>
#include <new>

#include "editor/ParameterSwitch.h"
#include "editor/PresetDrop.h"
#include "gui/Bitmap.h"
#include "gui/Colour.h"
#include "gui/FileDropView.h"
#include "gui/FilmstripKnob.h"
#include "gui/Frame.h"
#include "gui/StripDisplay.h"
#include "gui/TextField.h"
#include "gui/native/NativePlatform.h"
#include "instrument/Instrument.h"
#include "instrument/ParameterCatalogue.h"

namespace brume {
namespace {

constexpr std::int32_t kBackgroundBitmap = 101;
constexpr std::int32_t kFirstKnobBitmap = 104;
constexpr std::int32_t kSwitchBitmap = 109;
constexpr std::int32_t kMeterBitmap = 110;
constexpr std::int32_t kKnobFrameCount = 55;  // the strips hold 56; the last is never shown
constexpr std::int32_t kKnobFrameHeight = 32;
constexpr std::int32_t kMeterFrameCount = 17;
constexpr std::int32_t kMeterFrameHeight = 50;
constexpr std::int32_t kTextFontIndex = 5;
constexpr float kVoiceMeterStep = 0.0625f;  // one voice of 16

}  // namespace

InstrumentView* createInstrumentEditor(Instrument& instrument) {
  return new (std::nothrow) InstrumentEditor(&instrument);
}

InstrumentEditor::InstrumentEditor(Instrument* instrument) : GuiEditorBase(instrument), instrument(instrument) {
  rect.top = 0;
  rect.left = 0;
  rect.bottom = 200;
  rect.right = 650;
}

InstrumentEditor::~InstrumentEditor() { close(); }

VstInt32 InstrumentEditor::open(void* window) {
  if (isOpen) close();  // a host that opens twice gets one window, not two
  GuiEditorBase::open(window);

  ERect* editorRectangle = nullptr;
  getRect(&editorRectangle);
  const Rect bounds{editorRectangle->left, editorRectangle->top, editorRectangle->right, editorRectangle->bottom};
  frame = new Frame(bounds, window, this);

  background = new Bitmap(kBackgroundBitmap);
  frame->setBackground(background);
  for (std::int32_t kind = 0; kind < 4; ++kind) {
    knobStrips[kind] = new Bitmap(kFirstKnobBitmap + kind);
    knobStrips[kind]->setTransparentColour(kYellowColour);
  }
  switchBitmap = new Bitmap(kSwitchBitmap);
  switchBitmap->setTransparentColour(kYellowColour);
  meterBitmap = new Bitmap(kMeterBitmap);

  // Under everything else: the controls refuse drops and keep their clicks.
  frame->addView(new FileDropView(bounds, this));

  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    const ParameterLayoutRow& row = ParameterLayout[i];
    const std::int32_t x = row.x;
    const std::int32_t y = row.y;
    Control* control = nullptr;
    if (row.controlKind >= 0 && row.controlKind < 4) {
      control = new FilmstripKnob(Rect{x - 16, y - 16, x + 16, y + 16}, this, i, kKnobFrameCount, kKnobFrameHeight,
                                  knobStrips[row.controlKind], Point{x - 16, y - 16});
    } else {
      control = new ParameterSwitch(Rect{x - 18, y - 12, x + 18, y + 12}, this, i, switchBitmap);
    }
    parameterControls[i] = control;
    control->setTransparent(true);
    frame->addView(control);

    if (row.hasCaption) {
      TextField* caption =
          new TextField(Rect{x - 21, y - 20, x + 21, y - 10}, this, i + kTextTagOffset, row.caption, background, 0);
      captionTexts[i] = caption;
      caption->setFontIndex(kTextFontIndex);
      caption->setTextColour(kBlackColour);
      caption->setBackgroundOffset(Point{x - 21, y - 20});
      caption->setMouseActive(false);
      frame->addView(caption);
    }
    if (row.hasValueText) {
      TextField* value =
          new TextField(Rect{x - 21, y + 11, x + 21, y + 20}, this, i + kTextTagOffset, "", background, 0);
      valueTexts[i] = value;
      value->setFontIndex(kTextFontIndex);
      value->setTextColour(kRedColour);
      value->setBackgroundOffset(Point{x - 21, y + 11});
      value->setMouseActive(false);
      frame->addView(value);
    }
  }

  voiceMeter = new StripDisplay(Rect{150, 0, 200, 50}, this, kVoiceMeterTag, kMeterFrameCount, kMeterFrameHeight,
                                meterBitmap, Point{0, 0});
  voiceMeter->setValue(0.0f);
  voiceMeter->setMouseActive(false);
  frame->addView(voiceMeter);

  refreshMarkedSinceOpen.store(false, std::memory_order_relaxed);
  requestRefresh();
  isOpen = true;
  return 1;
}

void InstrumentEditor::close() {
  isOpen = false;
  if (frame) {
    delete frame;
    frame = nullptr;
  }
  releaseBitmaps();
  voiceMeter = nullptr;
}

void InstrumentEditor::releaseBitmaps() {
  Bitmap** owned[] = {&background,    &knobStrips[0], &knobStrips[1], &knobStrips[2],
                      &knobStrips[3], &switchBitmap,  &meterBitmap};
  for (Bitmap** bitmap : owned) {
    if (*bitmap) (*bitmap)->release();
    *bitmap = nullptr;
  }
}

void InstrumentEditor::refresh() {
  if (!instrument || !isOpen) return;
  for (std::int32_t i = 0; i < kParameterCount; ++i) {
    parameterControls[i]->setValue(instrument->getParameter(i));
    updateValueText(i);
  }
  voiceMeter->setValue(static_cast<float>(soundingVoices.load(std::memory_order_relaxed)) * kVoiceMeterStep);
}

void InstrumentEditor::onControlChanged(DrawContext* context, Control* control) {
  if (!isOpen || !control) return;
  const std::int32_t tag = control->getTag();
  if (tag < kParameterCount) instrument->setParameterFromEditor(tag, control->getValue());
  if (context) control->redrawIfDirty(context);
}

bool InstrumentEditor::onFilesDropped(FileDropView*, const char* const* names, std::int32_t count) {
  if (!isOpen || !instrument || count != 1 || !loadPresetFile(*instrument, names[0])) return false;
  markForRefresh();  // all at once, also within the 100 ms after the last refresh
  return true;
}

void InstrumentEditor::updateValueText(std::int32_t index) {
  if (!isOpen || !isParameterIndex(index)) return;
  const ParameterLayoutRow& row = ParameterLayout[index];
  if (!row.hasValueText) return;

  bool shown = true;
  if (row.followsTarget) {
    const VstInt32 target = instrument->modulatorTarget(index);
    shown = isParameterIndex(target) && ParameterLayout[target].hasValueText;
  }
  if (!shown) {
    valueTexts[index]->setText("");
    return;
  }
  char display[kParameterTextCapacity + 1] = {};
  char label[kParameterTextCapacity + 1] = {};
  instrument->copyParameterDisplay(index, display);
  instrument->copyParameterLabel(index, label);
  char text[2 * kParameterTextCapacity + 4];
  std::snprintf(text, sizeof text, "%s %s", display, label);
  valueTexts[index]->setText(text);
}

void InstrumentEditor::requestRefresh() noexcept {
  const std::uint32_t now = native::tickCount();
  const std::uint32_t last = lastRefreshRequest.load(std::memory_order_relaxed);
  if (!refreshMarkedSinceOpen.load(std::memory_order_relaxed) || now - last > kRefreshInterval) {
    markForRefresh();
    lastRefreshRequest.store(now, std::memory_order_relaxed);
    refreshMarkedSinceOpen.store(true, std::memory_order_relaxed);
  }
}

void InstrumentEditor::showSoundingVoices(std::int32_t count) noexcept {
  soundingVoices.store(count, std::memory_order_relaxed);
}

Control* InstrumentEditor::parameterControl(std::int32_t index) const {
  return isOpen && isParameterIndex(index) ? parameterControls[index] : nullptr;
}

TextField* InstrumentEditor::valueText(std::int32_t index) const {
  return isOpen && isParameterIndex(index) ? valueTexts[index] : nullptr;
}

TextField* InstrumentEditor::captionText(std::int32_t index) const {
  return isOpen && isParameterIndex(index) ? captionTexts[index] : nullptr;
}

}  // namespace brume
