#pragma once
// The text of a software-drawn text entry, copied out as the native layer's
// copyTextEntryText promises; shared by the backends that draw their entries.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace brume::raster {

// At most capacity - 1 characters and a zero; answers the number copied.
inline std::int32_t copyEntryText(const std::string& entryText, char* text, std::int32_t capacity) {
  if (!text || capacity <= 0) return 0;
  const std::size_t copied = std::min(entryText.size(), static_cast<std::size_t>(capacity - 1));
  std::memcpy(text, entryText.data(), copied);
  text[copied] = 0;
  return static_cast<std::int32_t>(copied);
}

}  // namespace brume::raster
