#include "gui/native/raster/TextRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <strings.h>

#ifndef BRUME_FONT_DIRECTORY
#define BRUME_FONT_DIRECTORY "/usr/share/fonts/truetype/liberation"
#endif

namespace brume::raster {
namespace {

constexpr std::int32_t kDefaultEmSize = 16;

// The Symbol font's letters: A..Z then a..z.
constexpr char32_t kSymbolUpper[26] = {0x391, 0x392, 0x3A7, 0x394, 0x395, 0x3A6, 0x393, 0x397, 0x399,
                                       0x3D1, 0x39A, 0x39B, 0x39C, 0x39D, 0x39F, 0x3A0, 0x398, 0x3A1,
                                       0x3A3, 0x3A4, 0x3A5, 0x3C2, 0x3A9, 0x39E, 0x3A8, 0x396};
constexpr char32_t kSymbolLower[26] = {0x3B1, 0x3B2, 0x3C7, 0x3B4, 0x3B5, 0x3C6, 0x3B3, 0x3B7, 0x3B9,
                                       0x3D5, 0x3BA, 0x3BB, 0x3BC, 0x3BD, 0x3BF, 0x3C0, 0x3B8, 0x3C1,
                                       0x3C3, 0x3C4, 0x3C5, 0x3D6, 0x3C9, 0x3BE, 0x3C8, 0x3B6};

constexpr const char* kFallbackFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kFallbackBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Loaded faces, kept for the life of the process.
class FontLibrary {
 public:
  static FontLibrary& instance() {
    static FontLibrary library;
    return library;
  }

  // `path` is a full path, or a file name in the font folder.
  FT_Face face(const std::string& path) {
    if (!library) return nullptr;
    auto found = faces.find(path);
    if (found != faces.end()) return found->second;
    FT_Face loaded = nullptr;
    const std::string full = path.front() == '/' ? path : std::string(BRUME_FONT_DIRECTORY) + "/" + path;
    if (FT_New_Face(library, full.c_str(), 0, &loaded) != 0) loaded = nullptr;
    faces[path] = loaded;
    return loaded;
  }

 private:
  FontLibrary() {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  ~FontLibrary() {
    for (auto& entry : faces)
      if (entry.second) FT_Done_Face(entry.second);
    if (library) FT_Done_FreeType(library);
  }

  FT_Library library = nullptr;
  std::map<std::string, FT_Face> faces;
};

struct ResolvedFont {
  FT_Face face = nullptr;
  bool symbol = false;
};

ResolvedFont resolve(const native::FontDescription& font) {
  bool bold = font.weight >= 600;
  bool symbol = strcasecmp(font.face, "Symbol") == 0;
  std::string file;
  if (symbol)
    file = bold ? "LiberationSerif-Bold.ttf" : "LiberationSerif-Regular.ttf";
  else if (bold)
    file = font.italic ? "LiberationSans-BoldItalic.ttf" : "LiberationSans-Bold.ttf";
  else
    file = font.italic ? "LiberationSans-Italic.ttf" : "LiberationSans-Regular.ttf";
  FontLibrary& fonts = FontLibrary::instance();
  FT_Face face = fonts.face(file);
  if (!face) face = fonts.face("LiberationSans-Regular.ttf");
  // Machines without the Liberation fonts nearly always have DejaVu.
  if (!face) face = fonts.face(bold ? kFallbackBoldFont : kFallbackFont);
  if (!face) face = fonts.face(kFallbackFont);
  return {face, symbol};
}

// Chooses the pixel size; false when the face cannot be used.
bool sizeFace(FT_Face face, const native::FontDescription& font) {
  if (!face) return false;
  std::int32_t em = kDefaultEmSize;
  if (font.height < 0) {
    em = -font.height;
  } else if (font.height > 0) {
    // A positive height asks for the whole cell, ascent plus descent.
    double cell = static_cast<double>(face->ascender - face->descender);
    em = cell > 0 ? static_cast<std::int32_t>(std::lround(font.height * face->units_per_EM / cell)) : font.height;
  }
  return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(em, 1))) == 0;
}

FT_UInt glyphFor(FT_Face face, unsigned char byte, bool symbol) {
  char32_t code = byte;
  if (symbol && byte >= 'A' && byte <= 'Z') code = kSymbolUpper[byte - 'A'];
  if (symbol && byte >= 'a' && byte <= 'z') code = kSymbolLower[byte - 'a'];
  FT_UInt glyph = FT_Get_Char_Index(face, code);
  return glyph ? glyph : FT_Get_Char_Index(face, byte);
}

std::int32_t roundedPixels(FT_Pos value) { return static_cast<std::int32_t>((value + 32) >> 6); }

TextExtent measure(FT_Face face, const char* text, bool symbol) {
  TextExtent extent;
  extent.ascent = roundedPixels(face->size->metrics.ascender);
  extent.descent = roundedPixels(-face->size->metrics.descender);
  for (const char* c = text; *c; ++c)
    if (FT_Load_Glyph(face, glyphFor(face, static_cast<unsigned char>(*c), symbol), FT_LOAD_DEFAULT) == 0)
      extent.width += roundedPixels(face->glyph->advance.x);
  return extent;
}

}  // namespace

