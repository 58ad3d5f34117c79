// The committed editor bitmaps: sizes and format, the key colour around knobs and
// switches, the knob pointer's travel, the meter's images, and plain ground under
// the editor's captions and value texts.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "BmpFile.h"
#include "BuildPaths.h"

namespace brume::bitmaps::testing {
namespace {

const std::string kBitmapDir = BRUME7_BITMAP_DIR;

constexpr int kKnobSize = 32;
constexpr int kKnobImages = 56;
constexpr int kLastKnobStep = 54;
constexpr int kSwitchWidth = 36;
constexpr int kSwitchHeight = 24;
constexpr int kMeterSize = 50;
constexpr int kMeterImages = 17;

BmpFile load(const std::string& name) {
  std::string error;
  BmpFile image = readBmpFile(kBitmapDir + "/" + name, error);
  EXPECT_EQ(error, "");
  return image;
}

// Number of pixels that differ between two equally sized blocks of images.
int differingPixels(const BmpFile& a, int aTop, const BmpFile& b, int bTop, int width, int height) {
  int count = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (a.at(x, aTop + y) != b.at(x, bTop + y)) ++count;
  return count;
}

std::string describe(Rgb pixel) {
  return "(" + std::to_string(pixel.red) + ", " + std::to_string(pixel.green) + ", " + std::to_string(pixel.blue) + ")";
}

// First pixel near yellow, as "x, y = (r, g, b)", or empty.
std::string firstNearYellow(const BmpFile& image) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if (isNearYellow(image.at(x, y)))
        return std::to_string(x) + ", " + std::to_string(y) + " = " + describe(image.at(x, y));
  return "";
}

// First non-yellow pixel in the rows top..bottom-1 of the image whose top row is imageTop.
std::string firstOpaqueInRows(const BmpFile& image, int imageTop, int top, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width; ++x)
      if (image.at(x, imageTop + y) != kYellow)
        return "row " + std::to_string(y) + ", column " + std::to_string(x) + " = " +
               describe(image.at(x, imageTop + y));
  return "";
}

TEST(BitmapFiles, AreUncompressed24BitBottomUpOfTheirExactSizes) {
  const struct {
    const char* name;
    int width;
    int height;
  } files[] = {
      {"101_background.bmp", 650, 200}, {"104_knob.bmp", 32, 1792}, {"105_knob.bmp", 32, 1792},
      {"106_knob.bmp", 32, 1792},       {"107_knob.bmp", 32, 1792}, {"109_switch.bmp", 36, 48},
      {"110_voice_meter.bmp", 50, 850},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    const BmpFile image = load(file.name);
    EXPECT_EQ(image.width, file.width);
    EXPECT_EQ(image.height, file.height);
  }
}

class KnobStrip : public ::testing::TestWithParam<const char*> {
 protected:
  BmpFile strip = load(GetParam());

  // Where the light pointer crosses the dark skirt, in degrees (0 right, 90 up).
  double pointerAngle(int imageIndex) const {
    double sumX = 0.0, sumY = 0.0;
    int count = 0;
    for (int y = 0; y < kKnobSize; ++y)
      for (int x = 0; x < kKnobSize; ++x) {
        const double dx = x + 0.5 - 16.0, dy = y + 0.5 - 16.0;
        const double r = std::hypot(dx, dy);
        const Rgb pixel = strip.at(x, imageIndex * kKnobSize + y);
        if (r > 7.6 && r < 9.6 && pixel != kYellow && pixel.red > 180 && pixel.green > 180 && pixel.blue > 180) {
          sumX += dx;
          sumY += dy;
          ++count;
        }
      }
    if (count == 0) return 1000.0;
    return std::atan2(-sumY, sumX) * 180.0 / 3.14159265358979323846;
  }
};

TEST_P(KnobStrip, EveryImageHasYellowCorners) {
  ASSERT_EQ(strip.height, kKnobSize * kKnobImages);
  for (int image = 0; image < kKnobImages; ++image) {
    const int top = image * kKnobSize;
    EXPECT_EQ(strip.at(0, top), kYellow) << "image " << image << " top left";
    EXPECT_EQ(strip.at(kKnobSize - 1, top), kYellow) << "image " << image << " top right";
    EXPECT_EQ(strip.at(0, top + kKnobSize - 1), kYellow) << "image " << image << " bottom left";
    EXPECT_EQ(strip.at(kKnobSize - 1, top + kKnobSize - 1), kYellow) << "image " << image << " bottom right";
  }
}

