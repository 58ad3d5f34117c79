// Pixel conversions between the canvas and TrueColor X visuals, and window capture.

#include "gui/native/x11/X11PixelFormat.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gui/native/x11/X11Capture.h"
#include "gui/native/x11/X11Connection.h"

namespace brume::x11 {
namespace {

struct Channel {
  std::int32_t shift = 0;
  std::int32_t bits = 0;
};

Channel channelOf(unsigned long mask) {
  Channel channel;
  if (mask == 0) return channel;
  while (!(mask & 1)) {
    mask >>= 1;
    ++channel.shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++channel.bits;
  }
  return channel;
}

unsigned long packChannel(std::uint32_t value8, unsigned long mask) {
  Channel channel = channelOf(mask);
  if (channel.bits == 0) return 0;
  unsigned long value;
  if (channel.bits <= 8) {
    value = value8 >> (8 - channel.bits);
  } else {
    // Wider channels repeat the byte into the low bits, so 255 stays full scale.
    value = 0;
    for (std::int32_t filled = 0; filled < channel.bits; filled += 8) value = value << 8 | value8;
    value >>= (channel.bits + 7) / 8 * 8 - channel.bits;
  }
  return value << channel.shift & mask;
}

std::uint32_t unpackChannel(unsigned long value, unsigned long mask) {
  Channel channel = channelOf(mask);
  if (channel.bits == 0) return 0;
  unsigned long raw = (value & mask) >> channel.shift;
  if (channel.bits >= 8) return static_cast<std::uint32_t>(raw >> (channel.bits - 8));
  unsigned long top = (1ul << channel.bits) - 1;
  return static_cast<std::uint32_t>((raw * 255 + top / 2) / top);
}

bool isDirect(const XImage& image, const PixelFormat& format) {
  static const std::uint32_t probe = 1;
  bool littleEndianHost = *reinterpret_cast<const unsigned char*>(&probe) == 1;
  return image.bits_per_pixel == 32 && format.redMask == 0xff0000 && format.greenMask == 0xff00 &&
         format.blueMask == 0xff && image.byte_order == (littleEndianHost ? LSBFirst : MSBFirst);
}

}  // namespace

PixelFormat pixelFormatOf(const Visual* visual, std::int32_t depth) {
  PixelFormat format;
  if (!visual) {
    format.trueColour = false;
    return format;
  }
  format.trueColour = visual->c_class == TrueColor;
  format.redMask = visual->red_mask;
  format.greenMask = visual->green_mask;
  format.blueMask = visual->blue_mask;
  unsigned long depthBits = depth >= 32 ? 0xfffffffful : (1ul << depth) - 1;
  format.otherBits = depthBits & ~(format.redMask | format.greenMask | format.blueMask);
  return format;
}

unsigned long nativePixel(raster::Pixel pixel, const PixelFormat& format) {
  return packChannel(pixel >> 16 & 0xff, format.redMask) | packChannel(pixel >> 8 & 0xff, format.greenMask) |
         packChannel(pixel & 0xff, format.blueMask) | format.otherBits;
}

raster::Pixel canvasPixel(unsigned long value, const PixelFormat& format) {
  return unpackChannel(value, format.redMask) << 16 | unpackChannel(value, format.greenMask) << 8 |
         unpackChannel(value, format.blueMask);
}

void convertToImage(const raster::Canvas& canvas, XImage& image, const Rect& area, const PixelFormat& format) {
  Rect clipped{std::max(area.left, 0), std::max(area.top, 0), std::min({area.right, canvas.width(), image.width}),
               std::min({area.bottom, canvas.height(), image.height})};
  if (clipped.width() <= 0 || clipped.height() <= 0) return;
  bool direct = isDirect(image, format);
  std::uint32_t extra = static_cast<std::uint32_t>(format.otherBits);
  for (std::int32_t y = clipped.top; y < clipped.bottom; ++y) {
    const raster::Pixel* source = canvas.data() + static_cast<std::ptrdiff_t>(y) * canvas.width();
    if (direct) {
      auto* row = reinterpret_cast<std::uint32_t*>(image.data + static_cast<std::ptrdiff_t>(y) * image.bytes_per_line);
      for (std::int32_t x = clipped.left; x < clipped.right; ++x) row[x] = source[x] | extra;
    } else {
      for (std::int32_t x = clipped.left; x < clipped.right; ++x)
        XPutPixel(&image, x, y, nativePixel(source[x], format));
    }
  }
}

bool captureWindow(Display* display, ::Window window, raster::Canvas& canvas) {
  if (!display || !window) return false;
  ErrorTrap trap(display);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return false;
  PixelFormat format = pixelFormatOf(attributes.visual, attributes.depth);
  if (!format.trueColour) return false;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  trap.synchronise();
  if (!image) return false;
  if (trap.errorCount() > 0) {
    XDestroyImage(image);
    return false;
  }
  canvas = raster::Canvas(attributes.width, attributes.height);
  for (std::int32_t y = 0; y < attributes.height; ++y)
    for (std::int32_t x = 0; x < attributes.width; ++x)
      canvas.setPixel(x, y, canvasPixel(XGetPixel(image, x, y), format));
  XDestroyImage(image);
  return true;
}

}  // namespace brume::x11
