#include "gui/DrawContext.h"

#include <cstdio>

#include "gui/FontTable.h"

namespace brume {
namespace {

constexpr std::int32_t kBoldWeight = 700;
constexpr std::int32_t kNormalWeight = 400;
constexpr std::int32_t kSwissVariablePitch = 0x22;
constexpr std::int32_t kDecorativeFamily = 0x50;

}  // namespace

DrawContext::DrawContext(Frame* frame, native::Surface* surface, native::Window* window)
    : deviceContext(surface), windowHandle(window), frameView(frame) {
  if (window) windowOrigin = native::windowScreenOrigin(window);
  if (!surface) return;
  rememberedBrush = native::currentBrush(surface);
  rememberedPen = native::currentPen(surface);
  rememberedFont = native::currentFont(surface);
  native::setBackgroundMode(surface, false);
  setFrameColour(kWhiteColour);
  setLineStyle(0);
  setFillColour(kBlackColour);
  setFontColour(kWhiteColour);
}

DrawContext::~DrawContext() {
  if (deviceContext) {
    if (rememberedBrush) native::selectBrush(deviceContext, rememberedBrush);
    if (rememberedPen) native::selectPen(deviceContext, rememberedPen);
    if (rememberedFont) native::selectFont(deviceContext, rememberedFont);
  }
  native::deleteBrush(brush);
  native::deletePen(pen);
  native::deleteFont(font);
}

void DrawContext::moveTo(Point point) { native::moveTo(deviceContext, point + offset); }

void DrawContext::lineTo(Point point) { native::lineTo(deviceContext, point + offset); }

void DrawContext::setLineStyle(std::int32_t style) {
  lineStyle = style;
  penStyle = style == 1 ? native::PenStyle::dotted : native::PenStyle::solid;
  makePen();
}

void DrawContext::setLineWidth(std::int32_t width) {
  lineWidth = width;
  makePen();
}

void DrawContext::setFrameColour(Colour colour) {
  frameColour = colour;
  makePen();
}

void DrawContext::makePen() {
  if (!deviceContext) return;
  native::Pen* made = native::createPen(penStyle, lineWidth, frameColour);
  if (!made) return;
  native::selectPen(deviceContext, made);
  native::deletePen(pen);
  pen = made;
}

void DrawContext::setFillColour(Colour colour) {
  fillColour = colour;
  if (!deviceContext) return;
  native::setBackgroundColour(deviceContext, colour);
  native::Brush* made = native::createBrush(colour);
  if (!made) return;  // the old brush stays in force
  native::selectBrush(deviceContext, made);
  native::deleteBrush(brush);
  brush = made;
}

void DrawContext::setFontColour(Colour colour) {
  fontColour = colour;
  native::setTextColour(deviceContext, colour);
}

void DrawContext::setFont(std::int32_t index, std::int32_t size, std::int32_t style) {
  index = validFontIndex(index);
  const FontTableEntry& entry = fontTableEntry(index);
  fontIndex = index;
  if (size == 0) size = entry.defaultSize;
  fontSize = size;

  native::FontDescription description;
  description.height = -size;
  description.weight = (style & 1) || index == kAlwaysBoldFont ? kBoldWeight : kNormalWeight;
  description.italic = (style & 2) != 0;
  description.underline = (style & 4) != 0;
  description.pitchAndFamily = index == kDecorativeFont ? kDecorativeFamily : kSwissVariablePitch;
  std::snprintf(description.face, sizeof description.face, "%s", entry.face);

  if (!deviceContext) return;
  native::Font* made = native::createFont(description);
  if (!made) return;
  native::selectFont(deviceContext, made);
  native::deleteFont(font);
  font = made;
}

void DrawContext::frameRect(const Rect& rect) {
  moveTo({rect.left, rect.top});
  lineTo({rect.right, rect.top});
  lineTo({rect.right, rect.bottom});
  lineTo({rect.left, rect.bottom});
  lineTo({rect.left, rect.top});
}

void DrawContext::fillRect(const Rect& rect) {
  native::fillRectangle(deviceContext, Rect{rect.left + 1, rect.top + 1, rect.right, rect.bottom}.movedBy(offset));
}

void DrawContext::drawString(const char* text, const Rect& rect, bool opaque, std::int32_t alignment) {
  if (!deviceContext || !text) return;
  native::setBackgroundMode(deviceContext, opaque);
  Rect area = rect.movedBy(offset);
  native::TextAlignment nativeAlignment = native::TextAlignment::left;
  if (alignment == 1) {
    nativeAlignment = native::TextAlignment::centre;
  } else if (alignment == 2) {
    nativeAlignment = native::TextAlignment::right;
  } else {
    area.left += 1;
  }
  native::drawText(deviceContext, text, area, nativeAlignment);
  native::setBackgroundMode(deviceContext, false);
}

std::int32_t DrawContext::mouseButtons() const { return native::mouseButtons(); }

void DrawContext::mousePosition(Point& where) const { where = native::cursorScreenPosition() - windowOrigin; }

}  // namespace brume
