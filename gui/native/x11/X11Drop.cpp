// XDND (version 5) drop target of the X11 backend's windows.

#include "gui/native/x11/X11Drop.h"

#include <unistd.h>

#include <cctype>
#include <cstring>

#include <X11/Xatom.h>

namespace brume::x11 {
namespace {

enum DropAtom : std::size_t {
  kAware,
  kEnter,
  kPosition,
  kStatus,
  kLeave,
  kDrop,
  kFinished,
  kSelection,
  kTypeList,
  kActionCopy,
  kActionMove,
  kTextUtf8,
  kUtf8String,
  kTextPlain,
  kUriList,
  kProperty,
  kIncremental,
  kAtomCount
};

const char* const kAtomNames[kAtomCount] = {
    "XdndAware",    "XdndEnter",      "XdndPosition",   "XdndStatus",
    "XdndLeave",    "XdndDrop",       "XdndFinished",   "XdndSelection",
    "XdndTypeList", "XdndActionCopy", "XdndActionMove", "text/plain;charset=utf-8",
    "UTF8_STRING",  "text/plain",     "text/uri-list",  "BRUME7_DROP",
    "INCR"};

// Where a source offers several, files win: X file managers offer the same
// URIs as plain text too, and a user dropping files means the files.
constexpr DropAtom kTypesByPreference[] = {kUriList, kTextUtf8, kUtf8String, kTextPlain};

// Up to 64 MB of dropped data in one property.
constexpr long kMaximumDropLongs = 16L * 1024 * 1024;

bool internAtoms(Connection* connection) {
  if (connection->dropAtoms.size() == kAtomCount) return true;
  if (connection->lost) return false;
  std::vector<Atom> atoms(kAtomCount, None);
  ErrorTrap trap(connection, false);
  if (!XInternAtoms(connection->display, const_cast<char**>(kAtomNames), static_cast<int>(kAtomCount), False,
                    atoms.data()))
    return false;
  connection->dropAtoms = atoms;
  return true;
}

Atom atom(const native::Window& window, DropAtom which) { return window.connection->dropAtoms[which]; }

const std::string& hostName() {
  static const std::string name = [] {
    char buffer[256] = "";
    if (gethostname(buffer, sizeof buffer - 1) != 0) buffer[0] = 0;
    return std::string(buffer);
  }();
  return name;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

int hexValue(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return -1;
}

// A malformed escape stays as written.
std::string percentDecoded(const std::string& text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = hexValue(text[i + 1]);
      int low = hexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    decoded += text[i];
  }
  return decoded;
}

// The path of one URI when it names a local file, else "".
std::string localPathOf(const std::string& uri, const std::string& host) {
  static constexpr char kScheme[] = "file:";
  constexpr std::size_t kSchemeLength = sizeof kScheme - 1;
  if (uri.size() <= kSchemeLength || !equalsIgnoringCase(uri.substr(0, kSchemeLength), kScheme)) return "";
  std::string rest = uri.substr(kSchemeLength);
  if (rest.compare(0, 2, "//") == 0) {
    std::size_t slash = rest.find('/', 2);
    if (slash == std::string::npos) return "";
    std::string authority = rest.substr(2, slash - 2);
    if (!authority.empty() && !equalsIgnoringCase(authority, "localhost") && !equalsIgnoringCase(authority, host))
      return "";
    rest = rest.substr(slash);
  }
  if (rest.empty() || rest[0] != '/') return "";
  std::string path = percentDecoded(rest);
  if (path.find('\0') != std::string::npos) return "";
  if (path.size() > kMaximumDropPathLength) path.resize(kMaximumDropPathLength);
  return path;
}

void sendToSource(native::Window& window, ::Window source, DropAtom message, const long (&data)[4]) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = window.connection->display;
  event.xclient.window = source;
  event.xclient.message_type = atom(window, message);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(window.id);
  for (int i = 0; i < 4; ++i) event.xclient.data.l[i + 1] = data[i];
  ErrorTrap trap(window.connection);  // a source that is gone answers BadWindow
  XSendEvent(window.connection->display, source, False, NoEventMask, &event);
}

// Ends the drag; `taken` tells the source whether its action was carried out.
void finish(native::Window& window, bool taken) {
  native::DropState drop = window.drop;
  window.drop = native::DropState{};
  if (!drop.source || window.gone || window.connection->lost) return;
  long data[4] = {taken ? 1L : 0L, taken ? static_cast<long>(drop.action) : static_cast<long>(None), 0, 0};
  sendToSource(window, drop.source, kFinished, data);
}

std::vector<Atom> offeredTypes(native::Window& window, const XClientMessageEvent& event) {
  std::vector<Atom> types;
  if (!(event.data.l[1] & 1)) {
    for (int i = 2; i < 5; ++i)
      if (event.data.l[i] != None) types.push_back(static_cast<Atom>(event.data.l[i]));
    return types;
  }
  ErrorTrap trap(window.connection, false);
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(window.connection->display, static_cast<::Window>(event.data.l[0]), atom(window, kTypeList), 0,
                         0x8000, False, XA_ATOM, &actualType, &format, &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* atoms = reinterpret_cast<const unsigned long*>(data);  // format 32 comes as longs
    types.assign(atoms, atoms + count);
  }
  if (data) XFree(data);
  return types;
}

void enter(native::Window& window, const XClientMessageEvent& event) {
  window.drop = native::DropState{};
  int version = static_cast<int>((static_cast<unsigned long>(event.data.l[1]) >> 24) & 0xff);
  if (version > kDropVersion) return;  // a newer protocol than ours: not our drag
  window.drop.source = static_cast<::Window>(event.data.l[0]);
  window.drop.version = version;
  std::vector<Atom> types = offeredTypes(window, event);
  auto offered = [&types](Atom wanted) {
    for (Atom type : types)
      if (type == wanted) return true;
    return false;
  };
  for (DropAtom candidate : kTypesByPreference) {
    if (offered(atom(window, candidate))) {
      window.drop.type = atom(window, candidate);
      window.drop.files = candidate == kUriList;
      return;
    }
  }
  if (offered(XA_STRING)) window.drop.type = XA_STRING;
}

bool controlHeld(native::Window& window) {
  ErrorTrap trap(window.connection, false);
  ::Window root = 0;
  ::Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int x = 0;
  int y = 0;
  unsigned int mask = 0;
  XQueryPointer(window.connection->display, window.root, &root, &child, &rootX, &rootY, &x, &y, &mask);
  return (mask & ControlMask) != 0;
}

void answerPosition(native::Window& window) {
  bool accepts = window.drop.type != None && window.dropClient;
  window.drop.action = accepts ? atom(window, controlHeld(window) ? kActionCopy : kActionMove) : None;
  // Bit 1: keep sending positions, since the answer follows the control key.
  long data[4] = {(accepts ? 1L : 0L) | 2L, 0, 0, static_cast<long>(window.drop.action)};
  sendToSource(window, window.drop.source, kStatus, data);
}

void drop(native::Window& window, const XClientMessageEvent& event) {
  if (window.drop.type == None || !window.dropClient || window.drop.action == None) {
    finish(window, false);
    return;
  }
  Time time = window.drop.version >= 1 ? static_cast<Time>(event.data.l[2]) : CurrentTime;
  ErrorTrap trap(window.connection);
  XConvertSelection(window.connection->display, atom(window, kSelection), window.drop.type, atom(window, kProperty),
                    window.id, time);
  window.drop.fetching = true;
}

// The fetched property's bytes; false when there are none or they come in pieces (INCR).
bool takeProperty(native::Window& window, Atom property, std::string& bytes) {
  ErrorTrap trap(window.connection, false);
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  bool read = XGetWindowProperty(window.connection->display, window.id, property, 0, kMaximumDropLongs, True,
                                 AnyPropertyType, &actualType, &format, &count, &after, &data) == Success;
  bool usable = read && data && format == 8 && actualType != atom(window, kIncremental) && after == 0;
  if (usable) bytes.assign(reinterpret_cast<const char*>(data), count);
  if (data) XFree(data);
  if (read && after != 0) XDeleteProperty(window.connection->display, window.id, property);
  return usable;
}

bool handOver(native::WindowClient* client, const native::DropState& drop, Atom string, const std::string& bytes) {
  if (drop.files) {
    std::vector<std::string> paths = localPathsOfUriList(bytes, hostName());
    if (paths.empty()) return false;
    std::vector<const char*> names;
    for (const std::string& path : paths) names.push_back(path.c_str());
    return client->onDrop(names.data(), static_cast<std::int32_t>(names.size()), 0);
  }
  // One block with its zero, as a Windows text block comes.
  std::string block = drop.type == string ? utf8OfLatin1(bytes) : bytes;
  std::size_t size = block.size() + 1;
  const char* start = block.c_str();
  return client->onDrop(&start, size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<std::int32_t>(size), 1);
}

}  // namespace

