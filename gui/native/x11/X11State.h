#pragma once
// The X11 backend's windows and text entries, shared by its source files.

#include <cstddef>
#include <cstdint>
#include <string>

#include "gui/native/NativePlatform.h"
#include "gui/native/raster/Canvas.h"
#include "gui/native/x11/X11Connection.h"
#include "gui/native/x11/X11PixelFormat.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace brume::native {

// A drag over the window, from its XdndEnter to its XdndFinished.
struct DropState {
  ::Window source = 0;  // 0: no drag
  int version = 0;
  Atom type = None;       // what a drop would fetch; None refuses
  bool files = false;     // the type is a URI list
  Atom action = None;     // the action of the last status answer
  bool fetching = false;  // dropped; waiting for the data
};

struct Window {
  x11::Connection* connection = nullptr;
  ::Window id = 0;
  ::Window root = 0;
  GC gc = nullptr;
  XImage* image = nullptr;   // the window's size, in the window's pixel format
  Colormap ownColormap = 0;  // made when the parent's visual is not TrueColor
  x11::PixelFormat format;
  raster::Canvas canvas;           // what the toolkit draws
  raster::Canvas shown;            // what was last put on the X window
  WindowClient* client = nullptr;  // null once destruction has begun
  Rect pending;                    // area waiting for a paint; right and bottom excluded
  bool hasPending = false;
  bool gone = false;                   // the X window was destroyed from outside
  Point lastOrigin;                    // screen position, kept for when the window is gone
  bool hasKeyboard = false;            // the user clicked into it and it holds the X input focus
  unsigned long keyboardSerial = 0;    // focus events older than our request are not ours
  WindowClient* dropClient = nullptr;  // set while the window is XDND-aware
  DropState drop;
};

struct TextEntry {
  Window* parent = nullptr;  // null once the window is gone
  TextEntryStyle style;
  std::string text;
  std::size_t caret = 0;  // insertion point, in characters
  bool allSelected = true;
  TextEntryClient* client = nullptr;
  ::Window previousFocus = 0;  // given the keyboard back at the end (may be PointerRoot)
  bool hasPreviousFocus = false;
  unsigned long focusSerial = 0;  // focus events older than our request are not ours
  bool ended = false;             // the client has been told
};

}  // namespace brume::native

namespace brume::x11 {

inline constexpr Colour kWindowFaceColour{240, 240, 240, 0};
inline constexpr std::int32_t kMaximumEntryLength = 255;
// What a frame window listens to; it adds the keys while it holds the keyboard
// (after a click into it) or a text entry lasts, so that keys typed with the
// pointer merely over it still reach the host.
inline constexpr long kWindowEvents = ExposureMask | ButtonPressMask | StructureNotifyMask | FocusChangeMask;
inline constexpr long kKeyEvents = KeyPressMask | KeyReleaseMask;

// The events the window listens to now.
long eventMaskOf(const native::Window& window);

// The window of this thread's connection with X id `id`, or null.
native::Window* findWindow(Connection* connection, ::Window id);
bool isLiveWindow(const native::Window* window);
bool isLiveEntry(const native::TextEntry* entry);

// Adds `area` to the window's pending paint.
void invalidate(native::Window* window, const Rect& area);
// Puts what changed on the canvas since the last presentation on the X
// window, plus `forced` (an exposed area whose pixels the server lost).
void present(native::Window* window, const Rect* forced = nullptr);
void presentAll(Connection* connection);

// The buttons and modifiers of an X state mask, as bits of gui/MouseButtons.h.
std::int32_t buttonsOfState(unsigned int state);

// Input (X11Input.cpp): button presses and wheel steps, the keyboard focus
// taken on a click, key events and focus changes.
void handlePress(Connection* connection, native::Window* window, XButtonEvent& event);
void handleKey(Connection* connection, native::Window* window, XKeyEvent& event);
void handleFocusOut(Connection* connection, native::Window* window, const XFocusChangeEvent& event);

// Text entries: drawing over the parent's canvas, and the X events for them.
void drawTextEntry(native::TextEntry& entry);
void entryKeyPress(native::TextEntry& entry, XKeyEvent& event);
void entryClick(native::TextEntry& entry, std::int32_t x);
// The parent window is being destroyed.
void detachTextEntry(native::TextEntry& entry);
// The entry lost the keyboard: its client hears of the end once.
void endTextEntry(native::TextEntry* entry);

}  // namespace brume::x11
