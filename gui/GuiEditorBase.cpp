#include "gui/GuiEditorBase.h"

#include "gui/Frame.h"
#include "gui/native/NativePlatform.h"
#include "host/EffectBaseEx.h"

namespace brume {
namespace {

// Set by the host through any editor, read by every knob. 2 means linear dragging.
std::int32_t knobModeSetting = 0;

constexpr std::uint32_t kIdlePeriod = 100;
constexpr std::uint32_t kEarlyIdleMargin = 50;
constexpr std::uint32_t kEarlyCallSleep = 4;

}  // namespace

GuiEditorBase::GuiEditorBase(EffectBaseEx* instrument) : EditorBase(instrument) {
  if (instrument) instrument->attachEditor(this);
  nextIdleTime = native::tickCount();
  native::initThread();
}

GuiEditorBase::~GuiEditorBase() {
  delete frame;
  frame = nullptr;
  if (instrument && instrument->editorObjectPointer() == this) instrument->attachEditor(nullptr);
  native::uninitThread();
}

EffectBaseEx* GuiEditorBase::instrumentObject() const { return static_cast<EffectBaseEx*>(instrument); }

std::int32_t GuiEditorBase::moduleKnobMode() { return knobModeSetting; }

VstInt32 GuiEditorBase::getRect(ERect** out) {
  if (!out) return 0;
  *out = &rect;
  return 1;
}

VstInt32 GuiEditorBase::open(void* window) {
  markForRefresh();
  hostWindow = window;
  return 0;
}

void GuiEditorBase::close() {}

void GuiEditorBase::idle() {
  if (inIdle) return;
  native::handlePendingEvents();
  if (refreshPending.exchange(0, std::memory_order_relaxed) != 0) refresh();
  if (frame) frame->redrawDirtyViews();
}

void GuiEditorBase::refresh() {}

void GuiEditorBase::markForRefresh() { refreshPending.store(1, std::memory_order_relaxed); }

VstInt32 GuiEditorBase::onKeyPress(KeyCode key) { return frame ? frame->onKeyPress(key) : -1; }

VstInt32 GuiEditorBase::onKeyRelease(KeyCode key) { return frame ? frame->onKeyRelease(key) : -1; }

VstInt32 GuiEditorBase::setKnobMode(VstIntPtr mode) {
  knobModeSetting = static_cast<std::int32_t>(mode);
  return 1;
}

bool GuiEditorBase::onWheelTurn(float distance) {
  return frame ? frame->onWheelTurn(nullptr, Point{0, 0}, distance) : false;
}

void GuiEditorBase::parameterChanged(VstInt32, float) { markForRefresh(); }

void GuiEditorBase::redrawAll() {
  if (frame) frame->paintNow(nullptr);
}

void GuiEditorBase::serviceIdle() {
  std::uint32_t now = native::tickCount();
  if (now < nextIdleTime) {
    native::sleepMilliseconds(kEarlyCallSleep);
    now += kEarlyCallSleep;
    if (now < nextIdleTime - kEarlyIdleMargin) return;
  }
  idle();
  native::dispatchPendingPaint();
  nextIdleTime = now + kIdlePeriod;
  inIdle = true;
  if (EffectBaseEx* effect = instrumentObject()) effect->hostIdle();
  inIdle = false;
}

}  // namespace brume
