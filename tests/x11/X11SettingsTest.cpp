// The desktop's double-click time through XSETTINGS: the property's format in
// both byte orders, malformed properties, and a settings owner on the test
// server that the editor's text fields follow.

#include <X11/Xatom.h>

#include <cstdio>

#include "X11TestSupport.h"
#include "gui/TextField.h"
#include "gui/native/x11/X11Settings.h"

namespace brume::testing {
namespace {

// Writes an _XSETTINGS_SETTINGS property: a string setting, a colour, then the integers.
class SettingsWriter {
 public:
  explicit SettingsWriter(bool bigEndian) : big(bigEndian) {
    bytes = {static_cast<unsigned char>(big ? 1 : 0), 0, 0, 0};
    card32(7);  // serial
    card32(0);  // count, set at the end
    string("Net/ThemeName", "Adwaita");
    header(2, "Gtk/CursorColour");
    for (int i = 0; i < 4; ++i) card16(0x1234);
  }
  SettingsWriter& integer(const std::string& name, std::int32_t value) {
    header(0, name);
    card32(static_cast<std::uint32_t>(value));
    return *this;
  }
  std::vector<unsigned char> finish() {
    std::vector<unsigned char> out = bytes;
    for (int i = 0; i < 4; ++i) out[8 + i] = static_cast<unsigned char>(count >> (big ? 8 * (3 - i) : 8 * i));
    return out;
  }

 private:
  void card(std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
      int shift = big ? 8 * (size - 1 - i) : 8 * i;
      bytes.push_back(static_cast<unsigned char>(value >> shift));
    }
  }
  void card16(std::uint32_t value) { card(value, 2); }
  void card32(std::uint32_t value) { card(value, 4); }
  void padded(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    while (bytes.size() % 4) bytes.push_back(0);
  }
  void header(unsigned char type, const std::string& name) {
    ++count;
    bytes.push_back(type);
    bytes.push_back(0);
    card16(static_cast<std::uint32_t>(name.size()));
    padded(name);
    card32(3);  // last change serial
  }
  void string(const std::string& name, const std::string& value) {
    header(1, name);
    card32(static_cast<std::uint32_t>(value.size()));
    padded(value);
  }

  bool big;
  std::uint32_t count = 0;
  std::vector<unsigned char> bytes;
};

class XSettingsFormat : public ::testing::TestWithParam<bool> {};

TEST_P(XSettingsFormat, FindsTheIntegerAfterOtherKindsOfSettings) {
  std::vector<unsigned char> data =
      SettingsWriter(GetParam()).integer("Net/DndDragThreshold", 8).integer("Net/DoubleClickTime", 650).finish();
  std::int32_t value = 0;
  ASSERT_TRUE(x11::integerSetting(data.data(), data.size(), "Net/DoubleClickTime", value));
  EXPECT_EQ(value, 650);
  EXPECT_FALSE(x11::integerSetting(data.data(), data.size(), "Net/ThemeName", value)) << "a string is no integer";
  EXPECT_FALSE(x11::integerSetting(data.data(), data.size(), "Net/Missing", value));
  // Every cut of the property fails cleanly.
  for (std::size_t size = 0; size + 4 <= data.size(); ++size)
    EXPECT_FALSE(x11::integerSetting(data.data(), size, "Net/DoubleClickTime", value)) << size;
}

INSTANTIATE_TEST_SUITE_P(BothByteOrders, XSettingsFormat, ::testing::Values(false, true));

class X11DesktopSettings : public X11Fixture {
 protected:
  std::int32_t fieldDoubleClickTime() {
    TextField* field = nullptr;
    openEditor(100, 40, [&](Frame& frame) {
      field = new TextField(Rect{0, 0, 99, 20}, nullptr, 1, "x", nullptr, 0x2000);
      frame.addView(field);
    });
    return field ? field->getDoubleClickTime() : -1;
  }
};

TEST_F(X11DesktopSettings, TheTextFieldFollowsThePublishedDoubleClickTimeOrUses400) {
  EXPECT_EQ(fieldDoubleClickTime(), 400);
  closeEditor();
  // A settings manager owns the screen's selection and keeps the settings on its window.
  ::Window manager = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  std::vector<unsigned char> data = SettingsWriter(false).integer("Net/DoubleClickTime", 777).finish();
  Atom settings = XInternAtom(display, "_XSETTINGS_SETTINGS", False);
  XChangeProperty(display, manager, settings, settings, 8, PropModeReplace, data.data(), static_cast<int>(data.size()));
  char selection[32];
  std::snprintf(selection, sizeof selection, "_XSETTINGS_S%d", DefaultScreen(display));
  XSetSelectionOwner(display, XInternAtom(display, selection, False), manager, CurrentTime);
  XSync(display, False);
  EXPECT_EQ(fieldDoubleClickTime(), 777);
}

}  // namespace
}  // namespace brume::testing
