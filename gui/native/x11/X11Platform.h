#pragma once
// The X11 backend: the frame is a child of the host's X window, drawn by the
// software renderer and put on the screen with XPutImage. The plug-in has no
// thread and no event loop, so the events of its windows are read from a
// connection of its own whenever the toolkit idles (handlePendingEvents,
// dispatchPendingPaint) and whenever a drag loop polls the mouse.
//
// Each thread that makes windows has one connection to the server, opened
// with the first window (XOpenDisplay(nullptr), so $DISPLAY) and closed with
// the last one. X errors on it are caught and counted, never fatal; a lost
// server makes every later call do nothing.
//
// What follows lets tests, tools and a plug-in that hands its window's id to
// the host look inside. All of it runs on the thread that made the windows,
// and answers 0, null or false without a connection.

#include <cstdint>

#include "gui/native/NativePlatform.h"
#include "gui/native/raster/Canvas.h"

namespace brume::x11 {

// 1 while this thread has a connection, else 0.
std::int32_t openConnectionCount();
// Windows of this thread that are not destroyed yet.
std::int32_t windowCount();
// The X window id of a window of this thread, 0 for anything else.
unsigned long windowId(native::Window* window);
// What the toolkit has drawn in the window (the X window shows it after the
// next presentation: a paint, an idle, a released surface or a mouse poll).
const raster::Canvas* windowCanvas(native::Window* window);
// True while the window holds the keyboard after a click into it.
bool holdsKeyboard(native::Window* window);
// The text entry that takes the keys, null when none does.
native::TextEntry* activeTextEntry();
// X protocol errors caught on this thread's connections since the process started.
std::uint32_t caughtErrorCount();
// True after this thread's connection to the server was lost.
bool isConnectionLost();

}  // namespace brume::x11
