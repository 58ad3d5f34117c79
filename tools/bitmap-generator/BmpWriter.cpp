#include "BmpWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace brume::bitmaps {
namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPixelsPerMetre = 2835;  // 72 dots per inch

void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint8_t toByte(double channel) { return static_cast<std::uint8_t>(std::lround(std::clamp(channel, 0.0, 255.0))); }

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Raster& raster) {
  const int width = raster.width();
  const int height = raster.height();
  const std::uint32_t rowSize = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(height);
  const std::uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize;

  std::vector<std::uint8_t> bytes;
  bytes.reserve(dataOffset + imageSize);
  bytes.push_back('B');
  bytes.push_back('M');
  putLittleEndian(bytes, dataOffset + imageSize, 4);
  putLittleEndian(bytes, 0, 4);  // two reserved words
  putLittleEndian(bytes, dataOffset, 4);

  putLittleEndian(bytes, kInfoHeaderSize, 4);
  putLittleEndian(bytes, static_cast<std::uint32_t>(width), 4);
  putLittleEndian(bytes, static_cast<std::uint32_t>(height), 4);  // positive: bottom-up
  putLittleEndian(bytes, 1, 2);                                   // planes
  putLittleEndian(bytes, 24, 2);                                  // bits per pixel
  putLittleEndian(bytes, 0, 4);                                   // BI_RGB, uncompressed
  putLittleEndian(bytes, imageSize, 4);
  putLittleEndian(bytes, kPixelsPerMetre, 4);
  putLittleEndian(bytes, kPixelsPerMetre, 4);
  putLittleEndian(bytes, 0, 4);  // colours used
  putLittleEndian(bytes, 0, 4);  // important colours

  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const Colour pixel = raster.at(x, y);
      bytes.push_back(toByte(pixel.blue));
      bytes.push_back(toByte(pixel.green));
      bytes.push_back(toByte(pixel.red));
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowSize; ++pad) bytes.push_back(0);
  }
  return bytes;
}

bool writeBmp(const std::string& path, const Raster& raster, std::string& error) {
  const std::vector<std::uint8_t> bytes = encodeBmp(raster);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    error = "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
    return false;
  }
  return true;
}

}  // namespace brume::bitmaps
