// Number-to-text tools for hosts' 8-character parameter displays. Digits are
// cut, never rounded, and the width never exceeds 8 characters.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/EffectBase.h"

namespace brume {
namespace {

constexpr const char* kHugeText = " Huge!  ";
constexpr int kTextWidth = 8;

char digitOf(double x) {
  const double d = std::trunc(std::fmod(x, 10.0));
  if (!(d >= 0.0 && d <= 9.0)) return '0';
  return static_cast<char>('0' + static_cast<int>(d));
}

}  // namespace

void EffectBase::decibelsToText(float value, char* text) {
  if (value <= 0.0f) {
    std::strcpy(text, "  -oo   ");
    return;
  }
  floatToText(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
}

void EffectBase::hertzToText(float samples, char* text) {
  const float rate = sampleRateValue();
  if (samples == 0.0f)
    floatToText(0.0f, text);
  else
    floatToText(static_cast<float>(static_cast<double>(rate) / static_cast<double>(samples)), text);
}

void EffectBase::millisecondsToText(float samples, char* text) {
  const float rate = sampleRateValue();
  floatToText(static_cast<float>(static_cast<double>(samples) * 1000.0 / static_cast<double>(rate)), text);
}

void EffectBase::floatToText(float value, char* text) {
  double v = value;
  bool negative = false;
  int count = 0;
  if (v < 0.0) {
    negative = true;
    v = -v;
    count = 1;
    if (v > 9999999.0) {
      std::strcpy(text, kHugeText);
      return;
    }
  } else if (v > 99999999.0 || !(v == v)) {
    std::strcpy(text, kHugeText);
    return;
  }

  // Integer part, right to left in front of the point, in a 32-byte scratch area.
  char scratch[32];
  char* start = scratch + sizeof scratch - 1;
  *start = '\0';
  double n = std::floor(v);
  *--start = '.';
  *--start = digitOf(n);
  count += 2;
  n *= 0.1;
  while (n >= 1.0 && count < kTextWidth) {
    *--start = digitOf(n);
    ++count;
    n *= 0.1;
  }
  if (negative) *--start = '-';
  std::strcpy(text, start);
  if (count == kTextWidth) return;

  // Fraction digits fill the rest of the width.
  const int fractionDigits = kTextWidth - count;
  double m = std::fmod(v, 1.0) * std::pow(10.0, fractionDigits);
  char fraction[kTextWidth + 1];
  fraction[fractionDigits] = '\0';
  for (int i = fractionDigits - 1; i >= 0; --i) {
    if (m <= 0.0) {
      fraction[i] = '0';
    } else {
      fraction[i] = digitOf(m);
      m *= 0.1;
    }
  }
  std::strcat(text, fraction);
}

void EffectBase::integerToText(VstInt32 value, char* text) {
  if (value >= 100000000) {
    std::strcpy(text, kHugeText);
    return;
  }
  char scratch[32];
  std::snprintf(scratch, sizeof scratch, "%7d", static_cast<int>(value));
  scratch[kTextWidth] = '\0';
  std::strcpy(text, scratch);
}

}  // namespace brume
