#pragma once
// Named values of the switch-like parameters, labelled with the texts the
// instrument itself shows for them: the on/off switches (lv2:toggled) and the
// wave shapes (lv2:enumeration). Each value is one the instrument shows
// exactly that label for.

#include <cstdint>
#include <string>
#include <vector>

namespace brume::lv2 {

enum class PortKind { continuous, toggled, enumeration };

struct ScalePoint {
  std::string label;
  std::string value;  // a Turtle number: the shortest decimal that shows the label
};

PortKind portKind(std::int32_t index);
// Empty for continuous parameters.
std::vector<ScalePoint> scalePoints(std::int32_t index);

// The shortest decimal text that reads back as `value` exactly.
std::string shortestDecimal(float value);

}  // namespace brume::lv2
