#include "gui/ValueDisplay.h"

#include <cstdio>

#include "gui/Bitmap.h"
#include "gui/DrawContext.h"

namespace brume {

ValueDisplay::ValueDisplay(const Rect& bounds, Bitmap* background, std::int32_t style)
    : Control(bounds, nullptr, 0, background), style(style) {
  if (style & kNoDrawStyle) markRedraw(false);
}

void ValueDisplay::draw(DrawContext* context) {
  char text[256] = "";
  if (formatterWithContext)
    formatterWithContext(value, text, contextWord);
  else if (formatter)
    formatter(value, text);
  else
    std::snprintf(text, sizeof text, "%2.2f", value);
  text[sizeof text - 1] = 0;
  drawText(context, text, nullptr);
}

void ValueDisplay::drawText(DrawContext* context, const char* text, Bitmap* bitmap) {
  markRedraw(false);
  if ((style & kNoDrawStyle) || !context) return;

  if (Bitmap* under = bitmap ? bitmap : background) {
    if (isTransparent())
      under->drawKeyed(context, bounds, backgroundOffset);
    else
      under->drawOpaque(context, bounds, backgroundOffset);
  } else if (!isTransparent()) {
    context->setFillColour(backColour);
    context->fillRect(bounds);
    if (!(style & (kSunkenBevelStyle | kRaisedBevelStyle))) {
      context->setFrameColour(frameColour);
      context->frameRect(bounds);
    }
  }

  if (style & (kSunkenBevelStyle | kRaisedBevelStyle)) {
    bool sunken = (style & kSunkenBevelStyle) != 0;
    context->setFrameColour(sunken ? backColour : frameColour);
    context->moveTo({bounds.left, bounds.bottom});
    context->lineTo({bounds.left, bounds.top});
    context->lineTo({bounds.right + 1, bounds.top});
    context->setFrameColour(sunken ? frameColour : backColour);
    context->moveTo({bounds.right, bounds.top + 1});
    context->lineTo({bounds.right, bounds.bottom});
    context->lineTo({bounds.left, bounds.bottom});
  }

  if (style & kNoTextStyle) return;
  context->setFont(fontIndex, 0, fontStyle);
  if (style & kShadowStyle) {
    context->setFontColour(shadowColour);
    context->drawString(text, bounds.movedBy({1, 1}), !textTransparent, alignment);
  }
  context->setFontColour(textColour);
  context->drawString(text, bounds, !textTransparent, alignment);
}

void ValueDisplay::setFontIndex(std::int32_t index) {
  if (index == fontIndex) return;
  fontIndex = index;
  markRedraw(true);
}

void ValueDisplay::setTextColour(Colour colour) {
  if (colour == textColour) return;
  textColour = colour;
  markRedraw(true);
}

void ValueDisplay::setBackColour(Colour colour) {
  if (colour == backColour) return;
  backColour = colour;
  markRedraw(true);
}

void ValueDisplay::setFrameColour(Colour colour) {
  if (colour == frameColour) return;
  frameColour = colour;
  markRedraw(true);
}

void ValueDisplay::setShadowColour(Colour colour) {
  if (colour == shadowColour) return;
  shadowColour = colour;
  markRedraw(true);
}

void ValueDisplay::setAlignment(std::int32_t newAlignment) {
  if (newAlignment == alignment) return;
  alignment = newAlignment;
  markRedraw(true);
}

void ValueDisplay::setBackgroundOffset(Point offset) { backgroundOffset = offset; }

void ValueDisplay::setFormatterWithContext(ValueFormatterWithContext newFormatter, void* context) {
  formatterWithContext = newFormatter;
  contextWord = context;
}

void ValueDisplay::setFormatter(ValueFormatter newFormatter) { formatter = newFormatter; }

void ValueDisplay::setStyle(std::int32_t newStyle) {
  if (newStyle == style) return;
  style = newStyle;
  markRedraw(true);
}

void ValueDisplay::setFontStyle(std::int32_t newStyle) {
  if (newStyle == fontStyle) return;
  fontStyle = newStyle;
  markRedraw(true);
}

void ValueDisplay::setTextTransparent(bool on) { textTransparent = on; }

}  // namespace brume
