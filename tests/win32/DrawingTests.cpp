// DrawContext and Bitmap on a real GDI device context: the same pixel rules
// the software renderer follows (fills, outlines, lines, dotted and wide
// pens), opaque and keyed copies of the program's bitmap resources, text
// placement, and the GDI objects the native layer makes.

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "Win32TestSupport.h"
#include "gui/Bitmap.h"
#include "gui/DrawContext.h"
#include "gui/native/win32/Win32Platform.h"
#include "host/ModuleHandle.h"

namespace brume::testing {
namespace {

constexpr Pixel kPaper = 0xFFFFFF;

Pixel pixelOf(Colour colour) {
  return static_cast<Pixel>(colour.red) << 16 | static_cast<Pixel>(colour.green) << 8 | colour.blue;
}

// A 32-bit DIB section in a memory device context, with a DrawContext on it.
class GdiCanvasTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 120;
  static constexpr int kHeight = 40;

  void SetUp() override {
    ModuleHandle = GetModuleHandleA(nullptr);
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_NE(dib, nullptr);
    previousBitmap = SelectObject(dc, dib);
    fill(Rect{0, 0, kWidth, kHeight}, kPaper);
    context = std::make_unique<DrawContext>(nullptr, win32::surfaceOf(dc), nullptr);
  }
  void TearDown() override {
    context.reset();
    SelectObject(dc, previousBitmap);
    DeleteObject(dib);
    DeleteDC(dc);
  }

  Pixel pixel(int x, int y) const {
    GdiFlush();
    return bits[y * kWidth + x] & 0xFFFFFF;
  }
  void fill(const Rect& area, Pixel value) {
    GdiFlush();
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) bits[y * kWidth + x] = value;
  }
  // Smallest rectangle (right and bottom included) holding every pixel that is not paper.
  Rect inkBox() const {
    Rect box{kWidth, kHeight, -1, -1};
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (pixel(x, y) != kPaper) {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x);
          box.bottom = std::max(box.bottom, y);
        }
    return box;
  }

  HDC dc = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  std::uint32_t* bits = nullptr;
  std::unique_ptr<DrawContext> context;
};

TEST_F(GdiCanvasTest, FillThenFrameCoverTheRectangleExactlyOnce) {
  const Rect rect{3, 4, 10, 9};
  context->setFillColour(kBlueColour);
  context->fillRect(rect);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      bool inside = x > rect.left && x < rect.right && y > rect.top && y < rect.bottom;
      ASSERT_EQ(pixel(x, y), inside ? pixelOf(kBlueColour) : kPaper) << "after fill at " << x << "," << y;
    }
  context->setFrameColour(kRedColour);
  context->frameRect(rect);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      bool within = x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
      bool border = within && (x == rect.left || x == rect.right || y == rect.top || y == rect.bottom);
      Pixel expected = border ? pixelOf(kRedColour) : within ? pixelOf(kBlueColour) : kPaper;
      ASSERT_EQ(pixel(x, y), expected) << "after frame at " << x << "," << y;
    }
}

TEST_F(GdiCanvasTest, LinesLeaveOutTheirEndPointAndFollowTheOffset) {
  context->setOffset({1, 2});
  context->setFrameColour(kBlackColour);
  context->moveTo({2, 2});
  context->lineTo({7, 2});
  context->moveTo({2, 10});
  context->lineTo({6, 6});
  for (int x = 0; x < 12; ++x) EXPECT_EQ(pixel(x, 4), x >= 3 && x <= 7 ? 0u : kPaper) << "horizontal line at x " << x;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(pixel(3 + i, 12 - i), i < 4 ? 0u : kPaper) << "diagonal line at step " << i;
}

TEST_F(GdiCanvasTest, DottedPenDrawsThreeOnThreeOffAndWidePensAreSolid) {
  context->setFrameColour(kBlackColour);
  context->setLineStyle(1);
  context->moveTo({0, 1});
  context->lineTo({12, 1});
  std::string pattern;
  for (int x = 0; x < 13; ++x) pattern += pixel(x, 1) == 0 ? '#' : '.';
  EXPECT_EQ(pattern, "###...###....");

  context->setLineWidth(3);
  context->moveTo({0, 10});
  context->lineTo({12, 10});
  for (int x = 1; x < 12; ++x)
    for (int y = 9; y <= 11; ++y) EXPECT_EQ(pixel(x, y), 0u) << "wide line at " << x << "," << y;
}