bool fontsAvailable() {
  native::FontDescription regular;
  return resolve(regular).face != nullptr;
}

TextExtent measureText(const native::FontDescription& font, const char* text) {
  ResolvedFont resolved = resolve(font);
  if (!text || !sizeFace(resolved.face, font)) return {};
  return measure(resolved.face, text, resolved.symbol);
}

void drawTextLine(Canvas& canvas, const native::FontDescription& font, const char* text, const Rect& area,
                  native::TextAlignment alignment, const TextPaint& paint) {
  ResolvedFont resolved = resolve(font);
  if (!text || !sizeFace(resolved.face, font)) return;
  FT_Face face = resolved.face;
  TextExtent extent = measure(face, text, resolved.symbol);

  std::int32_t x = area.left;
  if (alignment == native::TextAlignment::centre)
    x = area.left + (area.width() - extent.width) / 2;
  else if (alignment == native::TextAlignment::right)
    x = area.right - extent.width;
  std::int32_t lineHeight = extent.ascent + extent.descent;
  std::int32_t top = area.top + (area.height() - lineHeight) / 2;
  std::int32_t baseline = top + extent.ascent;

  Rect clip{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, canvas.width()),
            std::min(area.bottom, canvas.height())};
  auto inClip = [&clip](std::int32_t px, std::int32_t py) {
    return px >= clip.left && px < clip.right && py >= clip.top && py < clip.bottom;
  };

  if (paint.opaque) {
    Rect box{std::max(x, clip.left), std::max(top, clip.top), std::min(x + extent.width, clip.right),
             std::min(top + lineHeight, clip.bottom)};
    canvas.fill(box, pixelOf(paint.background));
  }

  Pixel ink = pixelOf(paint.colour);
  std::int32_t penX = x;
  for (const char* c = text; *c; ++c) {
    if (FT_Load_Glyph(face, glyphFor(face, static_cast<unsigned char>(*c), resolved.symbol), FT_LOAD_RENDER) != 0)
      continue;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    std::int32_t originX = penX + slot->bitmap_left;
    std::int32_t originY = baseline - slot->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
      for (unsigned column = 0; column < bitmap.width; ++column) {
        std::uint32_t coverage;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
          coverage = (line[column / 8] & (0x80 >> (column % 8))) ? 255 : 0;
        else
          coverage = line[column];
        std::int32_t px = originX + static_cast<std::int32_t>(column);
        std::int32_t py = originY + static_cast<std::int32_t>(row);
        if (inClip(px, py)) canvas.blendPixel(px, py, ink, coverage);
      }
    }
    penX += roundedPixels(slot->advance.x);
  }

  if (font.underline || font.strikeOut) {
    std::int32_t thickness =
        std::max(1, roundedPixels(FT_MulFix(face->underline_thickness, face->size->metrics.y_scale)));
    auto rule = [&](std::int32_t ruleTop) {
      for (std::int32_t py = ruleTop; py < ruleTop + thickness; ++py)
        for (std::int32_t px = x; px < x + extent.width; ++px)
          if (inClip(px, py)) canvas.setPixel(px, py, ink);
    };
    if (font.underline)
      rule(baseline - roundedPixels(FT_MulFix(face->underline_position, face->size->metrics.y_scale)));
    if (font.strikeOut) rule(baseline - extent.ascent * 3 / 10);
  }
}

}  // namespace brume::raster
