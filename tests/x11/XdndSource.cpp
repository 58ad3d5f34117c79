#include "XdndSource.h"

#include <chrono>
#include <thread>

#include <X11/Xatom.h>

namespace brume::testing {
namespace {
constexpr auto kWaitLimit = std::chrono::seconds(5);
constexpr long kVersion = 5;
}  // namespace

XdndSource::XdndSource(Display* display, std::function<void()> pump) : display(display), pump(std::move(pump)) {
  window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(display, window, PropertyChangeMask);
}

XdndSource::~XdndSource() {
  XDestroyWindow(display, window);
  XSync(display, False);
}

Atom XdndSource::atom(const char* name) { return XInternAtom(display, name, False); }

std::string XdndSource::nameOf(Atom value) {
  if (value == None) return "";
  char* name = XGetAtomName(display, value);
  std::string text = name ? name : "";
  if (name) XFree(name);
  return text;
}

::Window XdndSource::findTarget(int x, int y) {
  ::Window found = 0;
  ::Window current = DefaultRootWindow(display);
  ::Window root = current;
  while (current) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* value = nullptr;
    if (XGetWindowProperty(display, current, atom("XdndAware"), 0, 1, False, XA_ATOM, &type, &format, &count, &after,
                           &value) == Success &&
        value && count == 1)
      found = current;
    if (value) XFree(value);
    int childX = 0;
    int childY = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(display, root, current, x, y, &childX, &childY, &child)) break;
    current = child;
  }
  return found;
}

void XdndSource::send(const char* message, long l1, long l2, long l3, long l4) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = target;
  event.xclient.message_type = atom(message);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(window);
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  event.xclient.data.l[4] = l4;
  XSendEvent(display, target, False, NoEventMask, &event);
  XSync(display, False);
}

void XdndSource::enter(::Window to, const std::vector<std::string>& types, const std::string& offered) {
  target = to;
  data = offered;
  requested.clear();
  std::vector<Atom> atoms;
  for (const std::string& type : types) atoms.push_back(atom(type.c_str()));
  XChangeProperty(display, window, atom("XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
  // A timestamp from the server, for the selection.
  XEvent event;
  XChangeProperty(display, window, atom("BRUME7_TEST_TIME"), XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(""), 0);
  XWindowEvent(display, window, PropertyChangeMask, &event);
  lastTime = event.xproperty.time;
  XSetSelectionOwner(display, atom("XdndSelection"), window, lastTime);
  long more = atoms.size() > 3 ? 1 : 0;
  auto at = [&atoms](std::size_t i) { return i < atoms.size() ? static_cast<long>(atoms[i]) : 0L; };
  send("XdndEnter", more | kVersion << 24, more ? 0 : at(0), more ? 0 : at(1), more ? 0 : at(2));
}

bool XdndSource::position(int x, int y, XdndStatus& status) {
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
  send("XdndPosition", 0, static_cast<long>(x) << 16 | y, static_cast<long>(lastTime),
       static_cast<long>(atom("XdndActionCopy")));
  XClientMessageEvent answer{};
  if (!waitFor("XdndStatus", answer)) return false;
  status.accepts = (answer.data.l[1] & 1) != 0;
  status.action = nameOf(static_cast<Atom>(answer.data.l[4]));
  return static_cast<::Window>(answer.data.l[0]) == target;
}

bool XdndSource::drop(XdndFinished& finished) {
  send("XdndDrop", 0, static_cast<long>(lastTime), 0, 0);
  XClientMessageEvent answer{};
  if (!waitFor("XdndFinished", answer)) return false;
  finished.accepted = (answer.data.l[1] & 1) != 0;
  finished.action = nameOf(static_cast<Atom>(answer.data.l[2]));
  return static_cast<::Window>(answer.data.l[0]) == target;
}

void XdndSource::leave() { send("XdndLeave", 0, 0, 0, 0); }

void XdndSource::serve(const XSelectionRequestEvent& request) {
  requested.push_back(nameOf(request.target));
  XChangeProperty(display, request.requestor, request.property, request.target, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.requestor = request.requestor;
  reply.xselection.selection = request.selection;
  reply.xselection.target = request.target;
  reply.xselection.property = request.property;
  reply.xselection.time = request.time;
  XSendEvent(display, request.requestor, False, NoEventMask, &reply);
  XSync(display, False);
}

bool XdndSource::waitFor(const char* message, XClientMessageEvent& answer) {
  Atom wanted = atom(message);
  auto end = std::chrono::steady_clock::now() + kWaitLimit;
  while (std::chrono::steady_clock::now() < end) {
    pump();
    XSync(display, False);
    XEvent event;
    while (XPending(display) > 0) {
      XNextEvent(display, &event);
      if (event.type == SelectionRequest) serve(event.xselectionrequest);
      if (event.type == ClientMessage && event.xclient.window == window && event.xclient.message_type == wanted) {
        answer = event.xclient;
        return true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace brume::testing