TEST_F(GdiCanvasTest, TheContextPutsTheDeviceContextsOwnObjectsBack) {
  context.reset();
  HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
  HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
  HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  {
    DrawContext drawing(nullptr, win32::surfaceOf(dc), nullptr);
    drawing.setFont(2, 0, 0);
    drawing.setFillColour(kGreenColour);
    EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_NE(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 255, 0));
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
}

TEST_F(GdiCanvasTest, FontsCarryTheDescriptionOfTheFontTable) {
  struct Case {
    std::int32_t index;
    std::int32_t size;
    std::int32_t style;
    const char* face;
    LONG height;
    LONG weight;
    BYTE italic;
    BYTE underline;
    BYTE pitchAndFamily;
  };
  const Case cases[] = {
      {9, 0, 0, "Arial", -12, 700, 0, 0, 0x22},   // outside the table: index 0, always bold
      {7, 0, 1, "Symbol", -13, 700, 0, 0, 0x50},  // decorative family
      {3, 20, 6, "Arial", -20, 400, 1, 1, 0x22},  // italic and underlined, explicit size
      {5, 0, 0, "Arial", -10, 400, 0, 0, 0x22},
  };
  for (const Case& c : cases) {
    context->setFont(c.index, c.size, c.style);
    LOGFONTA font{};
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font), static_cast<int>(sizeof font));
    SCOPED_TRACE(std::string("font index ") + std::to_string(c.index));
    EXPECT_STREQ(font.lfFaceName, c.face);
    EXPECT_EQ(font.lfHeight, c.height);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, c.weight);
    EXPECT_EQ(font.lfItalic, c.italic);
    EXPECT_EQ(font.lfUnderline, c.underline);
    EXPECT_EQ(font.lfStrikeOut, 0);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_STRING_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
    EXPECT_EQ(font.lfPitchAndFamily, c.pitchAndFamily);
  }
}

TEST_F(GdiCanvasTest, PensAndBrushesAreTheRequestedOnes) {
  context->setLineWidth(3);
  context->setFrameColour(Colour{10, 20, 30, 99});
  LOGPEN pen{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen), static_cast<int>(sizeof pen));
  EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
  EXPECT_EQ(pen.lopnWidth.x, 3);
  EXPECT_EQ(pen.lopnColor, RGB(10, 20, 30)) << "the spare byte must not reach the colour";
  context->setLineWidth(1);
  context->setLineStyle(1);
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen), static_cast<int>(sizeof pen));
  EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_DOT));

  context->setFillColour(Colour{200, 100, 50, 7});
  LOGBRUSH brush{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
  EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(brush.lbColor, RGB(200, 100, 50));
}

TEST_F(GdiCanvasTest, NullHandlesAreRefusedQuietly) {
  EXPECT_EQ(native::currentPen(nullptr), nullptr);
  EXPECT_EQ(native::selectBrush(nullptr, nullptr), nullptr);
  EXPECT_EQ(native::selectFont(win32::surfaceOf(dc), nullptr), nullptr);
  native::fillRectangle(nullptr, Rect{0, 0, 5, 5});
  native::drawText(win32::surfaceOf(dc), nullptr, Rect{0, 0, 5, 5}, native::TextAlignment::left);
  native::copyImage(win32::surfaceOf(dc), nullptr, Rect{0, 0, 5, 5}, Point{});
  native::copyImageKeyed(win32::surfaceOf(dc), nullptr, nullptr, Rect{0, 0, 5, 5}, Point{});
  EXPECT_EQ(native::createMask(nullptr, nullptr, kWhiteColour), nullptr);
  std::int32_t width = 7;
  std::int32_t height = 7;
  native::imageSize(nullptr, width, height);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  native::deletePen(nullptr);
  native::deleteImage(nullptr);
  native::deleteMask(nullptr);
  EXPECT_EQ(inkBox().right, -1) << "something was drawn";
}

