#pragma once
// Where the editor puts its controls, captions and value texts, so that the
// panel can be painted around them. Mirrors the instrument's parameter layout
// (centre, caption, value-text flag, control kind of each of the 54 parameters).

#include <array>

#include "Raster.h"

namespace brume::bitmaps {

constexpr int kEditorWidth = 650;
constexpr int kEditorHeight = 200;
constexpr int kKnobSize = 32;
constexpr int kKnobImages = 56;
constexpr int kSwitchWidth = 36;
constexpr int kSwitchHeight = 24;
constexpr int kMeterSize = 50;
constexpr int kMeterImages = 17;
constexpr PixelRect kVoiceMeterRect{150, 0, 200, 50};

// Strips 104 to 107 are kinds 0 to 3; kind 4 is the two-state switch.
constexpr int kSwitchKind = 4;

struct PanelControl {
  int x = 0;
  int y = 0;
  int kind = 0;
  bool hasCaption = false;
  bool hasValueText = false;
  const char* caption = "";
  float defaultValue = 0.0f;
  const char* sampleText = "";  // a typical value text, for previews
};

extern const std::array<PanelControl, 54> kPanelControls;

inline PixelRect captionRect(const PanelControl& control) {
  return {control.x - 21, control.y - 20, control.x + 21, control.y - 10};
}
inline PixelRect valueTextRect(const PanelControl& control) {
  return {control.x - 21, control.y + 11, control.x + 21, control.y + 20};
}
inline PixelRect controlRect(const PanelControl& control) {
  if (control.kind == kSwitchKind) return {control.x - 18, control.y - 12, control.x + 18, control.y + 12};
  return {control.x - 16, control.y - 16, control.x + 16, control.y + 16};
}

}  // namespace brume::bitmaps