std::vector<std::string> localPathsOfUriList(const std::string& list, const std::string& hostName) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    std::string line = list.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\0')) line.pop_back();
    std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos || line[first] == '#') continue;
    std::string path = localPathOf(line.substr(first), hostName);
    if (!path.empty()) paths.push_back(path);
  }
  return paths;
}

std::string utf8OfLatin1(const std::string& text) {
  std::string utf8;
  for (char character : text) {
    auto byte = static_cast<unsigned char>(character);
    if (byte < 0x80) {
      utf8 += character;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

bool makeDropAware(native::Window& window, native::WindowClient* client) {
  if (window.gone || !internAtoms(window.connection)) return false;
  long version = kDropVersion;
  ErrorTrap trap(window.connection);
  XChangeProperty(window.connection->display, window.id, atom(window, kAware), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&version), 1);
  trap.synchronise();
  if (trap.errorCount() != 0 || window.connection->lost) return false;
  window.dropClient = client;
  return true;
}

void revokeDropAwareness(native::Window& window) {
  if (!window.dropClient) return;
  window.dropClient = nullptr;
  finish(window, false);
  if (window.gone || window.connection->lost) return;
  ErrorTrap trap(window.connection);
  XDeleteProperty(window.connection->display, window.id, atom(window, kAware));
}

void handleDropMessage(native::Window& window, const XClientMessageEvent& event) {
  if (window.connection->dropAtoms.size() != kAtomCount || event.format != 32) return;
  Atom type = event.message_type;
  if (type == atom(window, kEnter)) {
    enter(window, event);
    return;
  }
  // Only the source of the drag in progress is heard.
  if (!window.drop.source || static_cast<::Window>(event.data.l[0]) != window.drop.source) return;
  if (type == atom(window, kPosition) && !window.drop.fetching) {
    answerPosition(window);
  } else if (type == atom(window, kLeave)) {
    window.drop = native::DropState{};
  } else if (type == atom(window, kDrop) && !window.drop.fetching) {
    drop(window, event);
  }
}

void handleDropData(native::Window& window, const XSelectionEvent& event) {
  if (!window.drop.fetching || window.connection->dropAtoms.size() != kAtomCount ||
      event.selection != atom(window, kSelection))
    return;
  std::string bytes;
  if (event.property == None || !takeProperty(window, event.property, bytes) || !window.dropClient) {
    finish(window, false);
    return;
  }
  Connection* connection = window.connection;
  ::Window id = window.id;
  ConnectionUse use(connection);
  bool taken = handOver(window.dropClient, window.drop, XA_STRING, bytes);
  // The view that took it may have closed the editor.
  if (native::Window* still = findWindow(connection, id)) finish(*still, taken);
}

}  // namespace brume::x11
