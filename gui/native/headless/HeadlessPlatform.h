#pragma once
// The headless backend: windows are canvases in memory, the mouse and keys
// follow a script, the clock moves only when told to (or when the toolkit
// sleeps), and text entries are typed into by the caller. Tests and tools
// drive it through these functions; everything runs on one thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/Geometry.h"
#include "gui/MouseButtons.h"
#include "gui/native/NativePlatform.h"
#include "gui/native/raster/Canvas.h"

namespace brume::headless {

// The colour a new window shows before its first paint.
inline constexpr Colour kWindowFaceColour{240, 240, 240, 0};
inline constexpr std::uint32_t kStartTickCount = 10000;
inline constexpr std::uint32_t kStartDoubleClickTime = 500;
// A script that ends with a button held would keep a drag loop polling for
// ever; after this many polls without a queued state the buttons let go.
inline constexpr std::uint32_t kStuckButtonPolls = 100000;

// Everything back to the start: clock at kStartTickCount, nothing slept, no
// buttons, cursor at 0,0, empty queue, default double-click time. Windows and
// text entries that still exist stay.
void reset();

// Clock. sleepMilliseconds advances it too.
void setTickCount(std::uint32_t milliseconds);
void advanceTickCount(std::uint32_t milliseconds);
std::uint32_t sleptMilliseconds();  // total since reset
std::uint32_t sleepCount();
void setDoubleClickTime(std::uint32_t milliseconds);

// Mouse buttons, modifier keys and cursor (screen coordinates).
struct InputState {
  std::int32_t buttons = 0;  // bits of gui/MouseButtons.h
  Point cursor;
};
// The state every poll sees while the queue is empty.
void setInputState(const InputState& state);
InputState inputState();
// Each poll of the buttons takes the next queued state as the current one.
void queueInputStates(const std::vector<InputState>& states);
std::size_t queuedInputStateCount();
std::uint32_t buttonPollCount();  // since reset

// Windows, in creation order.
std::int32_t windowCount();
native::Window* lastCreatedWindow();
void* windowParent(native::Window* window);
raster::Canvas* windowCanvas(native::Window* window);
void setWindowOrigin(native::Window* window, Point screenOrigin);  // 0,0 at creation
Point toScreen(native::Window* window, Point where);
bool isDropTargetRegistered(native::Window* window);
// Adds to the window's pending paint area (a new window has all of it pending).
void invalidateWindow(native::Window* window, const Rect& area);
bool hasPendingPaint(native::Window* window);
Rect pendingPaintArea(native::Window* window);
// Paints `area` and whatever else is pending, now.
void paintWindow(native::Window* window, const Rect& area);
void paintWindow(native::Window* window);
// A button press at `where` (window coordinates): the current input state
// becomes `buttons` at that point, then the window hears of the press.
void pressButton(native::Window* window, Point where, std::int32_t buttons = kLeftButton);
// The host destroyed the parent window: the window's client is told.
void destroyParentWindow(native::Window* window);
// A drop on the window, as the platform's drag and drop would deliver it.
bool dropOnWindow(native::Window* window, const std::vector<std::string>& items, std::int32_t type);

// Text entries.
std::int32_t textEntryCount();
native::TextEntry* focusedTextEntry();
native::TextEntry* lastCreatedTextEntry();
std::string textEntryContent(native::TextEntry* entry);
const native::TextEntryStyle* textEntryStyle(native::TextEntry* entry);  // null for an unknown entry
// Replaces the selection (initially the whole text) or else appends.
void typeIntoTextEntry(native::TextEntry* entry, const std::string& text);
// Both end the entry through its client, which normally destroys it.
void pressEnter(native::TextEntry* entry);
void takeFocusFrom(native::TextEntry* entry);

// Per-thread setup calls still open (initThread minus uninitThread).
std::int32_t threadInitDepth();

}  // namespace brume::headless
