#pragma once
// The editor's bitmap files, built into native plug-ins as data and found by
// resource number (the number that starts each file's name).

#include <cstddef>

namespace brume {

struct EmbeddedBitmap {
  int id;
  const unsigned char* data;  // the whole .bmp file
  std::size_t size;
};

// Null when no bitmap has that number. Any thread.
const EmbeddedBitmap* findEmbeddedBitmap(int id);

}  // namespace brume