TEST_F(GdiCanvasTest, TheModulesBitmapsLoadWithTheirSizes) {
  struct Case {
    std::int32_t id;
    std::int32_t width;
    std::int32_t height;
  };
  for (const Case& c : {Case{101, 650, 200}, Case{104, 32, 1792}, Case{105, 32, 1792}, Case{106, 32, 1792},
                        Case{107, 32, 1792}, Case{109, 36, 48}, Case{110, 50, 850}}) {
    Bitmap* bitmap = new Bitmap(0x10000 | c.id);  // only the low 16 bits name the resource
    EXPECT_TRUE(bitmap->isLoaded()) << "bitmap " << c.id;
    EXPECT_EQ(bitmap->getWidth(), c.width) << "bitmap " << c.id;
    EXPECT_EQ(bitmap->getHeight(), c.height) << "bitmap " << c.id;
    bitmap->release();
  }
  Bitmap* missing = new Bitmap(502);
  EXPECT_FALSE(missing->isLoaded());
  EXPECT_EQ(missing->getWidth(), 0);
  missing->drawOpaque(context.get(), Rect{0, 0, 10, 10}, Point{0, 0});
  missing->drawKeyed(context.get(), Rect{0, 0, 10, 10}, Point{0, 0});
  EXPECT_EQ(inkBox().right, -1) << "a missing bitmap drew";
  missing->release();
}

TEST_F(GdiCanvasTest, OpaqueCopiesUseTheSourceAndContextOffsets) {
  const PixelImage meter = resourcePixels(110);
  ASSERT_EQ(meter.width, 50);
  Bitmap* bitmap = new Bitmap(110);
  context->setOffset({5, 3});
  bitmap->drawOpaque(context.get(), Rect{0, 0, 30, 20}, Point{10, 400});
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      bool copied = x >= 5 && x < 35 && y >= 3 && y < 23;
      Pixel expected = copied ? meter.at(x - 5 + 10, y - 3 + 400) : kPaper;
      ASSERT_EQ(pixel(x, y), expected) << "at " << x << "," << y;
    }
  bitmap->release();
}

TEST_F(GdiCanvasTest, KeyedCopiesLeaveTheTransparentPixelsOfTheFirstMask) {
  const PixelImage strip = resourcePixels(104);
  ASSERT_EQ(strip.width, 32);
  const Pixel ground = 0x00FF00;
  Bitmap* bitmap = new Bitmap(104);
  bitmap->setTransparentColour(kYellowColour);
  fill(Rect{0, 0, kWidth, kHeight}, ground);

  // The same image frame (rows 96 to 127) keyed twice: once with yellow as
  // the key, once after the key changed to the colour of a knob pixel. The
  // mask made by the first draw stays, so both copies leave out yellow alone.
  bitmap->drawKeyed(context.get(), Rect{0, 0, 32, 32}, Point{0, 96});
  Pixel knobPixel = 0;
  for (int i = 0; i < 32 * 32 && knobPixel == 0; ++i)
    if (strip.at(i % 32, 96 + i / 32) != kYellowPixel) knobPixel = strip.at(i % 32, 96 + i / 32);
  ASSERT_NE(knobPixel, 0u);
  bitmap->setTransparentColour(Colour{static_cast<std::uint8_t>(knobPixel >> 16),
                                      static_cast<std::uint8_t>(knobPixel >> 8), static_cast<std::uint8_t>(knobPixel),
                                      0});
  bitmap->drawKeyed(context.get(), Rect{40, 0, 72, 32}, Point{0, 96});
  int leftOut = 0;
  for (int copy = 0; copy < 2; ++copy)
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        Pixel source = strip.at(x, 96 + y);
        leftOut += source == kYellowPixel;
        ASSERT_EQ(pixel(copy * 40 + x, y), source == kYellowPixel ? ground : source)
            << "copy " << copy << " at " << x << "," << y;
      }
  EXPECT_GT(leftOut, 0) << "the image frame has no yellow to leave out";

  // The keyed copies left the image itself unchanged.
  bitmap->drawOpaque(context.get(), Rect{80, 0, 112, 32}, Point{0, 96});
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(pixel(80 + x, y), strip.at(x, 96 + y)) << "image changed at " << x << "," << y;
  bitmap->release();
}

