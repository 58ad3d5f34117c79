// Presses, wheel steps, the keyboard focus and key events of the X11 backend's
// windows. Everything here only translates: the frame does the dispatch.

#include "gui/MouseButtons.h"
#include "gui/native/x11/X11Keys.h"
#include "gui/native/x11/X11Platform.h"
#include "gui/native/x11/X11State.h"

namespace brume::x11 {
namespace {

constexpr unsigned int kWheelUp = 4;
constexpr unsigned int kWheelDown = 5;
constexpr unsigned int kWheelLeft = 6;
constexpr unsigned int kWheelRight = 7;
// One X wheel button press is one notch. Smooth-scrolling devices reach core
// clients the same way: the server sends one press per notch's worth of
// scrolling, never one per small step.
constexpr float kDistancePerNotch = 1.0f;

bool isInside(const Rect& area, int x, int y) {
  return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

void selectEvents(native::Window& window) {
  if (window.gone || window.connection->lost) return;
  ErrorTrap trap(window.connection, false);
  XSelectInput(window.connection->display, window.id, eventMaskOf(window));
}

// A click into the window gives it the keyboard, as a click into any window
// would; a text entry that the click opened has taken it already.
void takeKeyboard(native::Window& window, Time time) {
  Connection* connection = window.connection;
  if (window.gone || connection->lost || connection->entry) return;
  window.hasKeyboard = true;
  Display* display = connection->display;
  ErrorTrap trap(connection);
  XSelectInput(display, window.id, eventMaskOf(window));
  window.keyboardSerial = NextRequest(display);
  XSetInputFocus(display, window.id, RevertToParent, time);
  // A refused request (an older time, a window not viewable) leaves the keyboard
  // where it was; listening to keys then would take them from the host.
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  if (focus != window.id) {
    window.hasKeyboard = false;
    XSelectInput(display, window.id, eventMaskOf(window));
  }
}

void turnWheel(Connection* connection, native::Window* window, const XButtonEvent& event, float distance) {
  if (!window->client) return;
  // The knob reads the modifiers of the step, not of whatever the keyboard shows by now.
  connection->pressButtons = buttonsOfState(event.state);
  window->client->onWheelTurn(distance);
  connection->pressButtons = -1;
}

bool isFocusLoss(const XFocusChangeEvent& event) {
  if (event.mode != NotifyNormal && event.mode != NotifyWhileGrabbed) return false;
  return event.detail == NotifyAncestor || event.detail == NotifyVirtual || event.detail == NotifyNonlinear ||
         event.detail == NotifyNonlinearVirtual;
}

}  // namespace

bool holdsKeyboard(native::Window* window) { return isLiveWindow(window) && window->hasKeyboard; }

long eventMaskOf(const native::Window& window) {
  const native::TextEntry* entry = window.connection->entry;
  bool keys = window.hasKeyboard || (entry && entry->parent == &window);
  return kWindowEvents | (keys ? kKeyEvents : 0);
}

void handlePress(Connection* connection, native::Window* window, XButtonEvent& event) {
  static constexpr std::int32_t kPressedBit[] = {0, kLeftButton, kMiddleButton, kRightButton};
  switch (event.button) {
    case kWheelUp:
      turnWheel(connection, window, event, kDistancePerNotch);
      return;
    case kWheelDown:
      turnWheel(connection, window, event, -kDistancePerNotch);
      return;
    case kWheelLeft:
    case kWheelRight:
      return;  // the toolkit has no horizontal wheel
    default:
      break;
  }
  if (event.button < 1 || event.button > 3) return;
  native::TextEntry* entry = connection->entry;
  if (entry && entry->parent == window && isInside(entry->style.area, event.x, event.y)) {
    entryClick(*entry, event.x);
    return;
  }
  if (!window->client) return;
  ::Window id = window->id;
  connection->pressButtons = buttonsOfState(event.state) | kPressedBit[event.button];
  ++connection->pressDepth;
  window->client->onButtonPress(Point{event.x, event.y});
  --connection->pressDepth;
  connection->pressButtons = -1;
  // The press may have closed the window.
  if (native::Window* still = findWindow(connection, id)) takeKeyboard(*still, event.time);
}

void handleKey(Connection* connection, native::Window* window, XKeyEvent& event) {
  native::TextEntry* entry = connection->entry;
  if (entry && entry->parent == window) {
    if (event.type == KeyPress) entryKeyPress(*entry, event);
    return;
  }
  if (!window->hasKeyboard || !window->client) return;
  KeySym keysym = NoSymbol;
  char characters[32];
  {
    ErrorTrap trap(connection, false);
    XLookupString(&event, characters, sizeof characters, &keysym, nullptr);
  }
  KeyCode key;
  if (keyCodeOf(keysym, event.state, key)) window->client->onKey(key, event.type == KeyPress);
}

void handleFocusOut(Connection* connection, native::Window* window, const XFocusChangeEvent& event) {
  if (!isFocusLoss(event)) return;
  native::TextEntry* entry = connection->entry;
  if (entry && entry->parent == window) {
    if (event.serial < entry->focusSerial) return;
    ::Window id = window->id;
    endTextEntry(entry);
    window = findWindow(connection, id);
    if (!window) return;
  }
  if (window->hasKeyboard && event.serial >= window->keyboardSerial) {
    window->hasKeyboard = false;
    selectEvents(*window);
  }
}

}  // namespace brume::x11
