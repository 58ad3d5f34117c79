#include "gui/Control.h"

#include "gui/Bitmap.h"
#include "gui/DrawContext.h"
#include "gui/GuiEditorBase.h"
#include "gui/native/NativePlatform.h"

namespace brume {

Control::Control(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background)
    : View(bounds), listener(listener), tag(tag), background(background) {
  if (background) background->retain();
}

Control::~Control() {
  if (background) background->release();
}

bool Control::needsRedraw() const { return value != lastDrawnValue || View::needsRedraw(); }

void Control::markRedraw(bool on) {
  View::markRedraw(on);
  if (on)
    lastDrawnValue = value == -1.0f ? 0.0f : -1.0f;
  else
    lastDrawnValue = value;
}

void Control::pumpIdle() {
  if (GuiEditorBase* editor = ownerEditor()) editor->serviceIdle();
}

void Control::setValue(float newValue) { value = newValue; }
float Control::getValue() const { return value; }
void Control::setMinimum(float newMinimum) { minimum = newMinimum; }
float Control::getMinimum() const { return minimum; }
void Control::setMaximum(float newMaximum) { maximum = newMaximum; }
float Control::getMaximum() const { return maximum; }
void Control::setLastDrawnValue(float newValue) { lastDrawnValue = newValue; }
float Control::getLastDrawnValue() const { return lastDrawnValue; }
void Control::setResetValue(float newValue) { resetValue = newValue; }
float Control::getResetValue() const { return resetValue; }
void Control::setTag(std::int32_t newTag) { tag = newTag; }

void Control::setBackground(Bitmap* bitmap) {
  if (background) background->release();
  background = bitmap;
  if (background) background->retain();
}

Bitmap* Control::getBackground() const { return background; }
void Control::setStep(float newStep) { step = newStep; }
float Control::getStep() const { return step; }

void Control::clampValue() {
  if (value > maximum)
    value = maximum;
  else if (value < minimum)
    value = minimum;
}

void Control::drawBitmap(DrawContext* context, Bitmap* bitmap, Point source) {
  if (!bitmap) return;
  if (isTransparent())
    bitmap->drawKeyed(context, bounds, source);
  else
    bitmap->drawOpaque(context, bounds, source);
}

void Control::reportIfChanged(DrawContext* context) {
  if (needsRedraw() && listener) listener->onControlChanged(context, this);
}

std::int32_t Control::buttonsFrom(const DrawContext* context) {
  return context ? context->mouseButtons() : native::mouseButtons();
}

}  // namespace brume
