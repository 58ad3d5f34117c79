#pragma once
// A small XDND (version 5) drag source for the tests: finds the deepest
// XDND-aware window under a point, as sources that look inside embedding
// windows do, offers types, sends positions and the drop, serves the data
// from its own selection and collects the target's answers.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <X11/Xlib.h>

namespace brume::testing {

struct XdndStatus {
  bool accepts = false;
  std::string action;  // "" for None
};

struct XdndFinished {
  bool accepted = false;
  std::string action;
};

class XdndSource {
 public:
  // `pump` lets the target run (the editor's idle) while the source waits.
  XdndSource(Display* display, std::function<void()> pump);
  ~XdndSource();
  XdndSource(const XdndSource&) = delete;
  XdndSource& operator=(const XdndSource&) = delete;

  // The deepest window at root position (x, y) with XdndAware, 0 for none.
  ::Window findTarget(int x, int y);
  // Offers `types` (more than three go through XdndTypeList) and `data` for any of them.
  void enter(::Window target, const std::vector<std::string>& types, const std::string& data);
  // A position at root (x, y), the pointer moved there first; false when no status came.
  bool position(int x, int y, XdndStatus& status);
  // Drops and serves the data; false when no XdndFinished came.
  bool drop(XdndFinished& finished);
  void leave();

  // The types the target asked for, in order.
  const std::vector<std::string>& requestedTypes() const { return requested; }

 private:
  Atom atom(const char* name);
  std::string nameOf(Atom atom);
  void send(const char* message, long l1, long l2, long l3, long l4);
  // Serves selection requests until a client message `message` arrives; false after 5 seconds.
  bool waitFor(const char* message, XClientMessageEvent& answer);
  void serve(const XSelectionRequestEvent& request);

  Display* display;
  std::function<void()> pump;
  ::Window window = 0;
  ::Window target = 0;
  std::string data;
  std::vector<std::string> requested;
  Time lastTime = 0;
};

}  // namespace brume::testing
