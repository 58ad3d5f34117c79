#pragma once
// One native device context for the length of a paint, a mouse press (the
// whole drag) or an idle redraw: current colours, line style and font, a
// coordinate offset, lines, rectangles and text, and the mouse poll.
// User-interface thread only.

#include <cstdint>

#include "gui/Colour.h"
#include "gui/Geometry.h"
#include "gui/native/NativePlatform.h"

namespace brume {

class Frame;

class DrawContext {
 public:
  // With a surface: transparent text background, a white solid pen, a black
  // brush and white text are in force; no font until setFont.
  DrawContext(Frame* frame, native::Surface* surface, native::Window* window);
  // Puts the surface's own pen, brush and font back and deletes the ones made here.
  virtual ~DrawContext();
  DrawContext(const DrawContext&) = delete;
  DrawContext& operator=(const DrawContext&) = delete;

  void moveTo(Point point);
  void lineTo(Point point);               // the end point is not drawn
  void setLineStyle(std::int32_t style);  // 1 dotted, anything else solid
  void setLineWidth(std::int32_t width);
  void setFrameColour(Colour colour);
  void setFillColour(Colour colour);  // brush and opaque text background
  void setFontColour(Colour colour);
  // index outside 0..7 -> 0; size 0 -> the index's default; style bits 1 bold, 2 italic, 4 underline.
  void setFont(std::int32_t index, std::int32_t size, std::int32_t style);
  void frameRect(const Rect& rect);  // outline including the right column and bottom row
  void fillRect(const Rect& rect);   // (left + 1, top + 1) up to, not including, (right, bottom)
  // Alignment 0 left (one pixel in from rect.left), 1 centre, 2 right.
  void drawString(const char* text, const Rect& rect, bool opaque, std::int32_t alignment);
  std::int32_t mouseButtons() const;       // bits of gui/MouseButtons.h
  void mousePosition(Point& where) const;  // relative to the window

  void setOffset(Point point) { offset = point; }
  Point getOffset() const { return offset; }
  Point getWindowOrigin() const { return windowOrigin; }
  native::Surface* surface() const { return deviceContext; }
  native::Window* window() const { return windowHandle; }
  Frame* frame() const { return frameView; }
  Colour getFrameColour() const { return frameColour; }
  Colour getFillColour() const { return fillColour; }
  Colour getFontColour() const { return fontColour; }
  std::int32_t getFontIndex() const { return fontIndex; }
  std::int32_t getFontSize() const { return fontSize; }
  std::int32_t getLineStyle() const { return lineStyle; }
  std::int32_t getLineWidth() const { return lineWidth; }

 private:
  void makePen();

  Point windowOrigin;
  Point offset;
  native::Surface* deviceContext;
  native::Window* windowHandle;
  Frame* frameView;
  std::int32_t fontSize = 0;
  std::int32_t fontIndex = 0;
  Colour fontColour = kWhiteColour;
  std::int32_t lineWidth = 1;
  Colour frameColour = kWhiteColour;
  Colour fillColour = kBlackColour;
  std::int32_t lineStyle = 0;
  native::PenStyle penStyle = native::PenStyle::solid;
  native::Brush* brush = nullptr;
  native::Pen* pen = nullptr;
  native::Font* font = nullptr;
  native::Brush* rememberedBrush = nullptr;
  native::Pen* rememberedPen = nullptr;
  native::Font* rememberedFont = nullptr;
};

}  // namespace brume
