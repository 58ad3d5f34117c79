#include "gui/Frame.h"

#include <new>

#include "gui/Bitmap.h"
#include "gui/DrawContext.h"
#include "gui/GuiEditorBase.h"
#include "host/EffectBaseEx.h"

namespace brume {

Frame::Frame(const Rect& bounds, void* parentWindow, GuiEditorBase* editor)
    : View(bounds), editor(editor), parentWindow(parentWindow) {
  native::initThread();
  if (parentWindow) {
    window = native::createWindow(parentWindow, bounds.width(), bounds.height(), &windowEvents);
    if (window) enableDrop(true);
  }
}

Frame::~Frame() {
  enableDrop(false);
  removeAllViews(true);
  setBackground(nullptr);
  native::uninitThread();
  if (window) {
    native::destroyWindow(window);
    window = nullptr;
  }
}

void Frame::draw(DrawContext* context) {
  firstPaintPending = false;
  if (background)
    background->drawOpaque(context, Rect{0, 0, background->getWidth(), background->getHeight()}, Point{0, 0});
  for (std::int32_t i = 0; i < count; ++i) views[i]->draw(context);
}

void Frame::drawInRect(DrawContext* context, const Rect& area) {
  firstPaintPending = false;
  if (background) background->drawOpaque(context, area, area.topLeft());
  for (std::int32_t i = 0; i < count; ++i)
    if (views[i]->overlaps(area)) views[i]->drawInRect(context, area);
}

void Frame::onMouseDown(DrawContext* context, Point where) {
  if (focusView) {
    focusView->endFocus(nullptr);
    focusView = nullptr;
  }
  for (std::int32_t i = count - 1; i >= 0; --i) {
    View* view = views[i];
    if (view->isMouseActive() && view->containsPoint(where)) {
      view->onMouseDown(context, where);
      return;
    }
  }
}

void Frame::redrawIfDirty(DrawContext* context) {
  if (!open) return;
  if (View::needsRedraw()) {
    draw(context);
    markRedraw(false);
    return;
  }
  for (std::int32_t i = 0; i < count; ++i) views[i]->redrawIfDirty(context);
}

VstInt32 Frame::onKeyPress(KeyCode key) {
  if (focusView) {
    VstInt32 answer = focusView->onKeyPress(key);
    if (answer != -1) return answer;
  }
  for (std::int32_t i = count - 1; i >= 0; --i) {
    VstInt32 answer = views[i]->onKeyPress(key);
    if (answer != -1) return answer;
  }
  return -1;
}

VstInt32 Frame::onKeyRelease(KeyCode key) {
  if (focusView) {
    VstInt32 answer = focusView->onKeyRelease(key);
    if (answer != -1) return answer;
  }
  for (std::int32_t i = count - 1; i >= 0; --i) {
    VstInt32 answer = views[i]->onKeyRelease(key);
    if (answer != -1) return answer;
  }
  return -1;
}

bool Frame::acceptDrop(const char* const* data, std::int32_t dataCount, std::int32_t type, Point where) {
  if (focusView) return false;
  for (std::int32_t i = count - 1; i >= 0; --i) {
    View* view = views[i];
    if (view->isMouseActive() && view->containsPoint(where) && view->acceptDrop(data, dataCount, type, where))
      return true;
  }
  return false;
}

bool Frame::onWheelTurn(DrawContext* context, Point, float distance) {
  Point where;
  cursorPosition(where);
  View* target = nullptr;
  for (std::int32_t i = count - 1; i >= 0 && !target; --i)
    if (views[i]->containsPoint(where)) target = views[i];
  if (!target) return false;
  if (context || !window) return target->onWheelTurn(context, where, distance);
  native::Surface* surface = native::acquireSurface(window);
  bool answer;
  {
    DrawContext temporary(this, surface, window);
    answer = target->onWheelTurn(&temporary, where, distance);
  }
  native::releaseSurface(window, surface);
  return answer;
}

GuiEditorBase* Frame::ownerEditor() const { return editor; }

bool Frame::addView(View* view) {
  if (!view) return false;
  if (count == capacity) {
    View** grown = new (std::nothrow) View*[static_cast<std::size_t>(capacity) + kListGrowth];
    if (!grown) return false;
    for (std::int32_t i = 0; i < count; ++i) grown[i] = views[i];
    delete[] views;
    views = grown;
    capacity += kListGrowth;
  }
  views[count++] = view;
  view->setOwnerFrame(this);
  view->onAttached(this);
  return true;
}

bool Frame::removeView(View* view, bool withRelease) {
  for (std::int32_t i = 0; i < count; ++i) {
    if (views[i] != view) continue;
    if (view == focusView) {
      // The list no longer holds it, so neither may the focus.
      focusView = nullptr;
      view->endFocus(nullptr);
    }
    for (std::int32_t j = i + 1; j < count; ++j) views[j - 1] = views[j];
    --count;
    view->onDetached(this);
    if (withRelease) view->release();
    break;
  }
  return true;
}

bool Frame::removeAllViews(bool withRelease) {
  if (focusView) {
    focusView->endFocus(nullptr);
    focusView = nullptr;
  }
  for (std::int32_t i = 0; i < count; ++i) {
    views[i]->onDetached(this);
    if (withRelease) views[i]->release();
  }
  delete[] views;
  views = nullptr;
  count = 0;
  capacity = 0;
  return true;
}

bool Frame::containsView(View* view) const {
  for (std::int32_t i = 0; i < count; ++i)
    if (views[i] == view) return true;
  return false;
}

std::int32_t Frame::viewCount() const { return count; }

View* Frame::viewAt(std::int32_t index) const { return index >= 0 && index < count ? views[index] : nullptr; }

void Frame::setBackground(Bitmap* bitmap) {
  if (background) background->release();
  background = bitmap;
  if (background) background->retain();
}

void Frame::setFocusedView(View* view) {
  View* previous = focusView;
  focusView = view;
  if (previous) previous->endFocus(nullptr);
}

void Frame::paintNow(View* view) {
  if (!window) return;
  native::Surface* surface = native::acquireSurface(window);
  {
    DrawContext context(this, surface, window);
    if (view && containsView(view))
      view->draw(&context);
    else
      draw(&context);
  }
  native::releaseSurface(window, surface);
}

void Frame::redrawDirtyViews() {
  if (!open || firstPaintPending || !window) return;
  bool anyMarked = View::needsRedraw();
  for (std::int32_t i = 0; i < count && !anyMarked; ++i) anyMarked = views[i]->needsRedraw();
  if (!anyMarked) return;
  native::Surface* surface = native::acquireSurface(window);
  {
    DrawContext context(this, surface, window);
    redrawIfDirty(&context);
  }
  native::releaseSurface(window, surface);
}

void Frame::cursorPosition(Point& where) const {
  Point origin = window ? native::windowScreenOrigin(window) : Point{0, 0};
  where = native::cursorScreenPosition() - origin;
}

std::uint32_t Frame::tickCount() const { return editor ? native::tickCount() : 0; }

std::int32_t Frame::knobMode() const { return GuiEditorBase::moduleKnobMode(); }

void Frame::notifyEditBegin(std::int32_t tag) {
  if (EffectBaseEx* instrument = editor ? editor->instrumentObject() : nullptr) instrument->hostBeginEdit(tag);
}

void Frame::notifyEditEnd(std::int32_t tag) {
  if (EffectBaseEx* instrument = editor ? editor->instrumentObject() : nullptr) instrument->hostEndEdit(tag);
}

bool Frame::enableDrop(bool on) {
  if (!dropRegistered && !on) return true;
  if (!window) return false;
  if (on)
    native::registerDropTarget(window, &windowEvents);
  else
    native::revokeDropTarget(window);
  dropRegistered = on;
  return true;
}

void Frame::WindowEvents::onPaint(native::Surface* surface, const Rect& area) {
  DrawContext context(&frame, surface, frame.window);
  frame.drawInRect(&context, area);
}

void Frame::WindowEvents::onButtonPress(Point where) {
  native::Surface* surface = native::acquireSurface(frame.window);
  {
    DrawContext context(&frame, surface, frame.window);
    frame.onMouseDown(&context, where);
  }
  native::releaseSurface(frame.window, surface);
}

void Frame::WindowEvents::onDestroyed() {
  frame.open = false;
  frame.parentWindow = nullptr;
}

bool Frame::WindowEvents::onDrop(const char* const* data, std::int32_t count, std::int32_t type) {
  Point where;
  frame.cursorPosition(where);
  return frame.acceptDrop(data, count, type, where);
}

// The same roads as the host's wheel and key calls to the editor.
bool Frame::WindowEvents::onWheelTurn(float distance) { return frame.onWheelTurn(nullptr, Point{0, 0}, distance); }

VstInt32 Frame::WindowEvents::onKey(KeyCode key, bool down) {
  return down ? frame.onKeyPress(key) : frame.onKeyRelease(key);
}

}  // namespace brume
