// Windows, device contexts, paint requests and drops of the headless backend.

#include <algorithm>
#include <new>

#include "gui/native/headless/HeadlessState.h"
#include "gui/native/raster/RasterObjects.h"

namespace brume {
namespace headless {
namespace {

Rect unite(const Rect& a, const Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Delivers the window's pending paint area, if any.
bool deliverPaint(native::Window* window) {
  if (!window->hasPending || !window->client) return false;
  Rect area = window->pending;
  window->hasPending = false;
  native::Surface* surface = raster::createSurface(window->canvas);
  window->client->onPaint(surface, area);
  raster::destroySurface(surface);
  return true;
}

}  // namespace

bool isLiveWindow(const native::Window* window) {
  const auto& windows = state().windows;
  return window && std::find(windows.begin(), windows.end(), window) != windows.end();
}

std::int32_t windowCount() { return static_cast<std::int32_t>(state().windows.size()); }

native::Window* lastCreatedWindow() { return state().windows.empty() ? nullptr : state().windows.back(); }

void* windowParent(native::Window* window) { return isLiveWindow(window) ? window->parent : nullptr; }

raster::Canvas* windowCanvas(native::Window* window) { return isLiveWindow(window) ? &window->canvas : nullptr; }

void setWindowOrigin(native::Window* window, Point screenOrigin) {
  if (isLiveWindow(window)) window->origin = screenOrigin;
}

Point toScreen(native::Window* window, Point where) { return isLiveWindow(window) ? where + window->origin : where; }

bool isDropTargetRegistered(native::Window* window) { return isLiveWindow(window) && window->dropRegistered; }

void invalidateWindow(native::Window* window, const Rect& area) {
  if (!isLiveWindow(window)) return;
  Rect clipped{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, window->canvas.width()),
               std::min(area.bottom, window->canvas.height())};
  if (clipped.width() <= 0 || clipped.height() <= 0) return;
  window->pending = window->hasPending ? unite(window->pending, clipped) : clipped;
  window->hasPending = true;
}

bool hasPendingPaint(native::Window* window) { return isLiveWindow(window) && window->hasPending; }

Rect pendingPaintArea(native::Window* window) { return hasPendingPaint(window) ? window->pending : Rect{}; }

void paintWindow(native::Window* window, const Rect& area) {
  invalidateWindow(window, area);
  if (isLiveWindow(window)) deliverPaint(window);
}

void paintWindow(native::Window* window) {
  if (isLiveWindow(window)) paintWindow(window, Rect{0, 0, window->canvas.width(), window->canvas.height()});
}

void pressButton(native::Window* window, Point where, std::int32_t buttons) {
  if (!isLiveWindow(window)) return;
  setInputState(InputState{buttons, where + window->origin});
  if (window->client) window->client->onButtonPress(where);
}

void destroyParentWindow(native::Window* window) {
  if (isLiveWindow(window) && window->client) window->client->onDestroyed();
}

bool dropOnWindow(native::Window* window, const std::vector<std::string>& items, std::int32_t type) {
  if (!isDropTargetRegistered(window) || !window->dropClient || items.empty()) return false;
  std::vector<const char*> data;
  for (const std::string& item : items) data.push_back(item.c_str());
  std::int32_t count =
      type == 1 ? static_cast<std::int32_t>(items.front().size() + 1) : static_cast<std::int32_t>(items.size());
  return window->dropClient->onDrop(data.data(), count, type);
}

}  // namespace headless

namespace native {

Window* createWindow(void* parent, std::int32_t width, std::int32_t height, WindowClient* client) {
  if (!parent || width <= 0 || height <= 0) return nullptr;
  Window* window = new (std::nothrow) Window;
  if (!window) return nullptr;
  window->parent = parent;
  window->canvas = raster::Canvas(width, height, raster::pixelOf(headless::kWindowFaceColour));
  window->client = client;
  window->pending = Rect{0, 0, width, height};
  window->hasPending = true;  // a new visible window asks to be painted
  headless::state().windows.push_back(window);
  return window;
}

void destroyWindow(Window* window) {
  if (!headless::isLiveWindow(window)) return;
  window->client = nullptr;
  auto& windows = headless::state().windows;
  windows.erase(std::find(windows.begin(), windows.end(), window));
  for (TextEntry* entry : headless::state().entries)
    if (entry->parent == window) entry->parent = nullptr;
  delete window;
}

Point windowScreenOrigin(Window* window) { return headless::isLiveWindow(window) ? window->origin : Point{}; }

Surface* acquireSurface(Window* window) {
  return headless::isLiveWindow(window) ? raster::createSurface(window->canvas) : nullptr;
}

void releaseSurface(Window*, Surface* surface) { raster::destroySurface(surface); }

bool dispatchPendingPaint() {
  for (Window* window : headless::state().windows)
    if (window->hasPending && window->client) return headless::deliverPaint(window);
  return false;
}

// Headless windows hear of everything at once, through the calls of HeadlessPlatform.h.
void handlePendingEvents() {}

bool registerDropTarget(Window* window, WindowClient* client) {
  if (!headless::isLiveWindow(window) || !client || window->dropRegistered) return false;
  window->dropRegistered = true;
  window->dropClient = client;
  return true;
}

void revokeDropTarget(Window* window) {
  if (!headless::isLiveWindow(window)) return;
  window->dropRegistered = false;
  window->dropClient = nullptr;
}

}  // namespace native
}  // namespace brume
