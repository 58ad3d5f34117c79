// Windows, presentation, device contexts and the event pump of the X11 backend.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "gui/native/raster/RasterObjects.h"
#include "gui/native/x11/X11Drop.h"
#include "gui/native/x11/X11Platform.h"
#include "gui/native/x11/X11State.h"

namespace brume {
namespace x11 {
namespace {

Rect unite(const Rect& a, const Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

bool isEmpty(const Rect& area) { return area.width() <= 0 || area.height() <= 0; }

// The bounding box of the pixels that differ between the canvas and what was shown.
Rect changedArea(const raster::Canvas& canvas, const raster::Canvas& shown) {
  std::int32_t width = canvas.width();
  Rect changed{width, canvas.height(), 0, 0};
  for (std::int32_t y = 0; y < canvas.height(); ++y) {
    const raster::Pixel* now = canvas.data() + static_cast<std::ptrdiff_t>(y) * width;
    const raster::Pixel* before = shown.data() + static_cast<std::ptrdiff_t>(y) * width;
    if (std::memcmp(now, before, sizeof(raster::Pixel) * static_cast<std::size_t>(width)) == 0) continue;
    std::int32_t left = 0;
    while (now[left] == before[left]) ++left;
    std::int32_t right = width;
    while (now[right - 1] == before[right - 1]) --right;
    changed = Rect{std::min(changed.left, left), std::min(changed.top, y), std::max(changed.right, right), y + 1};
  }
  return changed;
}

Rect clippedToWindow(const native::Window& window, const Rect& area) {
  return {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, window.canvas.width()),
          std::min(area.bottom, window.canvas.height())};
}

// Everything the window owns on the server and in memory; the window record itself stays.
void freeWindowResources(native::Window& window) {
  Display* display = window.connection->display;
  {
    ErrorTrap trap(window.connection);
    if (!window.connection->lost) {
      // A window destroyed with its parent answers BadWindow here, which the trap takes.
      if (window.id && !window.gone) XDestroyWindow(display, window.id);
      if (window.ownColormap) XFreeColormap(display, window.ownColormap);
    }
    // The GC's memory is ours even when the server is gone.
    if (window.gc) XFreeGC(display, window.gc);
  }
  window.id = 0;
  window.gc = nullptr;
  window.ownColormap = 0;
  if (window.image) XDestroyImage(window.image);  // frees the pixel buffer too
  window.image = nullptr;
}

// Paints the window's pending area through its client, then shows it.
bool deliverPaint(native::Window* window) {
  if (!window->hasPending || !window->client || window->gone) return false;
  Rect area = window->pending;
  window->hasPending = false;
  Connection* connection = window->connection;
  ::Window id = window->id;
  native::Surface* surface = raster::createSurface(window->canvas);
  window->client->onPaint(surface, area);
  raster::destroySurface(surface);
  // The paint may have closed the window.
  if (native::Window* still = findWindow(connection, id)) present(still, &area);
  return true;
}

bool deliverOnePaint(Connection* connection) {
  for (native::Window* window : connection->windows)
    if (window->hasPending && window->client && !window->gone) return deliverPaint(window);
  return false;
}

void deliverAllPaints(Connection* connection) {
  // One at a time: a paint may destroy windows.
  for (std::size_t guard = 0; guard < 64 && deliverOnePaint(connection); ++guard) {
  }
}

// Moves the exposures waiting on the connection into the windows' pending areas, leaving other events queued.
void collectExposures(Connection* connection) {
  ErrorTrap trap(connection, false);
  XEvent event;
  while (!connection->lost && XCheckTypedEvent(connection->display, Expose, &event)) {
    if (native::Window* window = findWindow(connection, event.xexpose.window))
      invalidate(window, Rect{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                              event.xexpose.y + event.xexpose.height});
  }
}

void dispatchEvent(Connection* connection, XEvent& event) {
  if (event.type == MappingNotify) {
    ErrorTrap trap(connection, false);
    XRefreshKeyboardMapping(&event.xmapping);
    return;
  }
  native::Window* window = findWindow(connection, event.xany.window);
  if (!window) return;  // a window that is gone: its late events mean nothing
  switch (event.type) {
    case Expose:
      invalidate(window, Rect{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                              event.xexpose.y + event.xexpose.height});
      break;
    case ButtonPress:
      handlePress(connection, window, event.xbutton);
      break;
    case KeyPress:
    case KeyRelease:
      handleKey(connection, window, event.xkey);
      break;
    case FocusOut:
      handleFocusOut(connection, window, event.xfocus);
      break;
    case ClientMessage:
      handleDropMessage(*window, event.xclient);
      break;
    case SelectionNotify:
      handleDropData(*window, event.xselection);
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window->id) {
        window->gone = true;
        if (window->client) window->client->onDestroyed();
      }
      break;
    default:
      break;
  }
}

}  // namespace

native::Window* findWindow(Connection* connection, ::Window id) {
  if (!connection || !id) return nullptr;
  for (native::Window* window : connection->windows)
    if (window->id == id) return window;
  return nullptr;
}

bool isLiveWindow(const native::Window* window) {
  Connection* connection = currentConnection();
  if (!window || !connection) return false;
  const auto& windows = connection->windows;
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

void invalidate(native::Window* window, const Rect& area) {
  Rect clipped = clippedToWindow(*window, area);
  if (isEmpty(clipped)) return;
  window->pending = window->hasPending ? unite(window->pending, clipped) : clipped;
  window->hasPending = true;
}

void present(native::Window* window, const Rect* forced) {
  if (window->connection->entry && window->connection->entry->parent == window)
    drawTextEntry(*window->connection->entry);
  Rect area = changedArea(window->canvas, window->shown);
  if (forced) {
    Rect exposed = clippedToWindow(*window, *forced);
    if (!isEmpty(exposed)) area = isEmpty(area) ? exposed : unite(area, exposed);
  }
  if (isEmpty(area)) return;
  for (std::int32_t y = area.top; y < area.bottom; ++y)
    std::memcpy(window->shown.data() + static_cast<std::ptrdiff_t>(y) * window->canvas.width() + area.left,
                window->canvas.data() + static_cast<std::ptrdiff_t>(y) * window->canvas.width() + area.left,
                sizeof(raster::Pixel) * static_cast<std::size_t>(area.width()));
  if (window->gone || window->connection->lost || !window->image) return;
  convertToImage(window->canvas, *window->image, area, window->format);
  ErrorTrap trap(window->connection);
  XPutImage(window->connection->display, window->id, window->gc, window->image, area.left, area.top, area.left,
            area.top, static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
}

void presentAll(Connection* connection) {
  for (native::Window* window : connection->windows) present(window);
}

std::int32_t windowCount() {
  Connection* connection = currentConnection();
  return connection ? static_cast<std::int32_t>(connection->windows.size()) : 0;
}

unsigned long windowId(native::Window* window) { return isLiveWindow(window) ? window->id : 0; }

const raster::Canvas* windowCanvas(native::Window* window) { return isLiveWindow(window) ? &window->canvas : nullptr; }

}  // namespace x11

namespace native {

Window* createWindow(void* parent, std::int32_t width, std::int32_t height, WindowClient* client) {
  if (!parent || width <= 0 || height <= 0) return nullptr;
  x11::Connection* connection = x11::acquireConnection();
  if (!connection) return nullptr;
  if (connection->lost) {
    x11::releaseConnection(connection);
    return nullptr;
  }
  Window* window = new (std::nothrow) Window;
  if (!window) {
    x11::releaseConnection(connection);
    return nullptr;
  }
  window->connection = connection;
  Display* display = connection->display;
  auto parentId = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(parent));
  bool made = false;
  {
    x11::ErrorTrap trap(connection);
    XWindowAttributes parentAttributes;
    if (XGetWindowAttributes(display, parentId, &parentAttributes)) {
      window->root = parentAttributes.root;
      Visual* visual = parentAttributes.visual;
      std::int32_t depth = parentAttributes.depth;
      XSetWindowAttributes attributes{};
      unsigned long valueMask = CWBackPixmap | CWBorderPixel | CWEventMask | CWBitGravity;
      if (!visual || visual->c_class != TrueColor) {
        // A colour-mapped parent: a TrueColor child of its own, when the screen has one.
        XVisualInfo info;
        int screen = XScreenNumberOfScreen(parentAttributes.screen);
        if (XMatchVisualInfo(display, screen, 24, TrueColor, &info)) {
          visual = info.visual;
          depth = 24;
          window->ownColormap = XCreateColormap(display, window->root, visual, AllocNone);
          attributes.colormap = window->ownColormap;
          valueMask |= CWColormap;
        } else {
          visual = nullptr;
        }
      }
      if (visual) {
        window->format = x11::pixelFormatOf(visual, depth);
        attributes.background_pixmap = None;  // no clearing before our paint, so no flicker
        attributes.border_pixel = 0;
        attributes.event_mask = x11::kWindowEvents;
        attributes.bit_gravity = NorthWestGravity;
        window->id = XCreateWindow(display, parentId, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                   0, depth, InputOutput, visual, valueMask, &attributes);
        window->gc = XCreateGC(display, window->id, 0, nullptr);
        window->image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
        if (window->image) {
          window->image->data = static_cast<char*>(
              std::calloc(static_cast<std::size_t>(window->image->bytes_per_line), static_cast<std::size_t>(height)));
          if (!window->image->data) {
            XDestroyImage(window->image);
            window->image = nullptr;
          }
        }
        XMapWindow(display, window->id);
      }
    }
    trap.synchronise();
    made = window->id && window->image && trap.errorCount() == 0 && !connection->lost;
  }
  if (!made) {
    x11::freeWindowResources(*window);
    delete window;
    x11::releaseConnection(connection);
    return nullptr;
  }
  raster::Pixel face = raster::pixelOf(x11::kWindowFaceColour);
  window->canvas = raster::Canvas(width, height, face);
  window->shown = raster::Canvas(width, height, face);
  window->client = client;
  connection->windows.push_back(window);
  // The first paint comes with the window's first exposure.
  return window;
}

void destroyWindow(Window* window) {
  if (!x11::isLiveWindow(window)) return;
  x11::Connection* connection = window->connection;
  window->client = nullptr;
  x11::revokeDropAwareness(*window);
  if (connection->entry && connection->entry->parent == window) x11::detachTextEntry(*connection->entry);
  auto& windows = connection->windows;
  windows.erase(std::find(windows.begin(), windows.end(), window));
  x11::freeWindowResources(*window);
  delete window;
  x11::releaseConnection(connection);
}

Point windowScreenOrigin(Window* window) {
  if (!x11::isLiveWindow(window)) return Point{};
  x11::Connection* connection = window->connection;
  if (window->gone || connection->lost) return window->lastOrigin;
  x11::ErrorTrap trap(connection, false);
  int x = 0;
  int y = 0;
  ::Window child = 0;
  if (XTranslateCoordinates(connection->display, window->id, window->root, 0, 0, &x, &y, &child))
    window->lastOrigin = Point{x, y};
  return window->lastOrigin;
}

Surface* acquireSurface(Window* window) {
  return x11::isLiveWindow(window) ? raster::createSurface(window->canvas) : nullptr;
}

void releaseSurface(Window* window, Surface* surface) {
  raster::destroySurface(surface);
  if (x11::isLiveWindow(window)) x11::present(window);
}

bool dispatchPendingPaint() {
  x11::Connection* connection = x11::currentConnection();
  if (!connection) return false;
  x11::ConnectionUse use(connection);
  x11::collectExposures(connection);
  bool painted = x11::deliverOnePaint(connection);
  x11::presentAll(connection);
  return painted;
}

void handlePendingEvents() {
  x11::Connection* connection = x11::currentConnection();
  if (!connection) return;
  x11::ConnectionUse use(connection);
  // Inside a press (a knob drag polling the mouse) only paints are handled,
  // as a window's message loop would be waiting for the press to return.
  if (connection->pressDepth == 0) {
    XEvent event;
    while (!connection->lost) {
      {
        x11::ErrorTrap trap(connection, false);
        if (XPending(connection->display) <= 0) break;
        XNextEvent(connection->display, &event);
      }
      if (connection->lost) break;
      x11::dispatchEvent(connection, event);
    }
  } else {
    x11::collectExposures(connection);
  }
  x11::deliverAllPaints(connection);
  x11::presentAll(connection);
}

bool registerDropTarget(Window* window, WindowClient* client) {
  return x11::isLiveWindow(window) && client && x11::makeDropAware(*window, client);
}

void revokeDropTarget(Window* window) {
  if (x11::isLiveWindow(window)) x11::revokeDropAwareness(*window);
}

}  // namespace native
}  // namespace brume
