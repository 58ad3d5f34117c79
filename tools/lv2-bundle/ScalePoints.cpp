#include "tools/lv2-bundle/ScalePoints.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/ParameterIndex.h"
#include "instrument/ParameterCatalogue.h"

namespace brume::lv2 {
namespace {

constexpr int kShapeCount = 14;
constexpr int kLongestDecimal = 4;  // digits after the point tried for a scale point

// What the instrument shows for `value` of parameter `index`, with every other parameter at its default.
std::string shownText(std::int32_t index, float value) {
  ParameterValues current;
  for (std::int32_t i = 0; i < kParameterCount; ++i) current.set(i, ParameterLayout[i].defaultValue);
  current.set(index, value);
  char text[kParameterTextCapacity] = {};
  formatParameterValue(index, value, current, text);
  return text;
}

// Among the decimals with the fewest digits that show `label`, the middle one.
std::string decimalShowing(std::int32_t index, const std::string& label) {
  for (int digits = 0; digits <= kLongestDecimal; ++digits) {
    const int steps = static_cast<int>(std::lround(std::pow(10.0, digits)));
    std::vector<int> showing;
    for (int step = 0; step <= steps; ++step) {
      const float value = std::strtof(shortestDecimal(static_cast<float>(step) / steps).c_str(), nullptr);
      if (shownText(index, value) == label) showing.push_back(step);
    }
    if (!showing.empty()) return shortestDecimal(static_cast<float>(showing[showing.size() / 2]) / steps);
  }
  return {};
}

}  // namespace

std::string shortestDecimal(float value) {
  char text[32];
  for (int precision = 1; precision <= 9; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

PortKind portKind(std::int32_t index) {
  if (index == kO1Shape || index == kO2Shape || index == kO3Shape) return PortKind::enumeration;
  if (isParameterIndex(index) && ParameterLayout[index].controlKind == kSwitchControl) return PortKind::toggled;
  return PortKind::continuous;
}

std::vector<ScalePoint> scalePoints(std::int32_t index) {
  std::vector<ScalePoint> points;
  switch (portKind(index)) {
    case PortKind::toggled: {
      // The oscillators' ring switches show no text of their own: they are named as the editor draws them.
      const char* const fallback[] = {"Off", "On"};
      for (int state = 0; state < 2; ++state) {
        const std::string shown = shownText(index, static_cast<float>(state));
        points.push_back(ScalePoint{shown.empty() ? fallback[state] : shown, state == 0 ? "0" : "1"});
      }
      break;
    }
    case PortKind::enumeration:
      for (int shape = 0; shape < kShapeCount; ++shape)
        points.push_back(ScalePoint{waveShapeNames[shape], decimalShowing(index, waveShapeNames[shape])});
      break;
    case PortKind::continuous:
      break;
  }
  return points;
}

}  // namespace brume::lv2
