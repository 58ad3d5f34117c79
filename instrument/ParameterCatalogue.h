#pragma once
// The 54 parameters: names, value texts, defaults and editor layout.

#include <cstdint>

#include "engine/ParameterIndex.h"
#include "engine/ParameterValues.h"

namespace brume {

// One row of the editor layout: where the parameter's control sits and how it is drawn.
struct ParameterLayoutRow {
  std::int32_t index;
  std::int32_t x;  // centre of the control
  std::int32_t y;
  std::uint8_t hasCaption;     // caption drawn above the control
  std::uint8_t hasValueText;   // value text shown below the control
  const char* caption;         // may stand in the table without being drawn
  std::uint8_t followsTarget;  // range control: shows a value only when its target shows one
  std::int32_t controlKind;    // 0-3: knob strip 104-107; 4: switch
  float defaultValue;
};

constexpr std::int32_t kSwitchControl = 4;

extern const ParameterLayoutRow ParameterLayout[kParameterCount];
extern const char* const parameterNames[kParameterCount];
extern const char* const waveShapeNames[14];
extern const char* const noteNames[12];

// The most any operation below writes, terminating zero included: value
// texts are cut to 15 characters (the longest regular one, "100% right", has 10).
constexpr int kParameterTextCapacity = 16;

// "Nothin'" for indexes outside 0 to 53. Any thread.
void copyParameterNameText(std::int32_t index, char* text);

// Applies the display rule of `index` to `value`; range controls read their
// modulator's aim from `current`. Writes nothing for indexes outside 0 to 53.
// Any thread; reads `current` without locking.
void formatParameterValue(std::int32_t index, float value, const ParameterValues& current, char* text);

}  // namespace brume
