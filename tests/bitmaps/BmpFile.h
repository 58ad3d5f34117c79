#pragma once
// A reader for the editor's bitmap files, independent of the generator's writer:
// it accepts only what the resources must be (24-bit, uncompressed, bottom-up).

#include <cstdint>
#include <string>
#include <vector>

namespace brume::bitmaps::testing {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
};

inline bool operator==(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
inline bool operator!=(Rgb a, Rgb b) { return !(a == b); }

constexpr Rgb kYellow{255, 255, 0};

// Not the key colour itself, but close enough to it to show as a yellow fringe.
inline bool isNearYellow(Rgb pixel) {
  return pixel != kYellow && pixel.red > 200 && pixel.green > 200 && pixel.blue < 100;
}

struct BmpFile {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // top row first

  Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Empty error on success; otherwise the first thing found wrong.
BmpFile readBmpFile(const std::string& path, std::string& error);
std::vector<std::uint8_t> readFileBytes(const std::string& path);

}  // namespace brume::bitmaps::testing
