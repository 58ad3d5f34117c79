#pragma once
// X11 key events as the key records hosts hand to the editor through their
// key opcodes: the same virtual keys and modifier bits, so a key typed into
// the editor's own window acts as one a host forwards.

#include <cstdint>

#include "host/KeyCode.h"

#include <X11/X.h>

namespace brume::x11 {

// Virtual keys of the host key records.
enum class VirtualKey : unsigned char {
  none = 0,
  backspace = 1,
  tab = 2,
  clear = 3,
  returnKey = 4,
  pause = 5,
  escape = 6,
  space = 7,
  end = 9,
  home = 10,
  left = 11,
  up = 12,
  right = 13,
  down = 14,
  pageUp = 15,
  pageDown = 16,
  print = 18,
  enter = 19,  // the keypad's
  insert = 21,
  deleteKey = 22,
  help = 23,
  numpad0 = 24,  // to numpad9 = 33
  multiply = 34,
  add = 35,
  separator = 36,
  subtract = 37,
  decimal = 38,
  divide = 39,
  f1 = 40,  // to f12 = 51
  numLock = 52,
  scrollLock = 53,
  shift = 54,
  control = 55,
  alt = 56,
  equals = 57,
};

// Modifier bits of the host key records.
inline constexpr unsigned char kShiftModifier = 1;
inline constexpr unsigned char kAltModifier = 2;
inline constexpr unsigned char kControlModifier = 8;

// The record for `keysym` (as XLookupString gives it, so already shifted)
// with the modifiers of the event's `state`. False for a key that is neither
// a named key nor a character (a dead key, a compose step).
bool keyCodeOf(KeySym keysym, unsigned int state, KeyCode& key);

}  // namespace brume::x11
