#pragma once
// Shared pieces of the Win32 backend tests: a top-level window standing for
// the host's, message pumping, pixel captures into 32-bit DIBs, the pixels of
// the program's bitmap resources, and a window client that records calls.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gui/Geometry.h"
#include "gui/View.h"
#include "gui/native/NativePlatform.h"

namespace brume::testing {

// 0x00RRGGBB, as a 32-bit DIB holds it.
using Pixel = std::uint32_t;

constexpr Pixel kYellowPixel = 0xFFFF00;

struct PixelImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<Pixel> pixels;  // row by row from the top

  Pixel at(std::int32_t x, std::int32_t y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The pixels of bitmap resource `id` of this program, or an empty image.
PixelImage resourcePixels(int id);
// The window's client area as PrintWindow draws it.
PixelImage printWindow(HWND window);
// The window's client area as its device context holds it now.
PixelImage windowPixels(HWND window);
// The first position where two images differ, "" when they are equal.
std::string firstDifference(const PixelImage& actual, const PixelImage& expected);

// Delivers every message waiting for this thread.
void pumpMessages();
// Pumps messages until `done` answers true or about `milliseconds` pass.
template <typename Predicate>
bool pumpUntil(Predicate done, DWORD milliseconds) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > milliseconds) return false;
    pumpMessages();
    Sleep(1);
  }
  return true;
}

// Records what the backend tells a window's client.
class RecordingClient : public native::WindowClient {
 public:
  void onPaint(native::Surface* surface, const Rect& area) override;
  void onButtonPress(Point where) override { presses.push_back(where); }
  void onDestroyed() override { ++destroyed; }
  bool onDrop(const char* const* data, std::int32_t count, std::int32_t type) override;

  std::vector<Rect> paints;
  std::vector<Point> presses;
  int destroyed = 0;
  struct Drop {
    std::int32_t type;
    std::int32_t count;
    std::vector<std::string> items;  // text drops: the block's bytes as one string
  };
  std::vector<Drop> drops;
  bool acceptDrops = true;
};

// A view that records presses and the drops offered to it.
class RecordingView : public View {
 public:
  explicit RecordingView(const Rect& bounds) : View(bounds) {}
  void onMouseDown(DrawContext*, Point where) override { presses.push_back(where); }
  bool acceptDrop(const char* const* data, std::int32_t count, std::int32_t type, Point where) override;

  std::vector<Point> presses;
  std::vector<std::string> drops;  // the text, or the file names joined by '|'
  std::vector<Point> dropPoints;
  bool acceptsDrops = true;
};

// Sets ModuleHandle to this program, makes a visible top-level window as the
// host's and initialises OLE on the thread; undoes all of it afterwards.
class HostWindowTest : public ::testing::Test {
 protected:
  static constexpr int kHostWidth = 700;
  static constexpr int kHostHeight = 260;

  void SetUp() override;
  void TearDown() override;

  HWND host = nullptr;
  bool oleInitialised = false;
};

}  // namespace brume::testing
