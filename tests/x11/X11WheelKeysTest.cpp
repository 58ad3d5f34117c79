// Wheel steps and keys in the X11 backend under a private Xvfb server: notches
// over a knob, keys typed after a click into the editor (and only then), the
// same keys through the host's key opcodes, and their translation.

#include <utility>

#include "X11TestSupport.h"
#include "gui/HandleKnob.h"
#include "gui/native/x11/X11Keys.h"
#include "gui/native/x11/X11Platform.h"

namespace brume::testing {
namespace {

constexpr VstInt32 kKeyDownOpcode = 59;
constexpr VstInt32 kKeyUpOpcode = 60;

struct KeyRecord {
  bool down;
  VstInt32 character;
  int virtualKey;
  int modifiers;
  bool operator==(const KeyRecord& other) const {
    return down == other.down && character == other.character && virtualKey == other.virtualKey &&
           modifiers == other.modifiers;
  }
};

std::ostream& operator<<(std::ostream& out, const KeyRecord& key) {
  return out << (key.down ? "down" : "up") << "(" << key.character << ", " << key.virtualKey << ", " << key.modifiers
             << ")";
}

class KeyView : public RecordingView {
 public:
  using RecordingView::RecordingView;
  VstInt32 onKeyPress(KeyCode key) override { return record(true, key); }
  VstInt32 onKeyRelease(KeyCode key) override { return record(false, key); }
  std::vector<KeyRecord> keys;

 private:
  VstInt32 record(bool down, KeyCode key) {
    keys.push_back({down, key.character, key.virtualKey, key.modifiers});
    return 1;
  }
};

class X11WheelAndKeys : public X11Fixture {
 protected:
  // Two knobs (the second added is topmost) and free space to click into.
  void openKnobs() {
    openEditor(200, 120, [this](Frame& frame) {
      first = new HandleKnob(Rect{10, 10, 50, 50}, &listener, 1, nullptr, nullptr, Point{});
      second = new HandleKnob(Rect{60, 10, 100, 50}, &listener, 2, nullptr, nullptr, Point{});
      first->setValue(0.5f);
      second->setValue(0.5f);
      frame.addView(first);
      frame.addView(second);
    });
    editor->setKnobMode(2);  // linear: a click without a move keeps the value
    ASSERT_TRUE(idleUntilPainted());
    XSetInputFocus(display, parent, RevertToParent, CurrentTime);
    XSync(display, False);
  }
  void TearDown() override {
    if (editor) editor->setKnobMode(0);
    X11Fixture::TearDown();
  }
  std::string at(int x, int y) const {
    return "mousemove --window " + std::to_string(parent) + " " + std::to_string(x) + " " + std::to_string(y);
  }
  ::Window focusWindow() {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus;
  }
  // Sends the input and idles until the knob's value reaches `expected`.
  bool sendAndExpect(const std::string& input, HandleKnob* knob, float expected) {
    if (runCommand(xdotool(input)) != 0) return false;
    return idleUntil([&] { return std::abs(knob->getValue() - expected) < 1e-5f; });
  }

