#pragma once
// The desktop's settings as published through XSETTINGS (the owner of the
// selection _XSETTINGS_S<screen> keeps them in its _XSETTINGS_SETTINGS property).

#include <cstddef>
#include <cstdint>
#include <string>

#include "gui/native/x11/X11Connection.h"

namespace brume::x11 {

// Used when the desktop publishes none.
inline constexpr std::int32_t kDefaultDoubleClickTime = 400;

// The integer setting `name` of an _XSETTINGS_SETTINGS property's bytes;
// false when it is missing, not an integer or the bytes are malformed.
bool integerSetting(const unsigned char* data, std::size_t size, const std::string& name, std::int32_t& value);

// Net/DoubleClickTime of the desktop of `connection`'s first window's screen,
// read once per connection; kDefaultDoubleClickTime when none is published.
std::int32_t desktopDoubleClickTime(Connection* connection);

}  // namespace brume::x11
