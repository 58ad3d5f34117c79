#pragma once
// The base of everything drawn in the editor: a rectangle, a redraw mark, mouse
// and transparency flags and a reference count. Views live in a Frame's flat
// list; every operation runs on the user-interface thread.

#include <cstdint>

#include "gui/Geometry.h"
#include "host/HostRecords.h"
#include "host/KeyCode.h"

namespace brume {

class DrawContext;
class Frame;
class GuiEditorBase;

class View {
 protected:
  // Views are destroyed by release(), never deleted directly.
  virtual ~View();

 public:
  explicit View(const Rect& bounds);
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  virtual void draw(DrawContext* context);
  virtual void drawInRect(DrawContext* context, const Rect& area);  // draws it all
  virtual bool overlaps(const Rect& area) const;                    // the closed rectangles meet
  virtual void onMouseDown(DrawContext* context, Point where);
  virtual void redrawIfDirty(DrawContext* context);
  virtual void onNotify(View* sender, const char* message);
  virtual VstInt32 onKeyPress(KeyCode key);    // -1: not handled
  virtual VstInt32 onKeyRelease(KeyCode key);  // -1: not handled
  // type 1: data[0] is a text block of count bytes; type 0: count file names.
  virtual bool acceptDrop(const char* const* data, std::int32_t count, std::int32_t type, Point where);
  virtual bool onWheelTurn(DrawContext* context, Point where, float distance);
  virtual void endFocus(DrawContext* context);  // context may be null
  virtual void beginFocus(DrawContext* context);
  virtual bool needsRedraw() const;
  virtual void markRedraw(bool on);
  virtual void setMouseActive(bool on);
  virtual bool isMouseActive() const;
  virtual void setMouseRegion(const Rect& region);
  virtual void getMouseRegion(Rect& region) const;
  virtual bool containsPoint(Point point) const;  // all four edges inside
  virtual void setTransparent(bool on);
  virtual bool isTransparent() const;
  virtual void setBounds(const Rect& rect);  // and marks for redraw
  virtual void setOwnerFrame(Frame* frame);
  virtual void setParentView(View* view);
  virtual GuiEditorBase* ownerEditor() const;
  virtual bool onDetached(View* parent);
  virtual bool onAttached(View* parent);
  virtual void release();  // destroys the view when the last reference goes
  virtual void retain();
  virtual std::int32_t referenceCount() const;

  const Rect& getBounds() const { return bounds; }
  Frame* getOwnerFrame() const { return ownerFrame; }
  View* getParentView() const { return parentView; }

 protected:
  std::int32_t references = 1;
  Rect bounds;
  Rect mouseRegion;  // kept for callers; hit tests use the bounds
  Frame* ownerFrame = nullptr;
  View* parentView = nullptr;
  bool redrawMark = false;
  bool mouseActive = true;
  bool transparent = false;  // bitmaps drawn colour-keyed
};

}  // namespace brume
