// XSETTINGS reading of the X11 backend.

#include "gui/native/x11/X11Settings.h"

#include <cstdio>

#include "gui/native/x11/X11State.h"

namespace brume::x11 {
namespace {

enum SettingType : unsigned char { kInteger = 0, kString = 1, kColour = 2 };

// Reads the property's integers in the byte order it declares.
class SettingsReader {
 public:
  SettingsReader(const unsigned char* data, std::size_t size) : data(data), size(size) {}

  bool bigEndian() { return byteAt(0) == 1; }
  bool skip(std::size_t count) {
    if (count > size - position) return false;
    position += count;
    return true;
  }
  bool padTo4(std::size_t length) { return skip((4 - length % 4) % 4); }
  bool card8(unsigned char& out) {
    if (position >= size) return false;
    out = data[position++];
    return true;
  }
  bool card16(std::uint32_t& out) { return card(2, out); }
  bool card32(std::uint32_t& out) { return card(4, out); }
  bool text(std::size_t length, std::string& out) {
    if (length > size - position) return false;
    out.assign(reinterpret_cast<const char*>(data + position), length);
    position += length;
    return true;
  }
  void setBigEndian(bool big) { msbFirst = big; }

 private:
  unsigned char byteAt(std::size_t index) const { return index < size ? data[index] : 0; }
  bool card(std::size_t bytes, std::uint32_t& out) {
    if (bytes > size - position) return false;
    out = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
      std::uint32_t byte = data[position + (msbFirst ? i : bytes - 1 - i)];
      out = out << 8 | byte;
    }
    position += bytes;
    return true;
  }

  const unsigned char* data;
  std::size_t size;
  std::size_t position = 0;
  bool msbFirst = false;
};

std::int32_t readDoubleClickTime(Connection* connection) {
  if (connection->lost || connection->windows.empty()) return kDefaultDoubleClickTime;
  Display* display = connection->display;
  ErrorTrap trap(connection, false);
  XWindowAttributes rootAttributes;
  ::Window root = connection->windows.front()->root;
  if (!XGetWindowAttributes(display, root, &rootAttributes)) return kDefaultDoubleClickTime;
  char selectionName[32];
  std::snprintf(selectionName, sizeof selectionName, "_XSETTINGS_S%d", XScreenNumberOfScreen(rootAttributes.screen));
  Atom selection = XInternAtom(display, selectionName, False);
  Atom settings = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
  ::Window owner = XGetSelectionOwner(display, selection);
  if (owner == None) return kDefaultDoubleClickTime;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::int32_t time = kDefaultDoubleClickTime;
  if (XGetWindowProperty(display, owner, settings, 0, 0x10000, False, settings, &type, &format, &count, &after,
                         &data) == Success &&
      data && format == 8) {
    std::int32_t published = 0;
    if (integerSetting(data, count, "Net/DoubleClickTime", published) && published > 0) time = published;
  }
  if (data) XFree(data);
  return time;
}

}  // namespace

bool integerSetting(const unsigned char* data, std::size_t size, const std::string& name, std::int32_t& value) {
  if (!data || size < 12) return false;
  SettingsReader reader(data, size);
  reader.setBigEndian(reader.bigEndian());
  std::uint32_t serial = 0;
  std::uint32_t settingCount = 0;
  if (!reader.skip(4) || !reader.card32(serial) || !reader.card32(settingCount)) return false;
  for (std::uint32_t i = 0; i < settingCount; ++i) {
    unsigned char type = 0;
    std::uint32_t nameLength = 0;
    std::string settingName;
    std::uint32_t lastChange = 0;
    if (!reader.card8(type) || !reader.skip(1) || !reader.card16(nameLength) || !reader.text(nameLength, settingName) ||
        !reader.padTo4(nameLength) || !reader.card32(lastChange))
      return false;
    switch (type) {
      case kInteger: {
        std::uint32_t raw = 0;
        if (!reader.card32(raw)) return false;
        if (settingName == name) {
          value = static_cast<std::int32_t>(raw);
          return true;
        }
        break;
      }
      case kString: {
        std::uint32_t length = 0;
        if (!reader.card32(length) || !reader.skip(length) || !reader.padTo4(length)) return false;
        break;
      }
      case kColour:
        if (!reader.skip(8)) return false;
        break;
      default:
        return false;
    }
  }
  return false;
}

std::int32_t desktopDoubleClickTime(Connection* connection) {
  if (!connection) return kDefaultDoubleClickTime;
  if (connection->doubleClickTime < 0) connection->doubleClickTime = readDoubleClickTime(connection);
  return connection->doubleClickTime;
}

}  // namespace brume::x11
