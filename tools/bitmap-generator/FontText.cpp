#include "FontText.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>

namespace brume::bitmaps {

struct FontLibrary::Faces {
  FT_Library library = nullptr;
  FT_Face regular = nullptr;
  FT_Face bold = nullptr;

  ~Faces() {
    if (bold) FT_Done_Face(bold);
    if (regular) FT_Done_Face(regular);
    if (library) FT_Done_FreeType(library);
  }

  FT_Face face(TextStyle style) const {
    FT_Face chosen = style.weight == FontWeight::bold ? bold : regular;
    FT_Set_Pixel_Sizes(chosen, 0, static_cast<FT_UInt>(std::max(style.pixelSize, 1)));
    return chosen;
  }
};

namespace {

struct PlacedGlyph {
  int left = 0;  // relative to the pen origin and the baseline
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<unsigned char> alpha;
};

int fontUnitsToPixels(FT_Face face, long units, int pixelSize) {
  return static_cast<int>(std::lround(static_cast<double>(units) * pixelSize / face->units_per_EM));
}

}  // namespace

FontLibrary::FontLibrary() = default;
FontLibrary::~FontLibrary() = default;

bool FontLibrary::open(const std::string& fontDirectory, std::string& error) {
  auto opened = std::make_unique<Faces>();
  if (FT_Init_FreeType(&opened->library) != 0) {
    error = "cannot start FreeType";
    return false;
  }
  const std::string regularPath = fontDirectory + "/LiberationSans-Regular.ttf";
  const std::string boldPath = fontDirectory + "/LiberationSans-Bold.ttf";
  if (FT_New_Face(opened->library, regularPath.c_str(), 0, &opened->regular) != 0) {
    error = "cannot open font " + regularPath + " (install fonts-liberation)";
    return false;
  }
  if (FT_New_Face(opened->library, boldPath.c_str(), 0, &opened->bold) != 0) {
    error = "cannot open font " + boldPath + " (install fonts-liberation)";
    return false;
  }
  faces = std::move(opened);
  return true;
}

TextImage FontLibrary::render(const std::string& text, TextStyle style) const {
  TextImage image;
  if (!faces) return image;
  FT_Face face = faces->face(style);

  std::vector<PlacedGlyph> glyphs;
  FT_Pos pen = 0;  // 26.6 fixed point
  FT_UInt previous = 0;
  for (const char character : text) {
    const FT_UInt glyphIndex = FT_Get_Char_Index(face, static_cast<unsigned char>(character));
    if (previous != 0 && glyphIndex != 0 && FT_HAS_KERNING(face)) {
      FT_Vector kerning{};
      if (FT_Get_Kerning(face, previous, glyphIndex, FT_KERNING_DEFAULT, &kerning) == 0) pen += kerning.x;
    }
    if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
    const FT_GlyphSlot slot = face->glyph;
    PlacedGlyph glyph;
    glyph.left = static_cast<int>((pen + 32) >> 6) + slot->bitmap_left;
    glyph.top = -slot->bitmap_top;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.height = static_cast<int>(slot->bitmap.rows);
    for (int row = 0; row < glyph.height; ++row)
      for (int column = 0; column < glyph.width; ++column)
        glyph.alpha.push_back(slot->bitmap.buffer[row * slot->bitmap.pitch + column]);
    glyphs.push_back(std::move(glyph));
    pen += slot->advance.x + static_cast<FT_Pos>(std::lround(style.tracking * 64.0));
    previous = glyphIndex;
  }
  if (!text.empty()) pen -= static_cast<FT_Pos>(std::lround(style.tracking * 64.0));
  image.advance = static_cast<int>((pen + 32) >> 6);

  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (const PlacedGlyph& glyph : glyphs) {
    if (glyph.width == 0 || glyph.height == 0) continue;
    minX = std::min(minX, glyph.left);
    minY = std::min(minY, glyph.top);
    maxX = std::max(maxX, glyph.left + glyph.width);
    maxY = std::max(maxY, glyph.top + glyph.height);
  }
  if (minX > maxX) return image;
  image.left = minX;
  image.top = minY;
  image.width = maxX - minX;
  image.height = maxY - minY;
  image.coverage.assign(static_cast<std::size_t>(image.width * image.height), 0.0);
  for (const PlacedGlyph& glyph : glyphs)
    for (int row = 0; row < glyph.height; ++row)
      for (int column = 0; column < glyph.width; ++column) {
        double& cell = image.coverage[static_cast<std::size_t>((glyph.top - minY + row) * image.width + glyph.left -
                                                               minX + column)];
        cell = std::min(1.0, cell + glyph.alpha[static_cast<std::size_t>(row * glyph.width + column)] / 255.0);
      }
  return image;
}

int FontLibrary::ascent(TextStyle style) const {
  if (!faces) return 0;
  FT_Face face = faces->face(style);
  return fontUnitsToPixels(face, face->ascender, style.pixelSize);
}

int FontLibrary::descent(TextStyle style) const {
  if (!faces) return 0;
  FT_Face face = faces->face(style);
  return fontUnitsToPixels(face, -face->descender, style.pixelSize);
}

void drawText(Raster& raster, const TextImage& text, int penX, int baseline, Colour colour) {
  for (int y = 0; y < text.height; ++y)
    for (int x = 0; x < text.width; ++x)
      raster.blend(penX + text.left + x, baseline + text.top + y, colour, text.at(x, y));
}

void drawTextCentred(Raster& raster, const TextImage& text, int centreX, int baseline, Colour colour) {
  drawText(raster, text, centreX - text.advance / 2, baseline, colour);
}

void drawTextInRect(Raster& raster, const FontLibrary& fonts, const std::string& text, TextStyle style, PixelRect rect,
                    Colour colour) {
  const TextImage image = fonts.render(text, style);
  const int cellHeight = fonts.ascent(style) + fonts.descent(style);
  const int baseline = rect.top + (rect.bottom - rect.top - cellHeight) / 2 + fonts.ascent(style);
  const int penX = rect.left + (rect.right - rect.left - image.advance) / 2;
  drawText(raster, image, penX, baseline, colour);
}

}  // namespace brume::bitmaps
