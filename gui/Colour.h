#pragma once
// The toolkit's colour: red, green, blue and a spare byte that drawing never uses.

#include <cstdint>

namespace brume {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t spare = 0;
};

// Colours compare by red, green and blue only.
constexpr bool operator==(Colour a, Colour b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
constexpr bool operator!=(Colour a, Colour b) { return !(a == b); }

// The native colour value: red in the low byte, then green, then blue.
constexpr std::uint32_t colourValue(Colour c) {
  return static_cast<std::uint32_t>(c.red) | static_cast<std::uint32_t>(c.green) << 8 |
         static_cast<std::uint32_t>(c.blue) << 16;
}

inline constexpr Colour kBlackColour{0, 0, 0, 0};
inline constexpr Colour kWhiteColour{255, 255, 255, 0};
inline constexpr Colour kGreyColour{127, 127, 127, 0};
inline constexpr Colour kRedColour{255, 0, 0, 0};
inline constexpr Colour kGreenColour{0, 255, 0, 0};
inline constexpr Colour kBlueColour{0, 0, 255, 0};
inline constexpr Colour kYellowColour{255, 255, 0, 0};
inline constexpr Colour kMagentaColour{255, 0, 255, 0};
inline constexpr Colour kCyanColour{0, 255, 255, 0};
inline constexpr Colour kDefaultTransparentColour{255, 255, 255, 0};

}  // namespace brume
