// The software renderer's pixels through DrawContext and Bitmap: GDI's
// rectangle and line rules, opaque and keyed copies, text placement, and the
// .bmp and PNG formats.

#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "GuiTestSupport.h"
#include "gui/Bitmap.h"
#include "gui/DrawContext.h"
#include "gui/native/raster/BmpDecoder.h"
#include "gui/native/raster/PngExport.h"
#include "gui/native/raster/RasterObjects.h"
#include "gui/native/raster/TextRenderer.h"

namespace brume::testing {
namespace {

constexpr raster::Pixel kPaper = 0xFFFFFF;

// A canvas with a device context on it, as a paint would have.
class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    raster::clearImageResources();
    surface = raster::createSurface(canvas);
    context = std::make_unique<DrawContext>(nullptr, surface, nullptr);
  }
  void TearDown() override {
    context.reset();
    raster::destroySurface(surface);
  }

  // Smallest rectangle (right and bottom included) holding every pixel that is not paper.
  Rect inkBox() const {
    Rect box{canvas.width(), canvas.height(), -1, -1};
    for (std::int32_t y = 0; y < canvas.height(); ++y)
      for (std::int32_t x = 0; x < canvas.width(); ++x)
        if (canvas.pixel(x, y) != kPaper) {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x);
          box.bottom = std::max(box.bottom, y);
        }
    return box;
  }

  raster::Canvas canvas{120, 40, kPaper};
  native::Surface* surface = nullptr;
  std::unique_ptr<DrawContext> context;
};

TEST_F(CanvasTest, FillThenFrameCoverTheRectangleExactlyOnce) {
  const Rect rect{3, 4, 10, 9};
  context->setFillColour(kBlueColour);
  context->fillRect(rect);
  // The fill leaves the left column and top row, and stops before the right and bottom.
  for (std::int32_t y = 0; y < 20; ++y)
    for (std::int32_t x = 0; x < 20; ++x) {
      bool inside = x > rect.left && x < rect.right && y > rect.top && y < rect.bottom;
      ASSERT_EQ(canvas.pixel(x, y), inside ? raster::pixelOf(kBlueColour) : kPaper)
          << "after fill at " << x << "," << y;
    }
  context->setFrameColour(kRedColour);
  context->frameRect(rect);
  for (std::int32_t y = 0; y < 20; ++y)
    for (std::int32_t x = 0; x < 20; ++x) {
      bool within = x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
      bool border = within && (x == rect.left || x == rect.right || y == rect.top || y == rect.bottom);
      raster::Pixel expected = border ? raster::pixelOf(kRedColour) : within ? raster::pixelOf(kBlueColour) : kPaper;
      ASSERT_EQ(canvas.pixel(x, y), expected) << "after frame at " << x << "," << y;
    }
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPointAndFollowTheOffset) {
  context->setOffset({1, 2});
  context->setFrameColour(kBlackColour);
  context->moveTo({2, 2});
  context->lineTo({7, 2});
  context->moveTo({2, 10});
  context->lineTo({6, 6});
  for (std::int32_t x = 0; x < 12; ++x)
    EXPECT_EQ(canvas.pixel(x, 4), x >= 3 && x <= 7 ? 0u : kPaper) << "horizontal line at x " << x;
  for (std::int32_t i = 0; i < 5; ++i)
    EXPECT_EQ(canvas.pixel(3 + i, 12 - i), i < 4 ? 0u : kPaper) << "diagonal line at step " << i;
}

TEST_F(CanvasTest, DottedPenDrawsThreeOnThreeOffAndWidePensAreSolid) {
  context->setFrameColour(kBlackColour);
  context->setLineStyle(1);
  context->moveTo({0, 1});
  context->lineTo({12, 1});
  std::string pattern;
  for (std::int32_t x = 0; x < 13; ++x) pattern += canvas.pixel(x, 1) == 0 ? '#' : '.';
  EXPECT_EQ(pattern, "###...###....");

  context->setLineWidth(3);
  context->moveTo({0, 10});
  context->lineTo({12, 10});
  for (std::int32_t x = 1; x < 12; ++x)
    for (std::int32_t y = 9; y <= 11; ++y) EXPECT_EQ(canvas.pixel(x, y), 0u) << "wide line at " << x << "," << y;
}

