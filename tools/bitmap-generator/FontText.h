#pragma once
// Text for the panel, drawn with FreeType from the Liberation Sans faces (metric
// twins of Arial, the face the editor itself writes its captions with).

#include <memory>
#include <string>
#include <vector>

#include "Raster.h"

namespace brume::bitmaps {

enum class FontWeight { regular, bold };

struct TextStyle {
  FontWeight weight = FontWeight::regular;
  int pixelSize = 10;     // em height, as a GDI font height of -pixelSize
  double tracking = 0.0;  // extra pixels after every character
};

// One line of text as coverage (0..1 per pixel), positioned against its pen origin:
// the image's top-left pixel lies at (penX + left, baseline + top).
struct TextImage {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  int advance = 0;  // pen travel of the whole line, used for centring
  std::vector<double> coverage;

  double at(int x, int y) const { return coverage[static_cast<std::size_t>(y * width + x)]; }
};

class FontLibrary {
 public:
  FontLibrary();
  ~FontLibrary();
  FontLibrary(const FontLibrary&) = delete;
  FontLibrary& operator=(const FontLibrary&) = delete;

  // Opens LiberationSans-Regular.ttf and LiberationSans-Bold.ttf from the folder;
  // false with a one-line reason in error when either cannot be used.
  bool open(const std::string& fontDirectory, std::string& error);

  TextImage render(const std::string& text, TextStyle style) const;
  // Ascent and descent in whole pixels, as a GDI text metric gives them.
  int ascent(TextStyle style) const;
  int descent(TextStyle style) const;

 private:
  struct Faces;
  std::unique_ptr<Faces> faces;
};

// Draws the text with its pen origin at (penX, baseline).
void drawText(Raster& raster, const TextImage& text, int penX, int baseline, Colour colour);
// Centred on centreX by its advance.
void drawTextCentred(Raster& raster, const TextImage& text, int centreX, int baseline, Colour colour);

// Placed the way the editor places a caption: centred in the rectangle on one line,
// the text cell (ascent + descent) vertically centred with whole-pixel division.
void drawTextInRect(Raster& raster, const FontLibrary& fonts, const std::string& text, TextStyle style, PixelRect rect,
                    Colour colour);

}  // namespace brume::bitmaps
