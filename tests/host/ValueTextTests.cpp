#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "host/EffectBaseEx.h"

namespace brume {
namespace {

class PlainEffect : public EffectBaseEx {
 public:
  PlainEffect() : EffectBaseEx(nullptr, 1, 1) {}
  void process(float**, float**, VstInt32) override {}
  void setRate(float rate) { changeSampleRate(rate); }
};

struct Texts {
  PlainEffect effect;
  char buffer[32];

  std::string floatText(float value) {
    fill();
    effect.floatToText(value, buffer);
    return buffer;
  }
  std::string integerText(VstInt32 value) {
    fill();
    effect.integerToText(value, buffer);
    return buffer;
  }
  std::string decibels(float value) {
    fill();
    effect.decibelsToText(value, buffer);
    return buffer;
  }
  std::string hertz(float samples) {
    fill();
    effect.hertzToText(samples, buffer);
    return buffer;
  }
  std::string milliseconds(float samples) {
    fill();
    effect.millisecondsToText(samples, buffer);
    return buffer;
  }
  void fill() { std::memset(buffer, '#', sizeof buffer); }
};

TEST(FloatToText, FillsEightCharactersCuttingNotRounding) {
  Texts t;
  EXPECT_EQ(t.floatText(0.0f), "0.000000");
  EXPECT_EQ(t.floatText(1.5f), "1.500000");
  EXPECT_EQ(t.floatText(-1.5f), "-1.50000");
  EXPECT_EQ(t.floatText(123.25f), "123.2500");
  EXPECT_EQ(t.floatText(0.9f), "0.899999");
  EXPECT_EQ(t.floatText(-0.0f), "0.000000");
}

TEST(FloatToText, LargeValuesLoseLeadingDigitsOrBecomeHuge) {
  Texts t;
  EXPECT_EQ(t.floatText(12345678.0f), "2345678.");
  EXPECT_EQ(t.floatText(99999999.0f), " Huge!  ");  // the nearest float is 100000000
  EXPECT_EQ(t.floatText(-9999999.0f), "-999999.");
  EXPECT_EQ(t.floatText(-10000000.0f), " Huge!  ");
  EXPECT_EQ(t.floatText(-1234567.0f), "-234567.");
}

TEST(FloatToText, NotANumberIsNotWrittenAsDigits) {
  Texts t;
  EXPECT_EQ(t.floatText(std::nanf("")), " Huge!  ");
}

TEST(IntegerToText, RightAlignsInSevenColumns) {
  Texts t;
  EXPECT_EQ(t.integerText(5), "      5");
  EXPECT_EQ(t.integerText(-5), "     -5");
  EXPECT_EQ(t.integerText(99999999), "99999999");
  EXPECT_EQ(t.integerText(100000000), " Huge!  ");
  EXPECT_EQ(t.integerText(-12345678), "-1234567");
}

TEST(DecibelsToText, ConvertsGainAndShowsMinusInfinityForSilence) {
  Texts t;
  EXPECT_EQ(t.decibels(1.0f), "0.000000");
  EXPECT_EQ(t.decibels(0.5f), "-6.02059");
  EXPECT_EQ(t.decibels(0.0f), "  -oo   ");
  EXPECT_EQ(t.decibels(-1.0f), "  -oo   ");
}

TEST(PeriodTexts, UseTheSampleRate) {
  Texts t;
  t.effect.setRate(44100.0f);
  EXPECT_EQ(t.hertz(100.0f), "441.0000");
  EXPECT_EQ(t.hertz(0.0f), "0.000000");
  EXPECT_EQ(t.milliseconds(441.0f), "10.00000");
}

}  // namespace
}  // namespace brume