TEST_F(CanvasTest, KeyedCopyLeavesTheTransparentPixelsOfTheFirstMask) {
  raster::addImageResource(500, makeBmp(4, 1, {0xFF0000, 0xFFFFFF, 0x0000FF, 0xFFFFFF}));
  Bitmap* bitmap = new Bitmap(500);
  ASSERT_EQ(bitmap->getWidth(), 4);
  canvas.fill(Rect{0, 0, 10, 3}, 0x00FF00);

  bitmap->drawOpaque(context.get(), Rect{0, 0, 4, 1}, Point{0, 0});
  bitmap->drawKeyed(context.get(), Rect{0, 1, 4, 2}, Point{0, 0});
  // The default transparent colour is white; a later colour change keeps the mask made here.
  bitmap->setTransparentColour(kRedColour);
  bitmap->drawKeyed(context.get(), Rect{0, 2, 4, 3}, Point{0, 0});
  const raster::Pixel expected[3][4] = {{0xFF0000, 0xFFFFFF, 0x0000FF, 0xFFFFFF},
                                        {0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00},
                                        {0xFF0000, 0x00FF00, 0x0000FF, 0x00FF00}};
  for (std::int32_t y = 0; y < 3; ++y)
    for (std::int32_t x = 0; x < 4; ++x) EXPECT_EQ(canvas.pixel(x, y), expected[y][x]) << "at " << x << "," << y;
  bitmap->release();

  // A fresh bitmap with red as its colour from the start leaves red out instead.
  Bitmap* redKeyed = new Bitmap(500);
  redKeyed->setTransparentColour(kRedColour);
  canvas.fill(Rect{0, 0, 10, 3}, 0x00FF00);
  redKeyed->drawKeyed(context.get(), Rect{0, 0, 4, 1}, Point{0, 0});
  EXPECT_EQ(canvas.pixel(0, 0), 0x00FF00u);
  EXPECT_EQ(canvas.pixel(1, 0), 0xFFFFFFu);
  redKeyed->release();
}

TEST_F(CanvasTest, CopiesUseTheSourceOffsetAndMissingBitmapsDrawNothing) {
  raster::addImageResource(501, makeBmp(2, 2, {0x000001, 0x000002, 0x000003, 0x000004}));
  Bitmap* bitmap = new Bitmap(0x10000 | 501);  // only the low 16 bits name the resource
  context->setOffset({5, 5});
  bitmap->drawOpaque(context.get(), Rect{0, 0, 1, 1}, Point{1, 1});
  EXPECT_EQ(canvas.pixel(5, 5), 4u);
  bitmap->release();

  Bitmap* missing = new Bitmap(502);
  EXPECT_FALSE(missing->isLoaded());
  EXPECT_EQ(missing->getWidth(), 0);
  missing->drawOpaque(context.get(), Rect{0, 0, 10, 10}, Point{0, 0});
  missing->drawKeyed(context.get(), Rect{0, 0, 10, 10}, Point{0, 0});
  EXPECT_EQ(canvas.pixel(6, 6), kPaper);
  missing->release();
}

class TextPlacementTest : public CanvasTest {
 protected:
  Rect drawn(const char* text, std::int32_t alignment) {
    canvas.fill(Rect{0, 0, canvas.width(), canvas.height()}, kPaper);
    context->drawString(text, kArea, false, alignment);
    return inkBox();
  }
  static constexpr Rect kArea{10, 5, 110, 35};
};

TEST_F(TextPlacementTest, AlignmentsPlaceOneVerticallyCentredLine) {
  ASSERT_TRUE(raster::fontsAvailable()) << "the Liberation fonts are missing";
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
  // "Hi" has no descender: its ink centre sits close to the area's middle.
  EXPECT_LE(std::abs((left.top + left.bottom) - (kArea.top + kArea.bottom - 1)), 3);

  // Left alignment starts one pixel in from where the platform would put it.
  canvas.fill(Rect{0, 0, canvas.width(), canvas.height()}, kPaper);
  native::drawText(surface, "Hi", kArea, native::TextAlignment::left);
  EXPECT_EQ(inkBox().left + 1, left.left);
}