  RecordingListener listener;
  HandleKnob* first = nullptr;
  HandleKnob* second = nullptr;
};

TEST_F(X11WheelAndKeys, WheelNotchesStepTheKnobUnderThePointerAndShiftMakesThemFine) {
  SKIP_WITHOUT_XDOTOOL();
  openKnobs();
  // Step 0.1 per notch, a tenth of it with shift; buttons 4 up, 5 down.
  const std::pair<std::string, float> steps[] = {
      {at(30, 30) + " click 4", 0.6f},
      {"click 5 click 5", 0.4f},
      {"keydown shift click 4 keyup shift", 0.41f},
      {"click --repeat 10 --delay 1 4", 1.0f},  // clamped at the maximum
  };
  for (const auto& [input, expected] : steps)
    ASSERT_TRUE(sendAndExpect(input, first, expected)) << input << ": value " << first->getValue();
  // Horizontal steps move nothing; a following notch shows they were seen and ignored.
  ASSERT_TRUE(sendAndExpect("click 6 click 7 click 5", first, 0.9f)) << first->getValue();
  EXPECT_FLOAT_EQ(second->getValue(), 0.5f);
  ASSERT_FALSE(listener.values.empty());
  EXPECT_FLOAT_EQ(listener.values.back(), 0.9f);
  // Turning the wheel is no click: the keyboard stays with the host.
  EXPECT_EQ(focusWindow(), parent);
}

TEST_F(X11WheelAndKeys, KeysReachTheFocusedKnobOnlyAfterAClickIntoTheEditor) {
  SKIP_WITHOUT_XDOTOOL();
  openKnobs();
  // The pointer over the editor is not enough: the key stays the host's.
  ASSERT_EQ(runCommand(xdotool(at(30, 30) + " key Up")), 0);
  for (int i = 0; i < 20; ++i) editor->idle();
  EXPECT_FLOAT_EQ(first->getValue(), 0.5f);
  EXPECT_EQ(focusWindow(), parent);
  // A click on the first knob gives it the focus and the editor the keyboard.
  ASSERT_EQ(runCommand(xdotool("click 1")), 0);
  ASSERT_TRUE(idleUntil([this] { return focusWindow() == frameWindowId(); })) << "the click took no keyboard";
  ASSERT_TRUE(sendAndExpect("key Up", first, 0.6f)) << first->getValue();
  ASSERT_TRUE(sendAndExpect("key shift+Left", first, 0.59f)) << first->getValue();
  EXPECT_FLOAT_EQ(second->getValue(), 0.5f) << "the topmost knob took a key the focused one holds";
  // The host's key opcodes reach the same knob.
  EXPECT_EQ(instrument->dispatcher(kKeyDownOpcode, 0, static_cast<VstIntPtr>(x11::VirtualKey::down), nullptr, 0.0f), 1);
  EXPECT_NEAR(first->getValue(), 0.49f, 1e-5f);
  EXPECT_EQ(instrument->dispatcher(kKeyDownOpcode, 0, static_cast<VstIntPtr>(x11::VirtualKey::right), nullptr, 1.0f),
            1);
  EXPECT_NEAR(first->getValue(), 0.50f, 1e-5f);
  EXPECT_EQ(instrument->dispatcher(kKeyUpOpcode, 0, static_cast<VstIntPtr>(x11::VirtualKey::right), nullptr, 0.0f), -1);
  // Once the host takes the keyboard back, keys are its own again.
  XSetInputFocus(display, parent, RevertToParent, CurrentTime);
  XSync(display, False);
  ASSERT_TRUE(idleUntil([this] { return !x11::holdsKeyboard(editor->getFrame()->nativeWindow()); }));
  ASSERT_EQ(runCommand(xdotool("key Up")), 0);
  for (int i = 0; i < 20; ++i) editor->idle();
  EXPECT_NEAR(first->getValue(), 0.50f, 1e-5f);
}

TEST_F(X11WheelAndKeys, XKeysArriveInTheHostKeyCodes) {
  SKIP_WITHOUT_XDOTOOL();
  KeyView* view = nullptr;
  openEditor(100, 80, [&](Frame& frame) {
    view = new KeyView(Rect{0, 0, 99, 79});
    frame.addView(view);
  });
  ASSERT_TRUE(idleUntilPainted());
  ASSERT_EQ(runCommand(xdotool("mousemove --window " + std::to_string(parent) + " 20 20 click 1")), 0);
  ASSERT_TRUE(idleUntil([&] { return !view->presses.empty(); }));
  ASSERT_EQ(runCommand(xdotool("key Page_Up Page_Down Home End Return Escape Delete BackSpace a shift+b ctrl+c "
                               "alt+Down KP_Enter F2")),
            0);
  constexpr int kShift = x11::kShiftModifier;
  constexpr int kAlt = x11::kAltModifier;
  constexpr int kControl = x11::kControlModifier;
  using K = x11::VirtualKey;
  const KeyRecord expected[] = {
      {true, 0, int(K::pageUp), 0},    {true, 0, int(K::pageDown), 0},  {true, 0, int(K::home), 0},
      {true, 0, int(K::end), 0},       {true, 0, int(K::returnKey), 0}, {true, 0, int(K::escape), 0},
      {true, 0, int(K::deleteKey), 0}, {true, 0, int(K::backspace), 0}, {true, 'a', 0, 0},
      {true, 'B', 0, kShift},          {true, 'c', 0, kControl},        {true, 0, int(K::down), kAlt},
      {true, 0, int(K::enter), 0},     {true, 0, int(K::f1) + 1, 0},
  };
  // The modifier keys themselves come too (as shift, control and alt); leave them out.
  auto keysWithout = [&] {
    std::vector<KeyRecord> keys;
    for (const KeyRecord& key : view->keys)
      if (key.virtualKey < int(K::shift) || key.virtualKey > int(K::alt)) keys.push_back(key);
    return keys;
  };
  ASSERT_TRUE(idleUntil([&] { return keysWithout().size() >= 2 * std::size(expected); }))
      << "keys seen: " << keysWithout().size();
  std::vector<KeyRecord> keys = keysWithout();
  // Each press is followed by its release; the release carries the modifiers still held then.
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(keys[2 * i], expected[i]) << "key " << i;
    EXPECT_FALSE(keys[2 * i + 1].down) << "key " << i;
    EXPECT_EQ(keys[2 * i + 1].virtualKey, expected[i].virtualKey) << "key " << i;
  }
}

}  // namespace
}  // namespace brume::testing