TEST_F(GdiCanvasTest, AKeyedCopyWithoutKeyColouredPixelsEqualsAnOpaqueOne) {
  const PixelImage background = resourcePixels(101);
  const Colour key{1, 2, 3, 0};
  for (Pixel pixel : background.pixels) ASSERT_NE(pixel, 0x010203u) << "the key colour occurs in the image";
  Bitmap* bitmap = new Bitmap(101);
  bitmap->setTransparentColour(key);
  bitmap->drawKeyed(context.get(), Rect{0, 0, 60, 40}, Point{300, 100});
  bitmap->drawOpaque(context.get(), Rect{60, 0, 120, 40}, Point{300, 100});
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < 60; ++x) {
      ASSERT_EQ(pixel(x, y), background.at(300 + x, 100 + y)) << "keyed at " << x << "," << y;
      ASSERT_EQ(pixel(60 + x, y), background.at(300 + x, 100 + y)) << "opaque at " << x << "," << y;
    }
  bitmap->release();
}

class GdiTextTest : public GdiCanvasTest {
 protected:
  Rect drawn(const char* text, std::int32_t alignment) {
    fill(Rect{0, 0, kWidth, kHeight}, kPaper);
    context->drawString(text, kArea, false, alignment);
    return inkBox();
  }
  static constexpr Rect kArea{10, 5, 110, 35};
};

TEST_F(GdiTextTest, AlignmentsPlaceOneVerticallyCentredLine) {
  context->setFont(3, 0, 0);
  context->setFontColour(kBlackColour);
  Rect left = drawn("Hi", 0);
  Rect centre = drawn("Hi", 1);
  Rect right = drawn("Hi", 2);
  ASSERT_LE(left.left, left.right) << "nothing was drawn";
  EXPECT_EQ(centre.width(), left.width());
  EXPECT_EQ(right.width(), left.width());
  EXPECT_EQ(centre.top, left.top);
  EXPECT_EQ(right.bottom, left.bottom);
  EXPECT_GE(left.left, kArea.left + 1);
  EXPECT_LE(left.left, kArea.left + 3);
  EXPECT_LE(std::abs((centre.left + centre.right) - (kArea.left + kArea.right - 1)), 3);
  EXPECT_LE(right.right, kArea.right - 1);
  EXPECT_GE(right.right, kArea.right - 3);
  EXPECT_LE(std::abs((left.top + left.bottom) - (kArea.top + kArea.bottom - 1)), 3);

  // Left alignment starts one pixel in from where the platform puts it.
  fill(Rect{0, 0, kWidth, kHeight}, kPaper);
  native::drawText(win32::surfaceOf(dc), "Hi", kArea, native::TextAlignment::left);
  EXPECT_EQ(inkBox().left + 1, left.left);
}

TEST_F(GdiTextTest, AmpersandIsDrawnAsItselfOnOneClippedLine) {
  context->setFont(1, 0, 0);
  context->setFontColour(kBlackColour);
  Rect ampersand = drawn("&", 1);
  EXPECT_LE(ampersand.left, ampersand.right) << "a lone ampersand drew nothing";

  // Two lines' worth of text stays on one line, and inside the rectangle.
  const Rect narrow{20, 12, 40, 24};
  fill(Rect{0, 0, kWidth, kHeight}, kPaper);
  context->drawString("WWWWWWWWWW\nWWW", narrow, false, 1);
  Rect box = inkBox();
  ASSERT_LE(box.left, box.right);
  EXPECT_GE(box.left, narrow.left);
  EXPECT_LT(box.right, narrow.right);
  EXPECT_GE(box.top, narrow.top);
  EXPECT_LT(box.bottom, narrow.bottom);
}

TEST_F(GdiTextTest, OpaqueTextFillsItsBoxWithTheFillColour) {
  context->setFont(3, 0, 0);
  context->setFontColour(kBlackColour);
  context->setFillColour(kGreenColour);
  fill(Rect{0, 0, kWidth, kHeight}, kPaper);
  context->drawString("Hi", kArea, true, 1);
  int green = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) green += pixel(x, y) == pixelOf(kGreenColour);
  EXPECT_GT(green, 0) << "no text background was filled";
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << "the background mode stays opaque after the text";
}

}  // namespace
}  // namespace brume::testing
