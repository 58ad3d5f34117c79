#pragma once
// What the Win32 backend shows beyond NativePlatform.h: the native handles
// behind its opaque ones and the module-wide window class, for tests and for
// code that needs the real window. User-interface thread only.

#include <windows.h>

#include <cstdint>

#include "gui/native/NativePlatform.h"

struct IDropTarget;

namespace brume::win32 {

HWND windowHandle(native::Window* window);  // null for none
HDC deviceContext(native::Surface* surface);
native::Surface* surfaceOf(HDC deviceContext);
HWND textEntryHandle(native::TextEntry* entry);  // the "EDIT" window; null for none
// The target registered for the window, alive while the registration holds it; null when none.
IDropTarget* registeredDropTarget(native::Window* window);

// "Plugin%08x" of ModuleHandle once a window was made; empty before.
const char* frameWindowClassName();
std::int32_t frameWindowClassUseCount();  // frame windows alive

}  // namespace brume::win32
