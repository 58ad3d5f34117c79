#pragma once
// The Win32 backend's own side of the opaque handles. Surfaces, pens,
// brushes, fonts, images and masks are the GDI handles themselves, cast;
// windows and text entries carry a little bookkeeping besides their HWND.

#include <windows.h>

#include "gui/native/NativePlatform.h"

namespace brume::native {

struct Window {
  HWND handle = nullptr;
};

struct TextEntry {
  HWND handle = nullptr;
  TextEntryClient* client = nullptr;
  TextEntryStyle style;
  bool destroying = false;  // destroyTextEntry has begun
};

}  // namespace brume::native

namespace brume::win32 {

inline HDC toDc(native::Surface* surface) { return reinterpret_cast<HDC>(surface); }
inline HPEN toPen(native::Pen* pen) { return reinterpret_cast<HPEN>(pen); }
inline HBRUSH toBrush(native::Brush* brush) { return reinterpret_cast<HBRUSH>(brush); }
inline HFONT toFont(native::Font* font) { return reinterpret_cast<HFONT>(font); }
inline HBITMAP toBitmap(native::Image* image) { return reinterpret_cast<HBITMAP>(image); }
inline HBITMAP toBitmap(native::Mask* mask) { return reinterpret_cast<HBITMAP>(mask); }

inline native::Surface* fromDc(HDC dc) { return reinterpret_cast<native::Surface*>(dc); }

// The native colour value of a toolkit colour.
inline COLORREF colourRef(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

// The frame windows' procedure; the text entry code answers WM_CTLCOLOREDIT through it.
LRESULT CALLBACK frameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The entry behind an edit window made by createTextEntry, or null.
native::TextEntry* textEntryOf(HWND editWindow);

}  // namespace brume::win32
