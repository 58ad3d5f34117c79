#pragma once
// A rotary control: a face from the background bitmap and a pointer (a drawn
// line with a shadow, or a bitmap). It follows mouse drags, linear or
// circular, the wheel and the arrow keys. Angles are mathematical (0 right,
// counter-clockwise positive) in radians. User-interface thread only.

#include <cstdint>

#include "gui/Colour.h"
#include "gui/Control.h"

namespace brume {

class HandleKnob : public Control {
 public:
  HandleKnob(const Rect& bounds, ControlListener* listener, std::int32_t tag, Bitmap* background, Bitmap* pointerBitmap,
             Point backgroundOffset);

  void draw(DrawContext* context) override;
  // Drags until the left button is released; control-click restores the reset value.
  void onMouseDown(DrawContext* context, Point where) override;
  VstInt32 onKeyPress(KeyCode key) override;  // arrows 11..14, 1 when handled
  bool onWheelTurn(DrawContext* context, Point where, float distance) override;

  virtual void drawPointer(DrawContext* context);
  virtual void setStartAngle(float angle);
  virtual float getStartAngle() const;
  virtual void setSweepAngle(float angle);  // signed; negative is clockwise
  virtual float getSweepAngle() const;
  virtual void pointForValue(Point& point) const;  // pointer tip, relative to the bounds' top-left
  virtual float valueAtPoint(Point point) const;   // point relative to the bounds' top-left
  virtual void setPointerInset(std::int32_t inset);
  virtual void setPointerShadowColour(Colour colour);
  virtual void setPointerColour(Colour colour);
  virtual void setPointerBitmap(Bitmap* bitmap);
  virtual void setFineFactor(float factor);
  virtual float getFineFactor() const;

 protected:
  ~HandleKnob() override;
  void computeAngles();  // value per radian, value offset and the dead zone

  Point backgroundOffset;
  Colour pointerColour = kWhiteColour;
  Colour shadowColour = kGreyColour;
  Bitmap* pointerBitmap;
  std::int32_t pointerInset;
  float startAngle;
  float sweepAngle;
  float deadZoneHalf = 0.0f;
  float valuePerRadian = 0.0f;  // a
  float valueOffset = 0.0f;     // b
  float radius;
  float fineFactor = 1.5f;
};

}  // namespace brume
