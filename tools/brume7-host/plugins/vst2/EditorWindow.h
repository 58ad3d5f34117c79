#pragma once
// The pieces of a host that shows a plug-in's editor in a top-level X11
// window of its own: the display connection and the window. Main thread.

#include <string>

#include <X11/Xlib.h>

namespace brume {

// The X display named by $DISPLAY, closed last. Throws ToolError without one.
class DisplayConnection {
 public:
  DisplayConnection();
  ~DisplayConnection();
  DisplayConnection(const DisplayConnection&) = delete;
  DisplayConnection& operator=(const DisplayConnection&) = delete;

  Display* display = nullptr;
};

// A fixed-size top-level window that the editor lives in.
class HostWindow {
 public:
  HostWindow(Display* display, int width, int height, const std::string& title);
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  void resize(int width, int height);
  // Maps the window and waits (up to 5 s) until the server shows it.
  void show();
  // Reads the window's pending events: map, destruction, the window manager's close request.
  void handleEvents();

  bool closed() const { return gone || closeRequested; }
  bool isMapped() const { return mapped && !gone; }

  ::Window id = 0;

 private:
  void setFixedSize(int width, int height);

  Display* display;
  Atom deleteRequest = 0;
  bool mapped = false;
  bool gone = false;
  bool closeRequested = false;
};

}  // namespace brume