TEST_F(TextPlacementTest, TextIsClippedAndOpaqueUsesTheFillColour) {
  ASSERT_TRUE(raster::fontsAvailable());
  context->setFont(1, 0, 0);
  context->setFontColour(kBlackColour);
  const Rect narrow{20, 12, 40, 24};
  context->drawString("WWWWWWWWWW", narrow, false, 1);
  Rect box = inkBox();
  EXPECT_GE(box.left, narrow.left);
  EXPECT_LT(box.right, narrow.right);
  EXPECT_GE(box.top, narrow.top);
  EXPECT_LT(box.bottom, narrow.bottom);

  canvas.fill(Rect{0, 0, canvas.width(), canvas.height()}, kPaper);
  context->setFillColour(kGreenColour);
  context->setFont(3, 0, 0);
  context->drawString("a&b", kArea, true, 0);
  // The line box of 11 + 3 rows starts at row 5 + (30 - 14) / 2, above the glyphs.
  EXPECT_EQ(canvas.pixel(kArea.left + 1, 13), raster::pixelOf(kGreenColour)) << "the text box is filled";
  EXPECT_EQ(canvas.pixel(kArea.left, 13), kPaper) << "left of the moved-in text box";
  EXPECT_EQ(canvas.pixel(kArea.left + 1, 12), kPaper) << "above the text box";
  EXPECT_GT(raster::measureText(native::FontDescription{-12, 400}, "a&b").width,
            raster::measureText(native::FontDescription{-12, 400}, "ab").width)
      << "the ampersand is drawn";
}

TEST(FontChoice, SetFontFollowsTheTable) {
  DrawContext context(nullptr, nullptr, nullptr);
  context.setFont(9, 0, 0);
  EXPECT_EQ(context.getFontIndex(), 0);
  EXPECT_EQ(context.getFontSize(), 12);
  context.setFont(7, 0, 1);
  EXPECT_EQ(context.getFontIndex(), 7);
  EXPECT_EQ(context.getFontSize(), 13);
  context.setFont(2, 20, 0);
  EXPECT_EQ(context.getFontSize(), 20);
}

TEST(BmpFormat, ReadsBottomUpAndTopDownRows) {
  std::vector<std::uint8_t> file = makeBmp(3, 2, {1, 2, 3, 4, 5, 6});
  raster::Canvas image;
  ASSERT_TRUE(raster::decodeBmp(file.data(), file.size(), image));
  EXPECT_EQ(image.pixel(0, 0), 1u);
  EXPECT_EQ(image.pixel(2, 1), 6u);

  // The same file stored top-down: negative height, rows in the other order.
  std::vector<std::uint8_t> topDown = file;
  std::int32_t negative = -2;
  std::memcpy(&topDown[22], &negative, 4);
  std::memcpy(&topDown[54], &file[54 + 12], 12);
  std::memcpy(&topDown[54 + 12], &file[54], 12);
  ASSERT_TRUE(raster::decodeBmp(topDown.data(), topDown.size(), image));
  EXPECT_EQ(image.pixel(0, 0), 1u);
  EXPECT_EQ(image.pixel(2, 1), 6u);

  EXPECT_FALSE(raster::decodeBmp(file.data(), file.size() - 1, image)) << "truncated";
  file[28] = 8;
  EXPECT_FALSE(raster::decodeBmp(file.data(), file.size(), image)) << "8 bits per pixel";
}

TEST(PngExport, WritesTheCanvasPixels) {
  raster::Canvas canvas(3, 2, 0x102030);
  canvas.setPixel(2, 1, 0xA0B0C0);
  std::string path = ::testing::TempDir() + "brume_gui_canvas.png";
  ASSERT_TRUE(raster::writePng(canvas, path));

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  ASSERT_EQ(image.width, 3u);
  ASSERT_EQ(image.height, 2u);
  EXPECT_EQ((std::vector<std::uint8_t>(rgb.begin(), rgb.begin() + 3)), (std::vector<std::uint8_t>{0x10, 0x20, 0x30}));
  EXPECT_EQ((std::vector<std::uint8_t>(rgb.end() - 3, rgb.end())), (std::vector<std::uint8_t>{0xA0, 0xB0, 0xC0}));
  std::remove(path.c_str());
  EXPECT_FALSE(raster::writePng(raster::Canvas(), path));
}

}  // namespace
}  // namespace brume::testing
