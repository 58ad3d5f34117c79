// The per-thread connection and the error trap of the X11 backend.

#include "gui/native/x11/X11Connection.h"

#include <atomic>
#include <new>

namespace brume::x11 {
namespace {

thread_local Connection* threadConnection = nullptr;
thread_local ErrorTrap* innermostTrap = nullptr;

// The host's handlers, saved while one of our traps is set.
XErrorHandler hostErrorHandler = nullptr;
XIOErrorHandler hostIoErrorHandler = nullptr;
std::atomic<std::uint32_t> caughtErrors{0};

// Called by Xlib after the I/O error handler; the default one exits.
void keepRunningAfterIoError(Display*, void* connection) { static_cast<Connection*>(connection)->lost = true; }

void closeConnection(Connection* connection) {
  if (threadConnection == connection) threadConnection = nullptr;
  {
    // XCloseDisplay synchronises; a lost server only has memory to free.
    ErrorTrap trap(connection, false);
    XCloseDisplay(connection->display);
  }
  delete connection;
}

}  // namespace

ErrorTrap* ErrorTrap::trapFor(Display* display) {
  for (ErrorTrap* trap = innermostTrap; trap; trap = trap->outer)
    if (trap->display == display) return trap;
  return nullptr;
}

int catchError(Display* display, XErrorEvent* event) {
  if (ErrorTrap* trap = ErrorTrap::trapFor(display)) {
    ++trap->errors;
    caughtErrors.fetch_add(1, std::memory_order_relaxed);
    return 0;
  }
  return hostErrorHandler ? hostErrorHandler(display, event) : 0;
}

int catchIoError(Display* display) {
  if (ErrorTrap* trap = ErrorTrap::trapFor(display)) {
    if (trap->connection) trap->connection->lost = true;
    return 0;
  }
  return hostIoErrorHandler ? hostIoErrorHandler(display) : 0;
}

std::uint32_t caughtErrorCount() { return caughtErrors.load(std::memory_order_relaxed); }

bool isConnectionLost() { return threadConnection && threadConnection->lost; }

std::int32_t openConnectionCount() { return threadConnection ? 1 : 0; }

Connection* currentConnection() { return threadConnection; }

Connection* acquireConnection() {
  if (!threadConnection) {
    Connection* connection = new (std::nothrow) Connection;
    if (!connection) return nullptr;
    // Whatever display the host uses, ours comes from $DISPLAY.
    connection->display = XOpenDisplay(nullptr);
    if (!connection->display) {
      delete connection;
      return nullptr;
    }
    XSetIOErrorExitHandler(connection->display, keepRunningAfterIoError, connection);
    threadConnection = connection;
  }
  ++threadConnection->users;
  return threadConnection;
}

void releaseConnection(Connection* connection) {
  if (!connection || --connection->users > 0) return;
  closeConnection(connection);
}

ConnectionUse::ConnectionUse(Connection* connection) : connection(connection) {
  if (connection) ++connection->users;
}

ConnectionUse::~ConnectionUse() { releaseConnection(connection); }

ErrorTrap::ErrorTrap(Connection* connection, bool syncAtEnd)
    : display(connection ? connection->display : nullptr),
      connection(connection),
      syncAtEnd(syncAtEnd),
      outer(innermostTrap) {
  if (!outer) {
    XErrorHandler previous = XSetErrorHandler(catchError);
    if (previous != catchError) hostErrorHandler = previous;
    XIOErrorHandler previousIo = XSetIOErrorHandler(catchIoError);
    if (previousIo != catchIoError) hostIoErrorHandler = previousIo;
  }
  innermostTrap = this;
}

ErrorTrap::ErrorTrap(Display* display, bool syncAtEnd) : ErrorTrap(static_cast<Connection*>(nullptr), syncAtEnd) {
  this->display = display;
}

void ErrorTrap::synchronise() {
  if (display && !(connection && connection->lost)) XSync(display, False);
}

ErrorTrap::~ErrorTrap() {
  if (syncAtEnd) synchronise();
  innermostTrap = outer;
  if (!outer) {
    XSetErrorHandler(hostErrorHandler);
    XSetIOErrorHandler(hostIoErrorHandler);
  }
}

}  // namespace brume::x11