TEST_P(KnobStrip, NoPixelIsNearYellow) { EXPECT_EQ(firstNearYellow(strip), ""); }

// Captions cover a knob's top six rows and value texts its bottom five.
TEST_P(KnobStrip, KnobKeepsClearOfCaptionAndValueTextRows) {
  ASSERT_EQ(strip.height, kKnobSize * kKnobImages);
  for (int image = 0; image < kKnobImages; ++image) {
    EXPECT_EQ(firstOpaqueInRows(strip, image * kKnobSize, 0, 6), "") << "image " << image;
    EXPECT_EQ(firstOpaqueInRows(strip, image * kKnobSize, 27, 32), "") << "image " << image;
  }
}

TEST_P(KnobStrip, ConsecutiveImagesDifferUpToTheMaximumWhichTheLastRepeats) {
  ASSERT_EQ(strip.height, kKnobSize * kKnobImages);
  for (int image = 1; image <= kLastKnobStep; ++image)
    EXPECT_GT(differingPixels(strip, (image - 1) * kKnobSize, strip, image * kKnobSize, kKnobSize, kKnobSize), 0)
        << "images " << image - 1 << " and " << image << " are the same";
  EXPECT_GT(differingPixels(strip, 0, strip, kLastKnobStep * kKnobSize, kKnobSize, kKnobSize), 0);
  EXPECT_EQ(differingPixels(strip, 54 * kKnobSize, strip, 55 * kKnobSize, kKnobSize, kKnobSize), 0)
      << "image 55 must repeat image 54";
}

// Image i shows value i / 54 on a 270 degree sweep from 225 degrees clockwise:
// 1/6 points left, 1/2 straight up, 5/6 right.
TEST_P(KnobStrip, PointerTurnsClockwiseFromLowerLeftToLowerRight) {
  ASSERT_EQ(strip.height, kKnobSize * kKnobImages);
  const struct {
    int image;
    double degrees;
  } expected[] = {{0, -135.0}, {9, 180.0}, {27, 90.0}, {45, 0.0}, {54, -45.0}, {55, -45.0}};
  for (const auto& point : expected) {
    double error = std::fmod(std::abs(pointerAngle(point.image) - point.degrees), 360.0);
    if (error > 180.0) error = 360.0 - error;
    EXPECT_LT(error, 6.0) << "image " << point.image << " points at " << pointerAngle(point.image)
                          << " degrees, expected " << point.degrees;
  }
}

INSTANTIATE_TEST_SUITE_P(EditorKnobs, KnobStrip,
                         ::testing::Values("104_knob.bmp", "105_knob.bmp", "106_knob.bmp", "107_knob.bmp"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return "Bitmap" + std::string(info.param).substr(0, 3);
                         });

TEST(KnobStrips, StylesAreVisiblyDifferent) {
  const char* names[] = {"104_knob.bmp", "105_knob.bmp", "106_knob.bmp", "107_knob.bmp"};
  std::vector<BmpFile> strips;
  for (const char* name : names) strips.push_back(load(name));
  for (std::size_t a = 0; a < strips.size(); ++a)
    for (std::size_t b = a + 1; b < strips.size(); ++b) {
      int clearlyDifferent = 0;
      for (int y = 0; y < kKnobSize; ++y)
        for (int x = 0; x < kKnobSize; ++x) {
          const Rgb p = strips[a].at(x, y), q = strips[b].at(x, y);
          if (std::abs(p.red - q.red) + std::abs(p.green - q.green) + std::abs(p.blue - q.blue) > 60)
            ++clearlyDifferent;
        }
      EXPECT_GE(clearlyDifferent, 60) << names[a] << " and " << names[b] << " look alike";
    }
}

TEST(SwitchBitmap, OffAndOnHalvesHaveYellowCornersAndDiffer) {
  const BmpFile image = load("109_switch.bmp");
  ASSERT_EQ(image.width, kSwitchWidth);
  ASSERT_EQ(image.height, 2 * kSwitchHeight);
  for (const int top : {0, kSwitchHeight}) {
    EXPECT_EQ(image.at(0, top), kYellow) << "half at " << top;
    EXPECT_EQ(image.at(kSwitchWidth - 1, top), kYellow) << "half at " << top;
    EXPECT_EQ(image.at(0, top + kSwitchHeight - 1), kYellow) << "half at " << top;
    EXPECT_EQ(image.at(kSwitchWidth - 1, top + kSwitchHeight - 1), kYellow) << "half at " << top;
  }
  EXPECT_GT(differingPixels(image, 0, image, kSwitchHeight, kSwitchWidth, kSwitchHeight), 50);
}

