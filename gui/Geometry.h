#pragma once
// Pixel geometry of the editor: points and rectangles in frame-window coordinates.

#include <cstdint>

namespace brume {

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

constexpr bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
constexpr bool operator!=(Point a, Point b) { return !(a == b); }
constexpr Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
constexpr Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }

// A view's rectangle: for hit tests right and bottom are the last covered
// coordinates; for copies and fills its size is right - left by bottom - top.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  constexpr std::int32_t width() const { return right - left; }
  constexpr std::int32_t height() const { return bottom - top; }
  constexpr Point topLeft() const { return {left, top}; }
  constexpr Rect movedBy(Point offset) const {
    return {left + offset.x, top + offset.y, right + offset.x, bottom + offset.y};
  }
};

constexpr bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
constexpr bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

}  // namespace brume
