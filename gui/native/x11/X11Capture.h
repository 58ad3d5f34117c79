#pragma once
// Reads what an X window shows into a canvas: the window and those of its
// children that share its depth, as XGetImage returns them. For tools and
// tests that check the screen (a screenshot, pixels after a paint).

#include "gui/native/raster/Canvas.h"

#include <X11/Xlib.h>

namespace brume::x11 {

// False when the window cannot be read (not viewable, not TrueColor, an X
// error); X errors are caught, never fatal. Thread of `display`.
bool captureWindow(Display* display, ::Window window, raster::Canvas& canvas);

}  // namespace brume::x11
