#include "gui/View.h"

#include "gui/Frame.h"

namespace brume {

View::View(const Rect& bounds) : bounds(bounds), mouseRegion(bounds) {}

View::~View() = default;

void View::draw(DrawContext*) {}

void View::drawInRect(DrawContext* context, const Rect&) { draw(context); }

bool View::overlaps(const Rect& area) const {
  return !(area.right < bounds.left || bounds.right < area.left || area.bottom < bounds.top) &&
         bounds.bottom >= area.top;
}

void View::onMouseDown(DrawContext*, Point) {}

void View::redrawIfDirty(DrawContext* context) {
  if (!needsRedraw()) return;
  draw(context);
  markRedraw(false);
}

void View::onNotify(View*, const char*) {}

VstInt32 View::onKeyPress(KeyCode) { return -1; }

VstInt32 View::onKeyRelease(KeyCode) { return -1; }

bool View::acceptDrop(const char* const*, std::int32_t, std::int32_t, Point) { return false; }

bool View::onWheelTurn(DrawContext*, Point, float) { return false; }

void View::endFocus(DrawContext*) {}

void View::beginFocus(DrawContext*) {}

bool View::needsRedraw() const { return redrawMark; }

void View::markRedraw(bool on) { redrawMark = on; }

void View::setMouseActive(bool on) { mouseActive = on; }

bool View::isMouseActive() const { return mouseActive; }

void View::setMouseRegion(const Rect& region) { mouseRegion = region; }

void View::getMouseRegion(Rect& region) const { region = mouseRegion; }

bool View::containsPoint(Point point) const {
  return point.x >= bounds.left && point.x <= bounds.right && point.y >= bounds.top && point.y <= bounds.bottom;
}

void View::setTransparent(bool on) { transparent = on; }

bool View::isTransparent() const { return transparent; }

void View::setBounds(const Rect& rect) {
  bounds = rect;
  markRedraw(true);
}

void View::setOwnerFrame(Frame* frame) { ownerFrame = frame; }

void View::setParentView(View* view) { parentView = view; }

GuiEditorBase* View::ownerEditor() const { return ownerFrame ? ownerFrame->ownerEditor() : nullptr; }

bool View::onDetached(View*) { return true; }

bool View::onAttached(View*) { return true; }

void View::release() {
  if (references <= 0) return;
  if (--references == 0) delete this;
}

void View::retain() { ++references; }

std::int32_t View::referenceCount() const { return references; }

}  // namespace brume
