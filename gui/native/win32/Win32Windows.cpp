// The frame's child window: its class, its window procedure, device contexts,
// paint dispatch and the drop target registration.

#include <cstdint>
#include <cstdio>
#include <new>

#include "gui/native/win32/FrameDropTarget.h"
#include "gui/native/win32/Win32Objects.h"
#include "gui/native/win32/Win32Platform.h"
#include "host/ModuleHandle.h"

namespace brume {
namespace win32 {
namespace {

// Module-wide: the class is registered by the first frame window and
// unregistered when the last one goes.
char windowClassName[32] = "";
std::int32_t windowClassUseCount = 0;

HINSTANCE moduleInstance() { return static_cast<HINSTANCE>(ModuleHandle); }

bool registerWindowClass() {
  std::snprintf(windowClassName, sizeof windowClassName, "Plugin%08x",
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(ModuleHandle)));
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_GLOBALCLASS;
  windowClass.lpfnWndProc = frameWindowProcedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = moduleInstance();
  windowClass.hIcon = nullptr;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = windowClassName;
  return RegisterClassExA(&windowClass) != 0;
}

native::WindowClient* clientOf(HWND window) {
  return reinterpret_cast<native::WindowClient*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The registered drop target travels with the window, so that whoever ends
// the window (the frame or, before it, the host) can revoke the registration
// while the window still exists.
constexpr char kDropTargetProperty[] = "Brume7DropTarget";

FrameDropTarget* dropTargetOf(HWND window) {
  return static_cast<FrameDropTarget*>(GetPropA(window, kDropTargetProperty));
}

void revokeDropTargetOf(HWND window) {
  FrameDropTarget* target = dropTargetOf(window);
  if (!target) return;
  RemovePropA(window, kDropTargetProperty);
  // Whoever still holds the target after the revocation gets one that drops nothing.
  target->forgetClient();
  RevokeDragDrop(window);
}

Rect rectOf(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

LRESULT paint(HWND window, native::WindowClient* client) {
  PAINTSTRUCT paintStruct;
  HDC dc = BeginPaint(window, &paintStruct);
  if (dc) client->onPaint(fromDc(dc), rectOf(paintStruct.rcPaint));
  EndPaint(window, &paintStruct);
  return 0;
}

// The edit window of a text entry asks for its colours.
LRESULT editColours(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  native::TextEntry* entry = textEntryOf(reinterpret_cast<HWND>(lParam));
  if (!entry) return DefWindowProcA(window, message, wParam, lParam);
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, colourRef(entry->style.textColour));
  SetBkColor(dc, colourRef(entry->style.backColour));
  if (!entry->style.backBrush) return DefWindowProcA(window, message, wParam, lParam);
  return reinterpret_cast<LRESULT>(toBrush(entry->style.backBrush));
}

}  // namespace

LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Null before the client is stored and again once destroyWindow has begun.
  native::WindowClient* client = clientOf(window);
  if (message == WM_DESTROY) {
    if (client) client->onDestroyed();
    revokeDropTargetOf(window);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (!client) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      RECT update;
      if (GetUpdateRect(window, &update, FALSE)) return paint(window, client);
      break;
    }
    case WM_PRINTCLIENT: {
      // PrintWindow and other WM_PRINT users get the same pixels a paint of the whole window draws.
      HDC dc = reinterpret_cast<HDC>(wParam);
      RECT area;
      if (!dc || !GetClientRect(window, &area)) break;
      client->onPaint(fromDc(dc), rectOf(area));
      return 0;
    }
    case WM_CTLCOLOREDIT:
      return editColours(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      auto position = static_cast<std::uint32_t>(lParam);
      client->onButtonPress(
          Point{static_cast<std::int32_t>(position & 0xFFFF), static_cast<std::int32_t>((position >> 16) & 0xFFFF)});
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND windowHandle(native::Window* window) { return window ? window->handle : nullptr; }

HDC deviceContext(native::Surface* surface) { return toDc(surface); }

native::Surface* surfaceOf(HDC dc) { return fromDc(dc); }

IDropTarget* registeredDropTarget(native::Window* window) { return window ? dropTargetOf(window->handle) : nullptr; }

const char* frameWindowClassName() { return windowClassName; }

std::int32_t frameWindowClassUseCount() { return windowClassUseCount; }

}  // namespace win32

namespace native {

Window* createWindow(void* parent, std::int32_t width, std::int32_t height, WindowClient* client) {
  if (!parent || !client) return nullptr;
  Window* window = new (std::nothrow) Window;
  if (!window) return nullptr;
  if (win32::windowClassUseCount == 0 && !win32::registerWindowClass()) {
    // Another copy of this module in the process may hold the name already.
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(win32::moduleInstance(), win32::windowClassName, &existing)) {
      delete window;
      return nullptr;
    }
  }
  window->handle = CreateWindowExA(0, win32::windowClassName, "Window", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                   static_cast<HWND>(parent), nullptr, win32::moduleInstance(), nullptr);
  if (!window->handle) {
    if (win32::windowClassUseCount == 0) UnregisterClassA(win32::windowClassName, win32::moduleInstance());
    delete window;
    return nullptr;
  }
  ++win32::windowClassUseCount;
  SetWindowLongPtrA(window->handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(client));
  return window;
}

void destroyWindow(Window* window) {
  if (!window) return;
  win32::revokeDropTargetOf(window->handle);
  // From here on every message, WM_DESTROY included, goes to default processing.
  SetWindowLongPtrA(window->handle, GWLP_USERDATA, 0);
  if (IsWindow(window->handle)) DestroyWindow(window->handle);
  delete window;
  if (--win32::windowClassUseCount <= 0) {
    win32::windowClassUseCount = 0;
    UnregisterClassA(win32::windowClassName, win32::moduleInstance());
  }
}

Point windowScreenOrigin(Window* window) {
  RECT rect;
  if (!window || !GetWindowRect(window->handle, &rect)) return Point{};
  return Point{rect.left, rect.top};
}

Surface* acquireSurface(Window* window) { return window ? win32::fromDc(GetDC(window->handle)) : nullptr; }

void releaseSurface(Window* window, Surface* surface) {
  if (window && surface) ReleaseDC(window->handle, win32::toDc(surface));
}

bool dispatchPendingPaint() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) return false;
  DispatchMessageA(&message);
  return true;
}

// The host's message loop delivers every message to the windows.
void handlePendingEvents() {}

bool registerDropTarget(Window* window, WindowClient* client) {
  if (!window || !client || win32::dropTargetOf(window->handle)) return false;
  auto* target = new (std::nothrow) win32::FrameDropTarget(client);
  if (!target) return false;
  target->AddRef();
  // From here on the registration holds the target.
  bool registered = SUCCEEDED(RegisterDragDrop(window->handle, target));
  if (registered && !SetPropA(window->handle, win32::kDropTargetProperty, target)) {
    RevokeDragDrop(window->handle);
    registered = false;
  }
  target->Release();
  return registered;
}

void revokeDropTarget(Window* window) {
  if (window) win32::revokeDropTargetOf(window->handle);
}

}  // namespace native
}  // namespace brume
