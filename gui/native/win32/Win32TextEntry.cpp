// The text entry: an "EDIT" window over the field, whose window procedure is
// replaced by one that reports Enter and the loss of the keyboard focus.

#include <new>

#include "gui/native/win32/Win32Objects.h"
#include "gui/native/win32/Win32Platform.h"
#include "host/ModuleHandle.h"

namespace brume {
namespace win32 {
namespace {

// The edit class's own procedure; every edit window made here had it, and it
// gets every message after the replacement has looked at it.
WNDPROC replacedEditProcedure = nullptr;

LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KILLFOCUS || (message == WM_KEYDOWN && wParam == VK_RETURN)) {
    auto* entry = reinterpret_cast<native::TextEntry*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (entry && entry->client) entry->client->onEntryEnded();
    // The client normally destroys the entry, and with it this window.
    if (!IsWindow(window)) return 0;
  }
  return CallWindowProcA(replacedEditProcedure, window, message, wParam, lParam);
}

DWORD alignmentStyle(native::TextAlignment alignment) {
  switch (alignment) {
    case native::TextAlignment::left:
      return ES_LEFT;
    case native::TextAlignment::right:
      return ES_RIGHT;
    default:
      return ES_CENTER;
  }
}

}  // namespace

native::TextEntry* textEntryOf(HWND editWindow) {
  if (!editWindow || !IsWindow(editWindow)) return nullptr;
  if (GetWindowLongPtrA(editWindow, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(editProcedure)) return nullptr;
  return reinterpret_cast<native::TextEntry*>(GetWindowLongPtrA(editWindow, GWLP_USERDATA));
}

HWND textEntryHandle(native::TextEntry* entry) { return entry ? entry->handle : nullptr; }

}  // namespace win32

namespace native {

TextEntry* createTextEntry(Window* parent, const TextEntryStyle& style, const char* text, TextEntryClient* client) {
  if (!parent || !IsWindow(parent->handle)) return nullptr;
  TextEntry* entry = new (std::nothrow) TextEntry;
  if (!entry) return nullptr;
  entry->client = client;
  entry->style = style;
  const Rect& area = style.area;
  entry->handle = CreateWindowExA(0, "EDIT", text ? text : "",
                                  WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | win32::alignmentStyle(style.alignment),
                                  area.left, area.top, area.width(), area.height(), parent->handle, nullptr,
                                  static_cast<HINSTANCE>(ModuleHandle), nullptr);
  if (!entry->handle) {
    delete entry;
    return nullptr;
  }
  SetWindowLongPtrA(entry->handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(entry));
  if (style.font) SendMessageA(entry->handle, WM_SETFONT, reinterpret_cast<WPARAM>(win32::toFont(style.font)), TRUE);
  SendMessageA(entry->handle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  SendMessageA(entry->handle, EM_SETSEL, 0, -1);
  SetFocus(entry->handle);
  win32::replacedEditProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(entry->handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(win32::editProcedure)));
  return entry;
}

std::int32_t copyTextEntryText(TextEntry* entry, char* text, std::int32_t capacity) {
  if (!text || capacity <= 0) return 0;
  text[0] = 0;
  if (!entry || !IsWindow(entry->handle)) return 0;
  int copied = GetWindowTextA(entry->handle, text, capacity);
  text[capacity - 1] = 0;
  return copied < 0 ? 0 : copied;
}

void destroyTextEntry(TextEntry* entry) {
  // The focus leaves the window as it goes; the client hears of that, and
  // may ask for the destruction again, which this one finishes.
  if (!entry || entry->destroying) return;
  entry->destroying = true;
  if (IsWindow(entry->handle)) DestroyWindow(entry->handle);
  delete entry;
}

}  // namespace native
}  // namespace brume
