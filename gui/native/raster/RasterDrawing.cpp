// The drawing part of the native layer for software backends: drawing
// objects, device-context state, lines, fills and text on a Canvas, with
// GDI's pixel rules.

#include <cstdlib>
#include <new>

#include "gui/native/raster/RasterObjects.h"
#include "gui/native/raster/TextRenderer.h"

namespace brume {
namespace {

native::Pen stockPen{native::PenStyle::solid, 1, kBlackColour, true};
native::Brush stockBrush{kWhiteColour, true};
native::Font makeStockFont() {
  native::Font font;
  font.description.height = -16;
  font.description.weight = 700;
  font.description.face[0] = 0;
  font.stock = true;
  return font;
}
native::Font stockFont = makeStockFont();

// A cosmetic dotted pen: three pixels on, three off, restarting with every line.
constexpr std::int32_t kDotRun = 3;

void stampDisc(raster::Canvas& canvas, std::int32_t x, std::int32_t y, std::int32_t width, raster::Pixel pixel) {
  double middle = (width - 1) / 2.0;
  double reach = width / 2.0;
  for (std::int32_t j = 0; j < width; ++j)
    for (std::int32_t i = 0; i < width; ++i) {
      double dx = i - middle;
      double dy = j - middle;
      if (dx * dx + dy * dy <= reach * reach)
        canvas.setPixel(x - static_cast<std::int32_t>(middle) + i, y - static_cast<std::int32_t>(middle) + j, pixel);
    }
}

void drawLine(native::Surface& surface, Point from, Point to) {
  raster::Canvas& canvas = *surface.canvas;
  const native::Pen& pen = surface.pen ? *surface.pen : stockPen;
  raster::Pixel ink = raster::pixelOf(pen.colour);
  raster::Pixel gap = raster::pixelOf(surface.backgroundColour);
  std::int32_t width = pen.width < 1 ? 1 : pen.width;
  bool dotted = pen.style == native::PenStyle::dotted && width == 1;

  std::int32_t dx = std::abs(to.x - from.x);
  std::int32_t dy = -std::abs(to.y - from.y);
  std::int32_t stepX = from.x < to.x ? 1 : -1;
  std::int32_t stepY = from.y < to.y ? 1 : -1;
  std::int32_t error = dx + dy;
  Point at = from;
  for (std::int32_t index = 0;; ++index) {
    bool atEnd = at == to;
    // Thin pens leave the end point out, as LineTo does; wide pens end in a round cap.
    if (atEnd && width == 1) break;
    if (width > 1) {
      stampDisc(canvas, at.x, at.y, width, ink);
    } else if (!dotted || (index / kDotRun) % 2 == 0) {
      canvas.setPixel(at.x, at.y, ink);
    } else if (surface.opaqueBackground) {
      canvas.setPixel(at.x, at.y, gap);
    }
    if (atEnd) break;
    std::int32_t doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      at.x += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      at.y += stepY;
    }
  }
}

template <typename Object>
void deleteOwned(Object* object) {
  if (object && !object->stock) delete object;
}

}  // namespace

namespace raster {

native::Surface* createSurface(Canvas& canvas) {
  native::Surface* surface = new (std::nothrow) native::Surface;
  if (!surface) return nullptr;
  surface->canvas = &canvas;
  surface->pen = &stockPen;
  surface->brush = &stockBrush;
  surface->font = &stockFont;
  return surface;
}

void destroySurface(native::Surface* surface) { delete surface; }

}  // namespace raster

namespace native {

Pen* createPen(PenStyle style, std::int32_t width, Colour colour) {
  return new (std::nothrow) Pen{style, width, colour, false};
}

Brush* createBrush(Colour colour) { return new (std::nothrow) Brush{colour, false}; }

Font* createFont(const FontDescription& description) { return new (std::nothrow) Font{description, false}; }

void deletePen(Pen* pen) { deleteOwned(pen); }
void deleteBrush(Brush* brush) { deleteOwned(brush); }
void deleteFont(Font* font) { deleteOwned(font); }

Pen* currentPen(Surface* surface) { return surface ? surface->pen : nullptr; }
Brush* currentBrush(Surface* surface) { return surface ? surface->brush : nullptr; }
Font* currentFont(Surface* surface) { return surface ? surface->font : nullptr; }

Pen* selectPen(Surface* surface, Pen* pen) {
  if (!surface || !pen) return nullptr;
  Pen* previous = surface->pen;
  surface->pen = pen;
  return previous;
}

Brush* selectBrush(Surface* surface, Brush* brush) {
  if (!surface || !brush) return nullptr;
  Brush* previous = surface->brush;
  surface->brush = brush;
  return previous;
}

Font* selectFont(Surface* surface, Font* font) {
  if (!surface || !font) return nullptr;
  Font* previous = surface->font;
  surface->font = font;
  return previous;
}

void setBackgroundMode(Surface* surface, bool opaque) {
  if (surface) surface->opaqueBackground = opaque;
}

void setBackgroundColour(Surface* surface, Colour colour) {
  if (surface) surface->backgroundColour = colour;
}

void setTextColour(Surface* surface, Colour colour) {
  if (surface) surface->textColour = colour;
}

void moveTo(Surface* surface, Point point) {
  if (surface) surface->position = point;
}

void lineTo(Surface* surface, Point point) {
  if (!surface || !surface->canvas) return;
  drawLine(*surface, surface->position, point);
  surface->position = point;
}

void fillRectangle(Surface* surface, const Rect& area) {
  if (!surface || !surface->canvas) return;
  const Brush& brush = surface->brush ? *surface->brush : stockBrush;
  surface->canvas->fill(area, raster::pixelOf(brush.colour));
}

void drawText(Surface* surface, const char* text, const Rect& area, TextAlignment alignment) {
  if (!surface || !surface->canvas || !text) return;
  const Font& font = surface->font ? *surface->font : stockFont;
  raster::TextPaint paint{surface->textColour, surface->opaqueBackground, surface->backgroundColour};
  raster::drawTextLine(*surface->canvas, font.description, text, area, alignment, paint);
}

}  // namespace native
}  // namespace brume
