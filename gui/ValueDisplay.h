#pragma once
// A control that shows its value as text, formatted by a callback or as
// "%2.2f", over a bitmap, a filled box or a bevelled box, optionally with a
// drop shadow. User-interface thread only.

#include <cstdint>

#include "gui/Colour.h"
#include "gui/Control.h"

namespace brume {

// Style bits.
constexpr std::int32_t kShadowStyle = 0x4;
constexpr std::int32_t kSunkenBevelStyle = 0x80;
constexpr std::int32_t kRaisedBevelStyle = 0x100;
constexpr std::int32_t kNoTextStyle = 0x800;
constexpr std::int32_t kNoDrawStyle = 0x1000;
constexpr std::int32_t kDoubleClickStyle = 0x2000;

// Formatters write at most 255 characters and a zero into `text`.
using ValueFormatter = void (*)(float value, char* text);
using ValueFormatterWithContext = void (*)(float value, char* text, void* context);

class ValueDisplay : public Control {
 public:
  ValueDisplay(const Rect& bounds, Bitmap* background, std::int32_t style);

  void draw(DrawContext* context) override;

  // The setters that change what is drawn mark for redraw, and only when the value changes.
  virtual void setFontIndex(std::int32_t index);
  virtual void setTextColour(Colour colour);
  virtual void setBackColour(Colour colour);
  virtual void setFrameColour(Colour colour);
  virtual void setShadowColour(Colour colour);
  virtual void setAlignment(std::int32_t newAlignment);  // 0 left, 1 centre, 2 right
  virtual void setBackgroundOffset(Point offset);
  virtual void setFormatterWithContext(ValueFormatterWithContext formatter, void* context);
  virtual void setFormatter(ValueFormatter formatter);
  virtual void setStyle(std::int32_t newStyle);
  virtual void setFontStyle(std::int32_t newStyle);  // 1 bold, 2 italic, 4 underline
  virtual void setTextTransparent(bool on);

  std::int32_t getStyle() const { return style; }
  std::int32_t getAlignment() const { return alignment; }
  std::int32_t getFontIndex() const { return fontIndex; }
  Colour getTextColour() const { return textColour; }
  Colour getBackColour() const { return backColour; }

 protected:
  // Background, bevel, shadow and text; `bitmap` (or the control's own) under it all.
  void drawText(DrawContext* context, const char* text, Bitmap* bitmap);

  ValueFormatter formatter = nullptr;
  ValueFormatterWithContext formatterWithContext = nullptr;
  void* contextWord = nullptr;
  std::int32_t alignment = 1;
  std::int32_t style;
  std::int32_t fontIndex = 3;
  std::int32_t fontStyle = 0;
  Colour textColour = kWhiteColour;
  Colour backColour = kBlackColour;
  Colour frameColour = kBlackColour;
  Colour shadowColour = kRedColour;
  Point backgroundOffset;
  bool textTransparent = true;
};

}  // namespace brume
