#pragma once
// The X11 backend's connection to the server: one per thread, opened with the
// thread's first window and closed with its last, and the error trap that
// keeps X errors (protocol and I/O) from ending the host. Internal to the backend.

#include <cstdint>
#include <vector>

#include <X11/Xlib.h>

namespace brume::native {
struct Window;
struct TextEntry;
}  // namespace brume::native

namespace brume::x11 {

struct Connection {
  Display* display = nullptr;
  std::vector<native::Window*> windows;  // in creation order
  native::TextEntry* entry = nullptr;    // the one text entry that takes the keys
  std::int32_t users = 0;                // windows, plus calls in progress (see ConnectionUse)
  std::int32_t pressDepth = 0;           // > 0 while a button press is being handled
  // The buttons the press being handled reported; the first poll sees them,
  // since the real button may be up by the time an idle reads the press.
  std::int32_t pressButtons = -1;
  bool lost = false;  // the server went away; no X call is made any more
  // The desktop's double-click time, read once per connection; -1 until then.
  std::int32_t doubleClickTime = -1;
  // The XDND atoms, interned with the first drop target.
  std::vector<Atom> dropAtoms;
};

// This thread's connection, null when it has none.
Connection* currentConnection();
// This thread's connection, opened when needed; null when the server cannot
// be reached. The caller holds a use until releaseConnection.
Connection* acquireConnection();
// Gives back a use; the connection closes when the last one goes.
void releaseConnection(Connection* connection);

// Holds a use for the length of a call that may end up destroying the last
// window (a callback into the toolkit), so the display outlives the call.
class ConnectionUse {
 public:
  explicit ConnectionUse(Connection* connection);
  ~ConnectionUse();
  ConnectionUse(const ConnectionUse&) = delete;
  ConnectionUse& operator=(const ConnectionUse&) = delete;

 private:
  Connection* connection;
};

// Catches the X errors of `connection` while alive: protocol errors are
// counted, a lost server marks the connection lost. With `syncAtEnd` the
// destructor waits for the server to have handled our requests, so that their
// errors arrive while the trap is set. The host's own handlers are put back
// afterwards; errors of other displays go on to them.
class ErrorTrap {
 public:
  explicit ErrorTrap(Connection* connection, bool syncAtEnd = true);
  // For a display that is not a backend connection (a tool's window capture).
  explicit ErrorTrap(Display* display, bool syncAtEnd = true);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  // Protocol errors caught so far (synchronise first to see them all).
  std::int32_t errorCount() const { return errors; }
  void synchronise();

 private:
  friend int catchError(Display* display, XErrorEvent* event);
  friend int catchIoError(Display* display);
  // The innermost trap of this thread for `display`, null when none.
  static ErrorTrap* trapFor(Display* display);

  Display* display;
  Connection* connection;
  bool syncAtEnd;
  std::int32_t errors = 0;
  ErrorTrap* outer;
};

}  // namespace brume::x11
