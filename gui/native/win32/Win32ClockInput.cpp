// OLE set-up per thread, time, and the asynchronous mouse and key state.

#include <ole2.h>
#include <windows.h>

#include "gui/MouseButtons.h"
#include "gui/native/win32/Win32Objects.h"

namespace brume {
namespace {

// OleInitialize calls that succeeded on this thread and are not yet undone.
// A failed one (a thread already in the multithreaded apartment) must not
// be balanced by OleUninitialize.
thread_local std::int32_t oleInitialisations = 0;

bool isDown(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

}  // namespace

namespace native {

void initThread() {
  if (SUCCEEDED(OleInitialize(nullptr))) ++oleInitialisations;
}

void uninitThread() {
  if (oleInitialisations <= 0) return;
  --oleInitialisations;
  OleUninitialize();
}

std::uint32_t tickCount() { return GetTickCount(); }

void sleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

std::uint32_t doubleClickTime() { return GetDoubleClickTime(); }

std::int32_t mouseButtons() {
  std::int32_t buttons = 0;
  if (isDown(VK_LBUTTON)) buttons |= kLeftButton;
  if (isDown(VK_MBUTTON)) buttons |= kMiddleButton;
  if (isDown(VK_RBUTTON)) buttons |= kRightButton;
  if (isDown(VK_SHIFT)) buttons |= kShiftKey;
  if (isDown(VK_CONTROL)) buttons |= kControlKey;
  if (isDown(VK_MENU)) buttons |= kAltKey;
  return buttons;
}

Point cursorScreenPosition() {
  POINT position;
  if (!GetCursorPos(&position)) return Point{};
  return Point{position.x, position.y};
}

}  // namespace native
}  // namespace brume