TEST(SwitchBitmap, NoPixelIsNearYellow) { EXPECT_EQ(firstNearYellow(load("109_switch.bmp")), ""); }

// A caption covers a switch's top two rows; the oscillators' level knobs reach
// into the bottom two rows of the switch above them.
TEST(SwitchBitmap, ToggleKeepsClearOfCaptionAndKnobBelow) {
  const BmpFile image = load("109_switch.bmp");
  ASSERT_EQ(image.height, 2 * kSwitchHeight);
  for (const int top : {0, kSwitchHeight}) {
    EXPECT_EQ(firstOpaqueInRows(image, top, 0, 2), "") << "half at " << top;
    EXPECT_EQ(firstOpaqueInRows(image, top, 22, 24), "") << "half at " << top;
  }
}

TEST(VoiceMeter, HasSeventeenDistinctOpaqueImages) {
  const BmpFile meter = load("110_voice_meter.bmp");
  ASSERT_EQ(meter.height, kMeterSize * kMeterImages);
  for (int a = 0; a < kMeterImages; ++a)
    for (int b = a + 1; b < kMeterImages; ++b)
      EXPECT_GT(differingPixels(meter, a * kMeterSize, meter, b * kMeterSize, kMeterSize, kMeterSize), 0)
          << "images " << a << " and " << b << " are the same";
  for (const Rgb pixel : meter.pixels) {
    ASSERT_NE(pixel, kYellow) << "the meter is drawn opaque and must not rely on the key colour";
  }
}

// Lit lamps are the only warm pixels; each further voice lights more of them.
TEST(VoiceMeter, EachFurtherVoiceLightsMore) {
  const BmpFile meter = load("110_voice_meter.bmp");
  ASSERT_EQ(meter.height, kMeterSize * kMeterImages);
  int previous = -1;
  for (int image = 0; image < kMeterImages; ++image) {
    int warm = 0;
    for (int y = 0; y < kMeterSize; ++y)
      for (int x = 0; x < kMeterSize; ++x) {
        const Rgb p = meter.at(x, image * kMeterSize + y);
        if (p.red > p.green + 40 && p.red > p.blue + 100) ++warm;
      }
    if (image == 0) {
      EXPECT_EQ(warm, 0) << "no voice, no lit lamp";
    } else {
      EXPECT_GT(warm, previous) << "image " << image << " lights no more than image " << image - 1;
    }
    previous = warm;
  }
}

// The meter is drawn over the background at (150, 0); the background already
// shows its empty image there, so nothing jumps when the editor opens.
TEST(Background, ShowsTheEmptyVoiceMeterWhereTheMeterGoes) {
  const BmpFile background = load("101_background.bmp");
  const BmpFile meter = load("110_voice_meter.bmp");
  ASSERT_EQ(background.width, 650);
  ASSERT_EQ(meter.height, kMeterSize * kMeterImages);
  for (int y = 0; y < kMeterSize; ++y)
    for (int x = 0; x < kMeterSize; ++x)
      ASSERT_EQ(background.at(150 + x, y), meter.at(x, y)) << "at meter pixel " << x << ", " << y;
}

// Centre and text flags of the editor's 54 controls: caption above, value text below.
struct EditorControl {
  int x;
  int y;
  bool caption;
  bool valueText;
};

constexpr EditorControl kControls[54] = {
    {25, 25, true, false},    {75, 25, true, false},   {125, 25, true, true},   {25, 64, false, false},
    {25, 84, false, false},   {75, 74, false, true},   {125, 74, true, true},   {175, 74, true, true},
    {25, 114, false, false},  {25, 134, false, false}, {75, 124, false, true},  {125, 124, true, true},
    {175, 124, true, true},   {25, 164, false, false}, {25, 184, false, false}, {75, 174, false, true},
    {125, 174, true, true},   {175, 174, true, true},  {425, 25, true, false},  {460, 25, true, false},
    {495, 25, true, false},   {530, 25, true, false},  {425, 74, true, false},  {475, 74, false, true},
    {525, 74, false, true},   {575, 74, false, true},  {625, 74, false, true},  {425, 124, true, false},
    {475, 124, false, true},  {525, 124, false, true}, {575, 124, false, true}, {625, 124, false, true},
    {225, 26, true, true},    {275, 26, false, true},  {325, 26, false, true},  {375, 26, false, true},
    {225, 76, true, true},    {275, 76, false, true},  {325, 76, false, true},  {375, 76, false, true},
    {225, 126, true, true},   {275, 126, false, true}, {325, 126, false, true}, {375, 126, false, true},
    {225, 176, true, true},   {275, 176, false, true}, {325, 176, false, true}, {375, 176, false, true},
    {425, 174, true, false},  {475, 174, true, false}, {525, 174, true, false}, {575, 175, true, false},
    {625, 175, false, false}, {575, 25, true, false},
};

