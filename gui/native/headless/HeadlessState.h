#pragma once
// The headless backend's own state, shared by its source files.

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "gui/native/headless/HeadlessPlatform.h"
#include "gui/native/raster/Canvas.h"

namespace brume::native {

struct Window {
  void* parent = nullptr;
  raster::Canvas canvas;
  Point origin;
  WindowClient* client = nullptr;  // null once destruction has begun
  Rect pending;
  bool hasPending = false;
  bool dropRegistered = false;
  WindowClient* dropClient = nullptr;
};

struct TextEntry {
  Window* parent = nullptr;
  TextEntryStyle style;
  std::string text;
  bool allSelected = true;
  TextEntryClient* client = nullptr;
};

}  // namespace brume::native

namespace brume::headless {

struct State {
  // Read by the instrument's refresh throttle on the audio thread too.
  std::atomic<std::uint32_t> ticks{kStartTickCount};
  std::uint32_t slept = 0;
  std::uint32_t sleeps = 0;
  std::uint32_t doubleClick = kStartDoubleClickTime;
  InputState input;
  std::deque<InputState> queue;
  std::uint32_t polls = 0;
  std::uint32_t pollsWithoutScript = 0;
  std::int32_t threadDepth = 0;
  std::vector<native::Window*> windows;
  std::vector<native::TextEntry*> entries;
  native::TextEntry* focusedEntry = nullptr;
};

State& state();
bool isLiveWindow(const native::Window* window);
bool isLiveEntry(const native::TextEntry* entry);
// Draws the entry's box and text on its parent's canvas.
void drawTextEntry(const native::TextEntry& entry);

}  // namespace brume::headless
