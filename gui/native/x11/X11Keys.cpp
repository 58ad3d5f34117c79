// Key translation of the X11 backend.

#include "gui/native/x11/X11Keys.h"

#include <X11/keysym.h>

namespace brume::x11 {
namespace {

struct NamedKey {
  KeySym keysym;
  VirtualKey key;
  char character;  // what a host puts beside it, 0 for none
};

constexpr NamedKey kNamedKeys[] = {
    {XK_BackSpace, VirtualKey::backspace, 0},
    {XK_Tab, VirtualKey::tab, 0},
    {XK_ISO_Left_Tab, VirtualKey::tab, 0},
    {XK_Clear, VirtualKey::clear, 0},
    {XK_Return, VirtualKey::returnKey, 0},
    {XK_Pause, VirtualKey::pause, 0},
    {XK_Escape, VirtualKey::escape, 0},
    {XK_space, VirtualKey::space, ' '},
    {XK_End, VirtualKey::end, 0},
    {XK_KP_End, VirtualKey::end, 0},
    {XK_Home, VirtualKey::home, 0},
    {XK_KP_Home, VirtualKey::home, 0},
    {XK_Left, VirtualKey::left, 0},
    {XK_KP_Left, VirtualKey::left, 0},
    {XK_Up, VirtualKey::up, 0},
    {XK_KP_Up, VirtualKey::up, 0},
    {XK_Right, VirtualKey::right, 0},
    {XK_KP_Right, VirtualKey::right, 0},
    {XK_Down, VirtualKey::down, 0},
    {XK_KP_Down, VirtualKey::down, 0},
    {XK_Page_Up, VirtualKey::pageUp, 0},
    {XK_KP_Page_Up, VirtualKey::pageUp, 0},
    {XK_Page_Down, VirtualKey::pageDown, 0},
    {XK_KP_Page_Down, VirtualKey::pageDown, 0},
    {XK_Print, VirtualKey::print, 0},
    {XK_KP_Enter, VirtualKey::enter, 0},
    {XK_Insert, VirtualKey::insert, 0},
    {XK_KP_Insert, VirtualKey::insert, 0},
    {XK_Delete, VirtualKey::deleteKey, 0},
    {XK_KP_Delete, VirtualKey::deleteKey, 0},
    {XK_Help, VirtualKey::help, 0},
    {XK_KP_Multiply, VirtualKey::multiply, '*'},
    {XK_KP_Add, VirtualKey::add, '+'},
    {XK_KP_Separator, VirtualKey::separator, ','},
    {XK_KP_Subtract, VirtualKey::subtract, '-'},
    {XK_KP_Decimal, VirtualKey::decimal, '.'},
    {XK_KP_Divide, VirtualKey::divide, '/'},
    {XK_KP_Equal, VirtualKey::equals, '='},
    {XK_Num_Lock, VirtualKey::numLock, 0},
    {XK_Scroll_Lock, VirtualKey::scrollLock, 0},
    {XK_Shift_L, VirtualKey::shift, 0},
    {XK_Shift_R, VirtualKey::shift, 0},
    {XK_Control_L, VirtualKey::control, 0},
    {XK_Control_R, VirtualKey::control, 0},
    {XK_Alt_L, VirtualKey::alt, 0},
    {XK_Alt_R, VirtualKey::alt, 0},
};

unsigned char modifiersOf(unsigned int state) {
  unsigned char modifiers = 0;
  if (state & ShiftMask) modifiers |= kShiftModifier;
  if (state & Mod1Mask) modifiers |= kAltModifier;
  if (state & ControlMask) modifiers |= kControlModifier;
  return modifiers;
}

}  // namespace

bool keyCodeOf(KeySym keysym, unsigned int state, KeyCode& key) {
  key = KeyCode{};
  key.modifiers = modifiersOf(state);
  for (const NamedKey& named : kNamedKeys) {
    if (named.keysym != keysym) continue;
    key.virtualKey = static_cast<unsigned char>(named.key);
    key.character = named.character;
    return true;
  }
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
    key.virtualKey = static_cast<unsigned char>(static_cast<unsigned>(VirtualKey::numpad0) + (keysym - XK_KP_0));
    key.character = static_cast<VstInt32>('0' + (keysym - XK_KP_0));
    return true;
  }
  if (keysym >= XK_F1 && keysym <= XK_F12) {
    key.virtualKey = static_cast<unsigned char>(static_cast<unsigned>(VirtualKey::f1) + (keysym - XK_F1));
    return true;
  }
  // Latin-1 keysyms are their characters; the others of Unicode carry the code point.
  if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
    key.character = static_cast<VstInt32>(keysym);
    return true;
  }
  if (keysym >= 0x01000100 && keysym <= 0x0110ffff) {
    key.character = static_cast<VstInt32>(keysym - 0x01000000);
    return true;
  }
  return false;
}

}  // namespace brume::x11
