#include "tools/brume7-host/plugins/lv2/Lv2Port.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace brume {
namespace {

struct UnitSymbol {
  const char* name;  // after "http://lv2plug.in/ns/extensions/units#"
  const char* symbol;
};

// The units vocabulary's symbols, for bundles loaded without the vocabulary itself.
const UnitSymbol kUnitSymbols[] = {
    {"bar", "bars"},     {"beat", "beats"}, {"bpm", "BPM"}, {"cent", "ct"},
    {"cm", "cm"},        {"coef", ""},      {"db", "dB"},   {"degree", "deg"},
    {"frame", "frames"}, {"hz", "Hz"},      {"inch", "in"}, {"khz", "kHz"},
    {"km", "km"},        {"m", "m"},        {"mhz", "MHz"}, {"midiNote", ""},
    {"mile", "mi"},      {"min", "min"},    {"mm", "mm"},   {"ms", "ms"},
    {"oct", "oct"},      {"pc", "%"},       {"s", "s"},     {"semitone12TET", "semi"},
};

constexpr const char* kUnitsPrefix = "http://lv2plug.in/ns/extensions/units#";

std::string numberText(float value, bool integer) {
  char text[64];
  if (integer) {
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
    return text;
  }
  const double magnitude = std::fabs(static_cast<double>(value));
  int decimals = 0;
  if (magnitude > 0.0) decimals = 3 - static_cast<int>(std::floor(std::log10(magnitude)));
  decimals = decimals < 0 ? 0 : decimals > 6 ? 6 : decimals;
  std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
  std::string result = text;
  if (result.find('.') != std::string::npos) {
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
  }
  return result == "-0" ? "0" : result;
}

}  // namespace

std::string Lv2Port::displayText(float value) const {
  for (const auto& [point, label] : scalePoints) {
    if (point == value) return label;
  }
  const std::string number = numberText(value, integer);
  return unitSymbol.empty() ? number : number + " " + unitSymbol;
}

std::string Lv2Port::kindText() const {
  const char* kinds[] = {"audio", "control", "atom", "cv", "other"};
  return std::string(kinds[static_cast<int>(kind)]) + (input ? " in" : " out");
}

std::string unitSymbolOf(const std::string& unitUri) {
  const std::size_t prefixLength = std::strlen(kUnitsPrefix);
  if (unitUri.compare(0, prefixLength, kUnitsPrefix) != 0) return "";
  const std::string name = unitUri.substr(prefixLength);
  for (const UnitSymbol& unit : kUnitSymbols) {
    if (name == unit.name) return unit.symbol;
  }
  return "";
}

}  // namespace brume
