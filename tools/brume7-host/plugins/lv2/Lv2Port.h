#pragma once
// What the tool knows of an LV2 plug-in's port, read once from its
// description, and the display text of a control port's value.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace brume {

struct Lv2Port {
  enum class Kind { Audio, Control, Atom, Cv, Other };

  std::uint32_t index = 0;
  Kind kind = Kind::Other;
  bool input = true;
  bool optional = false;  // lv2:connectionOptional
  std::string symbol;
  std::string name;

  // Control ports: the range (the whole float range where the port gives none) and default.
  float minimum = 0.0f;
  float maximum = 1.0f;
  float defaultValue = 0.0f;
  bool integer = false;
  bool toggled = false;
  bool enumeration = false;
  std::vector<std::pair<float, std::string>> scalePoints;
  std::string unitSymbol;  // "dB", "%", "Hz"..., empty without units:unit

  // Atom ports.
  bool supportsMidi = false;
  bool supportsPosition = false;
  std::uint32_t minimumSize = 0;  // rsz:minimumSize, 0 when not given

  // The scale point's label when `value` is one, else the number with up to
  // four significant digits (whole for integer ports) and the unit's symbol.
  std::string displayText(float value) const;
  // "control in", "audio out", "atom in"...
  std::string kindText() const;
};

// The symbol of a unit of the LV2 units vocabulary ("db" gives "dB", "pc" "%"), or "".
std::string unitSymbolOf(const std::string& unitUri);

}  // namespace brume
