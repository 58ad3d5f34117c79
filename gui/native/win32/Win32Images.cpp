// Bitmap resources of the module, their masks, and opaque and keyed copies.

#include "gui/native/win32/Win32Objects.h"
#include "host/ModuleHandle.h"

namespace brume {
namespace native {
namespace {

// A memory device context compatible with `target` holding `bitmap` while it lives.
class SelectedBitmap {
 public:
  SelectedBitmap(HDC target, HBITMAP bitmap) : dc(CreateCompatibleDC(target)) {
    if (dc) previous = SelectObject(dc, bitmap);
  }
  ~SelectedBitmap() {
    if (!dc) return;
    SelectObject(dc, previous);
    DeleteDC(dc);
  }
  SelectedBitmap(const SelectedBitmap&) = delete;
  SelectedBitmap& operator=(const SelectedBitmap&) = delete;

  explicit operator bool() const { return dc != nullptr; }
  HDC dc;

 private:
  HGDIOBJ previous = nullptr;
};

}  // namespace

Image* loadImage(std::int32_t resourceId) {
  HBITMAP bitmap =
      LoadBitmapA(static_cast<HINSTANCE>(ModuleHandle), MAKEINTRESOURCEA(static_cast<WORD>(resourceId & 0xFFFF)));
  return reinterpret_cast<Image*>(bitmap);
}

void imageSize(Image* image, std::int32_t& width, std::int32_t& height) {
  width = 0;
  height = 0;
  BITMAP description;
  if (!image || GetObjectA(win32::toBitmap(image), sizeof description, &description) != sizeof description) return;
  width = description.bmWidth;
  height = description.bmHeight;
}

void deleteImage(Image* image) {
  if (image) DeleteObject(win32::toBitmap(image));
}

Mask* createMask(Surface* surface, Image* image, Colour transparent) {
  if (!surface || !image) return nullptr;
  HDC target = win32::toDc(surface);
  std::int32_t width;
  std::int32_t height;
  imageSize(image, width, height);
  HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
  if (!mask) return nullptr;
  SelectedBitmap imageContext(target, win32::toBitmap(image));
  SelectedBitmap maskContext(target, mask);
  if (!imageContext || !maskContext) {
    DeleteObject(mask);
    return nullptr;
  }
  SetMapMode(imageContext.dc, GetMapMode(target));
  // A colour-to-monochrome copy sets the pixels equal to the source's background colour.
  COLORREF previous = SetBkColor(imageContext.dc, win32::colourRef(transparent));
  BitBlt(maskContext.dc, 0, 0, width, height, imageContext.dc, 0, 0, SRCCOPY);
  SetBkColor(imageContext.dc, previous);
  return reinterpret_cast<Mask*>(mask);
}

void deleteMask(Mask* mask) {
  if (mask) DeleteObject(win32::toBitmap(mask));
}

void copyImage(Surface* surface, Image* image, const Rect& destination, Point source) {
  if (!surface || !image) return;
  HDC target = win32::toDc(surface);
  SelectedBitmap imageContext(target, win32::toBitmap(image));
  if (!imageContext) return;
  BitBlt(target, destination.left, destination.top, destination.width(), destination.height(), imageContext.dc,
         source.x, source.y, SRCCOPY);
}

void copyImageKeyed(Surface* surface, Image* image, Mask* mask, const Rect& destination, Point source) {
  if (!surface || !image || !mask) return;
  HDC target = win32::toDc(surface);
  const int width = destination.width();
  const int height = destination.height();
  const int x = destination.left;
  const int y = destination.top;

  HBITMAP saved = CreateCompatibleBitmap(target, width, height);
  HBITMAP invertedMask = CreateBitmap(width, height, 1, 1, nullptr);
  HBITMAP compose = CreateCompatibleBitmap(target, width, height);
  if (saved && invertedMask && compose) {
    SelectedBitmap imageContext(target, win32::toBitmap(image));
    SelectedBitmap maskContext(target, win32::toBitmap(mask));
    SelectedBitmap savedContext(target, saved);
    SelectedBitmap invertedContext(target, invertedMask);
    SelectedBitmap composeContext(target, compose);
    if (imageContext && maskContext && savedContext && invertedContext && composeContext) {
      // Monochrome sources read as white for 1 (transparent) and black for 0 in
      // these fresh contexts, which is what the AND steps rely on.
      BitBlt(savedContext.dc, 0, 0, width, height, imageContext.dc, source.x, source.y, SRCCOPY);
      BitBlt(invertedContext.dc, 0, 0, width, height, maskContext.dc, source.x, source.y, NOTSRCCOPY);
      BitBlt(composeContext.dc, 0, 0, width, height, target, x, y, SRCCOPY);
      BitBlt(composeContext.dc, 0, 0, width, height, maskContext.dc, source.x, source.y, SRCAND);
      BitBlt(imageContext.dc, source.x, source.y, width, height, invertedContext.dc, 0, 0, SRCAND);
      BitBlt(composeContext.dc, 0, 0, width, height, imageContext.dc, source.x, source.y, SRCPAINT);
      BitBlt(target, x, y, width, height, composeContext.dc, 0, 0, SRCCOPY);
      BitBlt(imageContext.dc, source.x, source.y, width, height, savedContext.dc, 0, 0, SRCCOPY);
    }
  }
  if (saved) DeleteObject(saved);
  if (invertedMask) DeleteObject(invertedMask);
  if (compose) DeleteObject(compose);
}

}  // namespace native
}  // namespace brume