// Black captions and red value texts need light, even ground: every pixel of the
// rectangle light, and none far from the rectangle's average colour.
std::string checkTextGround(const BmpFile& background, int left, int top, int right, int bottom) {
  double sumRed = 0.0, sumGreen = 0.0, sumBlue = 0.0;
  const int count = (right - left) * (bottom - top);
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const Rgb p = background.at(x, y);
      sumRed += p.red;
      sumGreen += p.green;
      sumBlue += p.blue;
    }
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const Rgb p = background.at(x, y);
      const double luminance = 0.299 * p.red + 0.587 * p.green + 0.114 * p.blue;
      if (luminance < 170.0) return "too dark at " + std::to_string(x) + ", " + std::to_string(y) + ": " + describe(p);
      if (std::abs(p.red - sumRed / count) > 8.0 || std::abs(p.green - sumGreen / count) > 8.0 ||
          std::abs(p.blue - sumBlue / count) > 8.0)
        return "uneven at " + std::to_string(x) + ", " + std::to_string(y) + ": " + describe(p);
    }
  return "";
}

TEST(Background, CaptionAndValueTextRectanglesAreLightAndPlain) {
  const BmpFile background = load("101_background.bmp");
  ASSERT_EQ(background.width, 650);
  ASSERT_EQ(background.height, 200);
  for (int index = 0; index < 54; ++index) {
    const EditorControl& control = kControls[index];
    if (control.caption) {
      EXPECT_EQ(checkTextGround(background, control.x - 21, control.y - 20, control.x + 21, control.y - 10), "")
          << "caption of parameter " << index;
    }
    if (control.valueText) {
      EXPECT_EQ(checkTextGround(background, control.x - 21, control.y + 11, control.x + 21, control.y + 20), "")
          << "value text of parameter " << index;
    }
  }
}

// Knobs and switches are anti-aliased against one face colour, so everything
// under their opaque pixels must be that one colour, for every control alike.
TEST(Background, EveryControlSitsOnTheSamePlainFace) {
  const BmpFile background = load("101_background.bmp");
  const BmpFile switches = load("109_switch.bmp");
  std::vector<BmpFile> knobs;
  for (const char* name : {"104_knob.bmp", "105_knob.bmp", "106_knob.bmp", "107_knob.bmp"}) knobs.push_back(load(name));
  ASSERT_EQ(background.width, 650);
  ASSERT_EQ(switches.height, 2 * kSwitchHeight);
  for (const BmpFile& knob : knobs) ASSERT_EQ(knob.height, kKnobSize * kKnobImages);

  const Rgb face = background.at(kControls[0].x, kControls[0].y);
  for (int index = 0; index < 54; ++index) {
    const EditorControl& control = kControls[index];
    const bool isSwitch =
        index == 3 || index == 8 || index == 13 || index == 22 || index == 27 || index == 48 || index == 51;
    const int width = isSwitch ? kSwitchWidth : kKnobSize;
    const int height = isSwitch ? kSwitchHeight : kKnobSize;
    const int left = control.x - width / 2;
    const int top = control.y - height / 2;
    std::string firstProblem;
    for (int y = 0; y < height && firstProblem.empty(); ++y)
      for (int x = 0; x < width && firstProblem.empty(); ++x) {
        bool opaque = false;
        if (isSwitch) {
          opaque = switches.at(x, y) != kYellow || switches.at(x, kSwitchHeight + y) != kYellow;
        } else {
          for (const BmpFile& knob : knobs)
            for (int image = 0; image < kKnobImages; ++image)
              opaque = opaque || knob.at(x, image * kKnobSize + y) != kYellow;
        }
        if (opaque && background.at(left + x, top + y) != face)
          firstProblem = std::to_string(left + x) + ", " + std::to_string(top + y) + " is " +
                         describe(background.at(left + x, top + y)) + ", the face is " + describe(face);
      }
    EXPECT_EQ(firstProblem, "") << "under the control of parameter " << index;
  }
}

}  // namespace
}  // namespace brume::bitmaps::testing
