// GDI drawing objects, device-context state, lines, fills and text.

#include <cstdio>

#include "gui/native/win32/Win32Objects.h"

namespace brume {
namespace native {

using win32::colourRef;
using win32::toDc;

Pen* createPen(PenStyle style, std::int32_t width, Colour colour) {
  LOGPEN description{};
  description.lopnStyle = style == PenStyle::dotted ? PS_DOT : PS_SOLID;
  description.lopnWidth = POINT{width, width};
  description.lopnColor = colourRef(colour);
  return reinterpret_cast<Pen*>(CreatePenIndirect(&description));
}

Brush* createBrush(Colour colour) {
  LOGBRUSH description{};
  description.lbStyle = BS_SOLID;
  description.lbColor = colourRef(colour);
  description.lbHatch = 0;
  return reinterpret_cast<Brush*>(CreateBrushIndirect(&description));
}

Font* createFont(const FontDescription& description) {
  LOGFONTA font{};
  font.lfHeight = description.height;
  font.lfWidth = 0;
  font.lfEscapement = 0;
  font.lfOrientation = 0;
  font.lfWeight = description.weight;
  font.lfItalic = description.italic ? TRUE : FALSE;
  font.lfUnderline = description.underline ? TRUE : FALSE;
  font.lfStrikeOut = description.strikeOut ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfOutPrecision = OUT_STRING_PRECIS;
  font.lfClipPrecision = CLIP_STROKE_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = static_cast<BYTE>(description.pitchAndFamily);
  std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%.*s", static_cast<int>(sizeof description.face),
                description.face);
  return reinterpret_cast<Font*>(CreateFontIndirectA(&font));
}

void deletePen(Pen* pen) {
  if (pen) DeleteObject(win32::toPen(pen));
}

void deleteBrush(Brush* brush) {
  if (brush) DeleteObject(win32::toBrush(brush));
}

void deleteFont(Font* font) {
  if (font) DeleteObject(win32::toFont(font));
}

Pen* currentPen(Surface* surface) {
  return surface ? reinterpret_cast<Pen*>(GetCurrentObject(toDc(surface), OBJ_PEN)) : nullptr;
}

Brush* currentBrush(Surface* surface) {
  return surface ? reinterpret_cast<Brush*>(GetCurrentObject(toDc(surface), OBJ_BRUSH)) : nullptr;
}

Font* currentFont(Surface* surface) {
  return surface ? reinterpret_cast<Font*>(GetCurrentObject(toDc(surface), OBJ_FONT)) : nullptr;
}

Pen* selectPen(Surface* surface, Pen* pen) {
  if (!surface || !pen) return nullptr;
  return reinterpret_cast<Pen*>(SelectObject(toDc(surface), win32::toPen(pen)));
}

Brush* selectBrush(Surface* surface, Brush* brush) {
  if (!surface || !brush) return nullptr;
  return reinterpret_cast<Brush*>(SelectObject(toDc(surface), win32::toBrush(brush)));
}

Font* selectFont(Surface* surface, Font* font) {
  if (!surface || !font) return nullptr;
  return reinterpret_cast<Font*>(SelectObject(toDc(surface), win32::toFont(font)));
}

void setBackgroundMode(Surface* surface, bool opaque) {
  if (surface) SetBkMode(toDc(surface), opaque ? OPAQUE : TRANSPARENT);
}

void setBackgroundColour(Surface* surface, Colour colour) {
  if (surface) SetBkColor(toDc(surface), colourRef(colour));
}

void setTextColour(Surface* surface, Colour colour) {
  if (surface) SetTextColor(toDc(surface), colourRef(colour));
}

void moveTo(Surface* surface, Point point) {
  if (surface) MoveToEx(toDc(surface), point.x, point.y, nullptr);
}

void lineTo(Surface* surface, Point point) {
  if (surface) LineTo(toDc(surface), point.x, point.y);
}

void fillRectangle(Surface* surface, const Rect& area) {
  if (!surface) return;
  HDC dc = toDc(surface);
  // Without an outline Rectangle fills one column and one row less than its
  // rectangle, so one more of each reaches area.right - 1 and area.bottom - 1.
  HGDIOBJ previous = SelectObject(dc, GetStockObject(NULL_PEN));
  Rectangle(dc, area.left, area.top, area.right + 1, area.bottom + 1);
  SelectObject(dc, previous);
}

void drawText(Surface* surface, const char* text, const Rect& area, TextAlignment alignment) {
  if (!surface || !text) return;
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (alignment == TextAlignment::centre)
    format |= DT_CENTER;
  else if (alignment == TextAlignment::right)
    format |= DT_RIGHT;
  RECT rect{area.left, area.top, area.right, area.bottom};
  DrawTextA(toDc(surface), text, -1, &rect, format);
}

}  // namespace native
}  // namespace brume
