#pragma once
// Everything the GUI toolkit asks of a platform. The toolkit outside gui/native/
// calls nothing else; each backend (Win32, headless, X11) defines all of these
// functions, and the program picks one by linking that backend's library.
//
// Handles are opaque: each backend completes the structs below with its own
// data (or casts its native handles to them). Every function accepts null
// handles and then does nothing or answers null, 0 or false.
// All functions run on the user-interface thread.

#include <cstdint>

#include "gui/Colour.h"
#include "gui/Geometry.h"
#include "host/KeyCode.h"

namespace brume::native {

struct Window;   // the frame's child window
struct Surface;  // a device context: a window's pixels plus the selected objects
struct Pen;
struct Brush;
struct Font;
struct Image;      // a bitmap resource
struct Mask;       // a bitmap's transparency mask
struct TextEntry;  // a single-line text editing window

enum class PenStyle { solid, dotted };
enum class TextAlignment { left, centre, right };

// A font request; the backend matches the face as best it can.
struct FontDescription {
  std::int32_t height = 0;    // negative: character height in pixels; positive: cell height
  std::int32_t weight = 400;  // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::int32_t pitchAndFamily = 0x22;  // 0x22 variable pitch, Swiss; 0x50 decorative
  char face[32] = {};
};

// Receives what happens to a window. The backend stops calling it once
// destroyWindow has begun.
class WindowClient {
 public:
  // A paint request: draw `area` (right and bottom excluded) on `surface`.
  virtual void onPaint(Surface* surface, const Rect& area) = 0;
  // A left, middle or right button went down at `where` (window coordinates).
  virtual void onButtonPress(Point where) = 0;
  // The window is being destroyed from outside (its parent went away).
  virtual void onDestroyed() = 0;
  // Something was dropped on the window: type 1 text (one entry, count = block
  // size in bytes), type 0 files (count names). True when a view took it.
  virtual bool onDrop(const char* const* data, std::int32_t count, std::int32_t type) = 0;
  // Wheel steps over the window, 1.0 per notch, positive away from the user.
  // True when a view took them. Backends without a wheel never call it.
  virtual bool onWheelTurn(float) { return false; }
  // A key went down or up while the window had the keyboard, in the codes
  // hosts use for their key opcodes; the view's answer, -1 when nobody took it.
  // Backends whose keys come only through the host never call it.
  virtual VstInt32 onKey(KeyCode, bool) { return -1; }

 protected:
  ~WindowClient() = default;
};

// Receives the end of a text entry: Enter was pressed or it lost the keyboard focus.
class TextEntryClient {
 public:
  virtual void onEntryEnded() = 0;

 protected:
  ~TextEntryClient() = default;
};

struct TextEntryStyle {
  Rect area;  // in the parent window; right and bottom excluded
  TextAlignment alignment = TextAlignment::centre;
  Font* font = nullptr;  // owned by the caller, alive while the entry is
  Colour textColour;
  Colour backColour;
  Brush* backBrush = nullptr;  // solid brush of backColour, owned by the caller
};

// Per-thread setup (OLE on Windows); calls nest and must balance.
void initThread();
void uninitThread();

// Time.
std::uint32_t tickCount();  // milliseconds, wrapping
void sleepMilliseconds(std::uint32_t milliseconds);
std::uint32_t doubleClickTime();  // milliseconds

// The physical mouse and keys, polled asynchronously.
std::int32_t mouseButtons();  // bits of gui/MouseButtons.h
Point cursorScreenPosition();

// Windows. `parent` is the host's native window handle.
Window* createWindow(void* parent, std::int32_t width, std::int32_t height, WindowClient* client);
void destroyWindow(Window* window);        // the client is not called from here on
Point windowScreenOrigin(Window* window);  // top-left corner in screen coordinates
Surface* acquireSurface(Window* window);   // the window's device context, for drawing outside a paint
void releaseSurface(Window* window, Surface* surface);
bool dispatchPendingPaint();  // delivers one pending paint request of this thread, if any
// Handles the window-system events waiting for this thread's windows (paint
// requests, button presses, wheel steps, keys, drops). The editor's idle calls it
// because the plug-in has no event loop of its own; a backend whose system
// delivers events to the windows by itself does nothing here.
void handlePendingEvents();
bool registerDropTarget(Window* window, WindowClient* client);
void revokeDropTarget(Window* window);

// Drawing objects. select* return the previously selected object.
Pen* createPen(PenStyle style, std::int32_t width, Colour colour);
Brush* createBrush(Colour colour);  // solid; null on failure
Font* createFont(const FontDescription& description);
void deletePen(Pen* pen);
void deleteBrush(Brush* brush);
void deleteFont(Font* font);
Pen* currentPen(Surface* surface);
Brush* currentBrush(Surface* surface);
Font* currentFont(Surface* surface);
Pen* selectPen(Surface* surface, Pen* pen);
Brush* selectBrush(Surface* surface, Brush* brush);
Font* selectFont(Surface* surface, Font* font);
void setBackgroundMode(Surface* surface, bool opaque);
void setBackgroundColour(Surface* surface, Colour colour);
void setTextColour(Surface* surface, Colour colour);

// Drawing, in surface coordinates, with GDI's pixel results.
void moveTo(Surface* surface, Point point);
void lineTo(Surface* surface, Point point);              // current pen; the end point is not drawn
void fillRectangle(Surface* surface, const Rect& area);  // current brush, no outline; right and bottom excluded
// One line, vertically centred in `area`, `&` drawn as itself, clipped to
// `area` (right and bottom excluded), in the selected font and text colour;
// with an opaque background mode the text box is first filled with the
// background colour.
void drawText(Surface* surface, const char* text, const Rect& area, TextAlignment alignment);

// Numbered bitmap resources of the module.
Image* loadImage(std::int32_t resourceId);
void imageSize(Image* image, std::int32_t& width, std::int32_t& height);  // 0 by 0 for none
void deleteImage(Image* image);
// A mask marking the image's pixels equal to `transparent`; it does not
// follow later changes of the image.
Mask* createMask(Surface* surface, Image* image, Colour transparent);
void deleteMask(Mask* mask);
// Copies destination.width() x destination.height() pixels of the image from `source`.
void copyImage(Surface* surface, Image* image, const Rect& destination, Point source);
// The same, leaving the destination unchanged where the mask marks the pixel.
void copyImageKeyed(Surface* surface, Image* image, Mask* mask, const Rect& destination, Point source);

// A single-line text entry over `style.area` of the window, holding `text`
// all selected and the keyboard focus. It reports its end to the client (also
// when destroyed while it has the focus); the caller then takes the text and
// destroys it.
TextEntry* createTextEntry(Window* parent, const TextEntryStyle& style, const char* text, TextEntryClient* client);
// Copies at most capacity - 1 characters and a zero; answers the number copied.
std::int32_t copyTextEntryText(TextEntry* entry, char* text, std::int32_t capacity);
void destroyTextEntry(TextEntry* entry);

}  // namespace brume::native
