#pragma once
// The top-level view: owns the native child window, the background bitmap and
// the list of views (the last added is topmost). It turns paint requests and
// button presses into drawing and mouse calls, keeps the keyboard focus,
// dispatches keys, wheel and drops (from the host or from its own window), and
// redraws marked views at idle time.
// User-interface thread only.

#include <cstdint>

#include "gui/View.h"
#include "gui/native/NativePlatform.h"

namespace brume {

class Bitmap;

class Frame : public View {
 public:
  // Creates the native window (and registers the drop target) only when a
  // parent window is given; without one the list, focus and keys still work.
  Frame(const Rect& bounds, void* parentWindow, GuiEditorBase* editor);
  // Releases every view and the background, then destroys the window.
  ~Frame() override;

  void draw(DrawContext* context) override;
  void drawInRect(DrawContext* context, const Rect& area) override;
  void onMouseDown(DrawContext* context, Point where) override;
  void redrawIfDirty(DrawContext* context) override;
  VstInt32 onKeyPress(KeyCode key) override;
  VstInt32 onKeyRelease(KeyCode key) override;
  bool acceptDrop(const char* const* data, std::int32_t count, std::int32_t type, Point where) override;
  bool onWheelTurn(DrawContext* context, Point where, float distance) override;
  GuiEditorBase* ownerEditor() const override;

  virtual bool addView(View* view);                       // false when the list cannot grow
  virtual bool removeView(View* view, bool withRelease);  // true also for a view not held
  virtual bool removeAllViews(bool withRelease);
  virtual bool containsView(View* view) const;
  virtual std::int32_t viewCount() const;
  virtual View* viewAt(std::int32_t index) const;  // null outside the list

  void setBackground(Bitmap* bitmap);
  Bitmap* getBackground() const { return background; }
  // The previous focus view ends its focus after the new one is set.
  void setFocusedView(View* view);
  View* focusedView() const { return focusView; }
  // Draws at once: `view` alone when it is in the list, else everything.
  void paintNow(View* view);
  // Idle redraw of marked views; nothing before the first paint.
  void redrawDirtyViews();
  void cursorPosition(Point& where) const;  // relative to the frame window
  std::uint32_t tickCount() const;          // 0 without an editor
  std::int32_t knobMode() const;            // the module-wide knob mode
  void notifyEditBegin(std::int32_t tag);   // host begin/end of an edit
  void notifyEditEnd(std::int32_t tag);
  bool enableDrop(bool on);

  bool isOpen() const { return open; }
  bool isFirstPaintPending() const { return firstPaintPending; }
  bool isDropRegistered() const { return dropRegistered; }
  void* parentWindowHandle() const { return parentWindow; }
  native::Window* nativeWindow() const { return window; }

 private:
  // The frame's side of its native window.
  class WindowEvents : public native::WindowClient {
   public:
    explicit WindowEvents(Frame& frame) : frame(frame) {}
    void onPaint(native::Surface* surface, const Rect& area) override;
    void onButtonPress(Point where) override;
    void onDestroyed() override;
    bool onDrop(const char* const* data, std::int32_t count, std::int32_t type) override;
    bool onWheelTurn(float distance) override;
    VstInt32 onKey(KeyCode key, bool down) override;

   private:
    Frame& frame;
  };

  static constexpr std::int32_t kListGrowth = 10;

  GuiEditorBase* editor;
  void* parentWindow;
  Bitmap* background = nullptr;
  std::int32_t count = 0;
  std::int32_t capacity = 0;
  View** views = nullptr;
  View* focusView = nullptr;
  bool firstPaintPending = true;
  bool open = true;
  bool dropRegistered = false;
  native::Window* window = nullptr;
  WindowEvents windowEvents{*this};
};

}  // namespace brume
