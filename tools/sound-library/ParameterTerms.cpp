#include "tools/sound-library/ParameterTerms.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "instrument/ParameterCatalogue.h"

namespace brume::sounds {
namespace {

// Steps of the scan over 0 to 1 for texts that are names: the narrowest
// run of values sharing a name (a note, 1/128) still spans 32 steps.
constexpr int kScanSteps = 4096;

bool readNumber(const std::string& text, double& number) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  char* end = nullptr;
  number = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isfinite(number);
}

float floatFromBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint32_t bitsFromFloat(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string parameterName(std::int32_t index) {
  char name[kParameterTextCapacity] = {};
  copyParameterNameText(index, name);
  return name;
}

struct Context {
  std::int32_t index;
  const ParameterValues& current;
  std::string text(float value) const { return valueText(index, value, current); }
};

// The edge of a run between `inside` (shows the term) and `outside` (does not):
// the last float toward `outside` that still shows it.
float runEdge(const Context& context, const std::string& term, float inside, float outside) {
  const bool up = outside > inside;
  std::uint32_t in = bitsFromFloat(inside), out = bitsFromFloat(outside);
  while (up ? out - in > 1 : in - out > 1) {
    const std::uint32_t middle = up ? in + (out - in) / 2 : out + (in - out) / 2;
    if (context.text(floatFromBits(middle)) == term)
      in = middle;
    else
      out = middle;
  }
  return floatFromBits(in);
}

// Among the values in [low, high] that show `term`, the middle of the first
// run (its edges found exactly), or an end of 0 to 1 that the run reaches;
// false if none does.
bool middleOfRun(const Context& context, const std::string& term, double low, double high, int steps, float& value) {
  auto at = [&](int step) { return static_cast<float>(low + (high - low) * step / steps); };
  int first = -1;
  int last = -1;
  for (int step = 0; step <= steps; ++step) {
    if (context.text(at(step)) == term) {
      if (first < 0) first = step;
      last = step;
    } else if (first >= 0) {
      break;
    }
  }
  if (first < 0) return false;
  const float start = first == 0 ? at(0) : runEdge(context, term, at(first), at(first - 1));
  const float end = last == steps ? at(steps) : runEdge(context, term, at(last), at(last + 1));
  if (start == 0.0f) {
    value = 0.0f;
  } else if (end == 1.0f) {
    value = 1.0f;
  } else {
    value = static_cast<float>((static_cast<double>(start) + end) / 2.0);
  }
  return context.text(value) == term;
}

// The texts a parameter shows, for a refusal: all of them when few, else the two ends.
std::string shownTexts(const Context& context) {
  std::vector<std::string> texts;
  for (int step = 0; step <= kScanSteps; ++step) {
    const std::string text = context.text(static_cast<float>(step) / kScanSteps);
    if (texts.empty() || texts.back() != text) texts.push_back(text);
  }
  std::string list;
  if (texts.size() <= 16) {
    for (const std::string& text : texts) list += (list.empty() ? "" : ", ") + quoted(text);
    return "it shows " + list;
  }
  return "it shows " + quoted(texts.front()) + " to " + quoted(texts.back());
}

// Texts that are numbers grow with the value: two bisections over the floats of
// 0 to 1 (ordered like their bit patterns) find the run that shows `term`.
bool numericValue(const Context& context, const std::string& term, float& value, std::string& reason) {
  double wanted;
  if (!readNumber(term, wanted)) {
    reason = quoted(term) + " is not a number, and " + parameterName(context.index) +
             " shows numbers: " + shownTexts(context);
    return false;
  }
  auto shown = [&](std::uint32_t bits) {
    double number = 0.0;
    readNumber(context.text(floatFromBits(bits)), number);
    return number;
  };
  const std::uint32_t top = bitsFromFloat(1.0f);
  // The first value showing at least the wanted number.
  std::uint32_t low = 0, high = top + 1;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    if (shown(middle) >= wanted)
      high = middle;
    else
      low = middle + 1;
  }
  const std::uint32_t first = low;
  // The first value showing more than it.
  low = 0;
  high = top + 1;
  while (low < high) {
    const std::uint32_t middle = low + (high - low) / 2;
    if (shown(middle) > wanted)
      high = middle;
    else
      low = middle + 1;
  }
  const std::uint32_t end = low;
  if (first >= end) {
    std::string neighbours;
    if (first > 0) neighbours += quoted(context.text(floatFromBits(first - 1)));
    if (first <= top) neighbours += (neighbours.empty() ? "" : " and ") + quoted(context.text(floatFromBits(first)));
    reason = quoted(term) + " is not a value " + parameterName(context.index) + " shows; the nearest are " + neighbours;
    return false;
  }
  const double from = floatFromBits(first);
  const double to = floatFromBits(end - 1);
  value = from == 0.0 ? 0.0f : to == 1.0 ? 1.0f : static_cast<float>((from + to) / 2.0);
  if (context.text(value) == term) return true;
  // "-0.00" and "+0.00" are one number: the run of the exact text lies inside.
  if (middleOfRun(context, term, from, to, 1024, value)) return true;
  reason = quoted(term) + " is not exactly a text " + parameterName(context.index) + " shows (" +
           quoted(context.text(static_cast<float>((from + to) / 2))) + " is)";
  return false;
}

}  // namespace

std::string valueText(std::int32_t index, float value, const ParameterValues& current) {
  char text[kParameterTextCapacity] = {};
  formatParameterValue(index, value, current, text);
  return text;
}

bool valueFromTerm(std::int32_t index, const std::string& term, const ParameterValues& current, float& value,
                   std::string& reason) {
  if (index < 0 || index >= kParameterCount) {
    reason = "no parameter " + std::to_string(index);
    return false;
  }
  const Context context{index, current};
  const std::string name = parameterName(index);
  if (term.empty()) {
    reason = name + " has no value";
    return false;
  }
  if (term[0] == '=') {
    double number;
    if (!readNumber(term.substr(1), number) || number < 0.0 || number > 1.0) {
      reason = quoted(term) + ": a plain value is a number from 0 to 1 after '='";
      return false;
    }
    value = static_cast<float>(number);
    const std::string text = context.text(value);
    if (!text.empty()) {
      reason = name + " shows " + quoted(text) + " for " + term.substr(1) + ": write that instead";
      return false;
    }
    return true;
  }
  const float defaultValue = ParameterLayout[index].defaultValue;
  if (context.text(defaultValue) == term) {
    value = defaultValue;
    return true;
  }
  double number;
  if (readNumber(term, number) && number >= 0.0 && number <= 1.0 && context.text(static_cast<float>(number)) == term) {
    value = static_cast<float>(number);
    return true;
  }
  if (context.text(0.0f).empty() && context.text(1.0f).empty()) {
    reason = name + " shows no text here (its modulator has no target): write a plain value as =0.25";
    return false;
  }
  double probe;
  const bool numeric = readNumber(context.text(0.0f), probe) && readNumber(context.text(0.5f), probe) &&
                       readNumber(context.text(1.0f), probe);
  if (numeric) return numericValue(context, term, value, reason);
  if (middleOfRun(context, term, 0.0, 1.0, kScanSteps, value)) return true;
  reason = quoted(term) + " is not a value " + name + " shows; " + shownTexts(context);
  return false;
}

}  // namespace brume::sounds
