#include "BmpFile.h"

#include <fstream>
#include <iterator>

namespace brume::bitmaps::testing {
namespace {

std::uint32_t little(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

}  // namespace

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

BmpFile readBmpFile(const std::string& path, std::string& error) {
  BmpFile image;
  const std::vector<std::uint8_t> bytes = readFileBytes(path);
  error.clear();
  if (bytes.size() < 54) {
    error = path + ": " + std::to_string(bytes.size()) + " bytes, too short for the two headers";
    return image;
  }
  if (bytes[0] != 'B' || bytes[1] != 'M')
    error = "no BM signature";
  else if (little(bytes, 2, 4) != bytes.size())
    error =
        "file size field " + std::to_string(little(bytes, 2, 4)) + " but the file has " + std::to_string(bytes.size());
  else if (little(bytes, 10, 4) != 54)
    error = "pixel data at " + std::to_string(little(bytes, 10, 4)) + ", expected 54";
  else if (little(bytes, 14, 4) != 40)
    error = "info header size " + std::to_string(little(bytes, 14, 4)) + ", expected 40 (BITMAPINFOHEADER)";
  else if (little(bytes, 26, 2) != 1)
    error = "planes " + std::to_string(little(bytes, 26, 2));
  else if (little(bytes, 28, 2) != 24)
    error = "bits per pixel " + std::to_string(little(bytes, 28, 2)) + ", expected 24";
  else if (little(bytes, 30, 4) != 0)
    error = "compression " + std::to_string(little(bytes, 30, 4)) + ", expected 0 (BI_RGB)";
  else if (static_cast<std::int32_t>(little(bytes, 22, 4)) <= 0)
    error = "height not positive: not a bottom-up bitmap";
  if (!error.empty()) {
    error = path + ": " + error;
    return image;
  }
  image.width = static_cast<std::int32_t>(little(bytes, 18, 4));
  image.height = static_cast<std::int32_t>(little(bytes, 22, 4));
  const std::size_t rowSize = (static_cast<std::size_t>(image.width) * 3 + 3) & ~std::size_t{3};
  if (image.width <= 0 || 54 + rowSize * static_cast<std::size_t>(image.height) != bytes.size()) {
    error = path + ": " + std::to_string(bytes.size()) + " bytes do not hold " + std::to_string(image.width) + " x " +
            std::to_string(image.height) + " pixels in padded rows";
    return image;
  }
  image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    const std::size_t row = 54 + rowSize * static_cast<std::size_t>(image.height - 1 - y);
    for (int x = 0; x < image.width; ++x) {
      const std::size_t at = row + static_cast<std::size_t>(x) * 3;
      image.pixels[static_cast<std::size_t>(y * image.width + x)] = Rgb{bytes[at + 2], bytes[at + 1], bytes[at]};
    }
  }
  return image;
}

}  // namespace brume::bitmaps::testing
