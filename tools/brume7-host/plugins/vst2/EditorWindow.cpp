#include "tools/brume7-host/plugins/vst2/EditorWindow.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "gui/native/x11/X11Connection.h"
#include "tools/brume7-host/ToolError.h"

#include <X11/Xutil.h>

namespace brume {
namespace {

constexpr auto kMapTimeout = std::chrono::seconds(5);

}  // namespace

DisplayConnection::DisplayConnection() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    throw ToolError("no X display: DISPLAY is not set (the editor needs an X server; try xvfb-run)");
  }
  display = XOpenDisplay(nullptr);
  if (display == nullptr) throw ToolError(std::string("cannot open X display '") + name + "'");
}

DisplayConnection::~DisplayConnection() { XCloseDisplay(display); }

HostWindow::HostWindow(Display* display, int width, int height, const std::string& title) : display(display) {
  int screen = DefaultScreen(display);
  id = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, id, title.c_str());
  deleteRequest = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, id, &deleteRequest, 1);
  setFixedSize(width, height);
  XSelectInput(display, id, StructureNotifyMask);
}

HostWindow::~HostWindow() {
  // Someone else may have destroyed it a moment ago: that BadWindow is no reason to fail.
  x11::ErrorTrap trap(display);
  if (!gone) XDestroyWindow(display, id);
}

void HostWindow::resize(int width, int height) {
  setFixedSize(width, height);
  XResizeWindow(display, id, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

void HostWindow::show() {
  XMapWindow(display, id);
  auto deadline = std::chrono::steady_clock::now() + kMapTimeout;
  while (!mapped && !closed() && std::chrono::steady_clock::now() < deadline) {
    handleEvents();
    if (!mapped) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void HostWindow::handleEvents() {
  while (!gone && XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.xany.window != id) continue;
    if (event.type == MapNotify) mapped = true;
    if (event.type == DestroyNotify) gone = true;
    if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteRequest)
      closeRequested = true;
  }
}

void HostWindow::setFixedSize(int width, int height) {
  XSizeHints* hints = XAllocSizeHints();
  if (hints == nullptr) return;
  hints->flags = PMinSize | PMaxSize;
  hints->min_width = hints->max_width = width;
  hints->min_height = hints->max_height = height;
  XSetWMNormalHints(display, id, hints);
  XFree(hints);
}

}  // namespace brume
