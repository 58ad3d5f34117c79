// Thread setup, time and the polled mouse of the X11 backend.

#include <cerrno>
#include <ctime>

#include "gui/MouseButtons.h"
#include "gui/native/x11/X11Settings.h"
#include "gui/native/x11/X11State.h"

namespace brume {
namespace x11 {
namespace {

struct PointerState {
  bool valid = false;
  bool onScreen = false;  // the pointer is on the screen of our windows
  unsigned int mask = 0;
  Point screen;
};

PointerState queryPointer(Connection* connection) {
  PointerState state;
  if (!connection || connection->lost) return state;
  ::Window root =
      connection->windows.empty() ? DefaultRootWindow(connection->display) : connection->windows.front()->root;
  ErrorTrap trap(connection, false);
  ::Window rootReturn = 0;
  ::Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int windowX = 0;
  int windowY = 0;
  // False when the pointer is on another screen; the mask is still right.
  bool sameScreen =
      XQueryPointer(connection->display, root, &rootReturn, &child, &rootX, &rootY, &windowX, &windowY, &state.mask);
  state.valid = !connection->lost;
  state.onScreen = sameScreen;
  if (sameScreen) state.screen = Point{rootX, rootY};
  return state;
}

thread_local Point lastCursor;

}  // namespace

std::int32_t buttonsOfState(unsigned int state) {
  std::int32_t buttons = 0;
  if (state & Button1Mask) buttons |= kLeftButton;
  if (state & Button2Mask) buttons |= kMiddleButton;
  if (state & Button3Mask) buttons |= kRightButton;
  if (state & ShiftMask) buttons |= kShiftKey;
  if (state & ControlMask) buttons |= kControlKey;
  if (state & Mod1Mask) buttons |= kAltKey;
  return buttons;
}
}  // namespace x11

namespace native {

// Nothing to set up per thread: the connection comes with the first window.
void initThread() {}
void uninitThread() {}

// Any thread (the editor's refresh throttle reads it on the audio thread), real-time safe.
std::uint32_t tickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::uint64_t milliseconds =
      static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

void sleepMilliseconds(std::uint32_t milliseconds) {
  timespec wanted{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  timespec left{};
  while (nanosleep(&wanted, &left) != 0 && errno == EINTR) wanted = left;
}

std::uint32_t doubleClickTime() {
  return static_cast<std::uint32_t>(x11::desktopDoubleClickTime(x11::currentConnection()));
}

std::int32_t mouseButtons() {
  x11::Connection* connection = x11::currentConnection();
  if (!connection) return 0;
  if (connection->pressButtons >= 0) {
    // The press being handled may be over already; the control asks as of the press.
    std::int32_t buttons = connection->pressButtons;
    connection->pressButtons = -1;
    return buttons;
  }
  // A drag loop draws through one device context for its whole length and
  // polls here between changes: show what it drew.
  {
    x11::ConnectionUse use(connection);
    x11::presentAll(connection);
  }
  x11::PointerState state = x11::queryPointer(connection);
  return state.valid ? x11::buttonsOfState(state.mask) : 0;
}

Point cursorScreenPosition() {
  x11::PointerState state = x11::queryPointer(x11::currentConnection());
  if (state.valid && state.onScreen) x11::lastCursor = state.screen;
  return x11::lastCursor;
}

}  // namespace native
}  // namespace brume
