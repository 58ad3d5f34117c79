#pragma once
// Bits of the asynchronous mouse-button and modifier state.

#include <cstdint>

namespace brume {

constexpr std::int32_t kLeftButton = 1;
constexpr std::int32_t kMiddleButton = 2;
constexpr std::int32_t kRightButton = 4;
constexpr std::int32_t kShiftKey = 8;
constexpr std::int32_t kControlKey = 16;
constexpr std::int32_t kAltKey = 32;

}  // namespace brume
