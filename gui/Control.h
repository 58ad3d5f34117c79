#pragma once
// A view that carries a float value with a range, a reset value, a step, a tag
// and a listener. setValue only stores; a changed value reports needsRedraw
// until the next draw, which the frame's idle redraw performs.
// User-interface thread only.

#include <cstdint>

#include "gui/ControlListener.h"
#include "gui/View.h"

namespace brume {

class Bitmap;

class Control : public View {
 public:
  Control(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background);

  bool needsRedraw() const override;  // also when the value differs from the last drawn one
  void markRedraw(bool on) override;

  virtual void pumpIdle();  // the editor's throttled idle, when there is one
  virtual void setValue(float newValue);
  virtual float getValue() const;
  virtual void setMinimum(float newMinimum);
  virtual float getMinimum() const;
  virtual void setMaximum(float newMaximum);
  virtual float getMaximum() const;
  virtual void setLastDrawnValue(float newValue);
  virtual float getLastDrawnValue() const;
  virtual void setResetValue(float newValue);
  virtual float getResetValue() const;
  virtual void setTag(std::int32_t newTag);
  virtual void setBackground(Bitmap* bitmap);  // retained
  virtual Bitmap* getBackground() const;
  virtual void setStep(float newStep);
  virtual float getStep() const;
  virtual void clampValue();

  std::int32_t getTag() const { return tag; }
  ControlListener* getListener() const { return listener; }
  void setListener(ControlListener* newListener) { listener = newListener; }

 protected:
  ~Control() override;
  // Keyed when the view is transparent, else opaque, into the bounds.
  void drawBitmap(DrawContext* context, Bitmap* bitmap, Point source);
  // The listener hears of a change that is not drawn yet.
  void reportIfChanged(DrawContext* context);
  // Mouse buttons from the context, or polled directly without one.
  static std::int32_t buttonsFrom(const DrawContext* context);

  ControlListener* listener;
  std::int32_t tag;
  float lastDrawnValue = 1.0f;
  float resetValue = 0.5f;
  float value = 0.0f;
  float minimum = 0.0f;
  float maximum = 1.0f;
  float step = 0.1f;
  Bitmap* background;
};

}  // namespace brume
