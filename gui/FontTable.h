#pragma once
// The toolkit's eight fonts, addressed by index; any index outside 0..7 means 0.

#include <cstdint>

namespace brume {

struct FontTableEntry {
  const char* face;
  std::int32_t defaultSize;  // character height in pixels
};

constexpr std::int32_t kFontTableSize = 8;
constexpr std::int32_t kAlwaysBoldFont = 0;
constexpr std::int32_t kDecorativeFont = 7;

// Any thread.
const FontTableEntry& fontTableEntry(std::int32_t index);
std::int32_t validFontIndex(std::int32_t index);

}  // namespace brume
