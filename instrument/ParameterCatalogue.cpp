#include "instrument/ParameterCatalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/ModulationTargets.h"

namespace brume {
namespace {

constexpr const char* kNoTargetName = "Nothin'";
constexpr int kScratchSize = 64;

enum class DisplayRule {
  Decimal,
  Balance,
  Semitones,
  OscillatorSwitch,
  Fine,
  Shape,
  Samples,
  Switch,
  Period,
  LfoAim,
  EventAim,
  Note,
  FollowLfo,
  FollowEvent,
  Bipolar,
};

struct Display {
  DisplayRule rule;
  std::int32_t detail;  // samples: the scale N; follow rules: the modulator's aim index
};

constexpr Display kDisplays[kParameterCount] = {
    {DisplayRule::Decimal, 0},           // Volume
    {DisplayRule::Balance, 0},           // Pan
    {DisplayRule::Semitones, 0},         // Pitch
    {DisplayRule::OscillatorSwitch, 0},  // Osc1
    {DisplayRule::Decimal, 0},           // O1-Vol
    {DisplayRule::Shape, 0},             // O1-Shape
    {DisplayRule::Semitones, 0},         // O1-Pitch
    {DisplayRule::Fine, 0},              // O1-SubP
    {DisplayRule::OscillatorSwitch, 0},  // Osc2
    {DisplayRule::Decimal, 0},           // O2-Vol
    {DisplayRule::Shape, 0},             // O2-Shape
    {DisplayRule::Semitones, 0},         // O2-Pitch
    {DisplayRule::Fine, 0},              // O2-SubP
    {DisplayRule::OscillatorSwitch, 0},  // Osc3
    {DisplayRule::Decimal, 0},           // O3-Vol
    {DisplayRule::Shape, 0},             // O3-Shape
    {DisplayRule::Semitones, 0},         // O3-Pitch
    {DisplayRule::Fine, 0},              // O3-SubP
    {DisplayRule::Samples, 20000},       // Attack
    {DisplayRule::Samples, 10000},       // Decay
    {DisplayRule::Decimal, 0},           // Sustain
    {DisplayRule::Samples, 100000},      // Release
    {DisplayRule::Switch, 0},            // LFO1
    {DisplayRule::Period, 0},            // L1-Per
    {DisplayRule::LfoAim, 0},            // L1-Aim
    {DisplayRule::FollowLfo, kL1Aim},    // L1-Min
    {DisplayRule::FollowLfo, kL1Aim},    // L1-Max
    {DisplayRule::Switch, 0},            // LFO2
    {DisplayRule::Period, 0},            // L2-Per
    {DisplayRule::LfoAim, 0},            // L2-Aim
    {DisplayRule::FollowLfo, kL2Aim},    // L2-Min
    {DisplayRule::FollowLfo, kL2Aim},    // L2-Max
    {DisplayRule::EventAim, 0},          // E1-Aim
    {DisplayRule::Note, 0},              // E1-Note
    {DisplayRule::FollowEvent, kE1Aim},  // E1-Val
    {DisplayRule::FollowEvent, kE1Aim},  // E1-Rel
    {DisplayRule::EventAim, 0},          // E2-Aim
    {DisplayRule::Note, 0},              // E2-Note
    {DisplayRule::FollowEvent, kE2Aim},  // E2-Val
    {DisplayRule::FollowEvent, kE2Aim},  // E2-Rel
    {DisplayRule::EventAim, 0},          // E3-Aim
    {DisplayRule::Note, 0},              // E3-Note
    {DisplayRule::FollowEvent, kE3Aim},  // E3-Val
    {DisplayRule::FollowEvent, kE3Aim},  // E3-Rel
    {DisplayRule::EventAim, 0},          // E4-Aim
    {DisplayRule::Note, 0},              // E4-Note
    {DisplayRule::FollowEvent, kE4Aim},  // E4-Val
    {DisplayRule::FollowEvent, kE4Aim},  // E4-Rel
    {DisplayRule::Switch, 0},            // LPFilter
    {DisplayRule::Decimal, 0},           // Cutoff
    {DisplayRule::Decimal, 0},           // Res
    {DisplayRule::Switch, 0},            // Glide
    {DisplayRule::Decimal, 0},           // G Wet
    {DisplayRule::Bipolar, 0},           // Comp
};

// Shape values are held inside 0.00001 .. 0.9999 before they select a name.
float clampShapeValue(float v) {
  if (v > 0.9999f) return 0.9999f;
  if (v < 0.00001f) return 0.00001f;
  return v;
}

void writeNoteName(double v, char* text) {
  const std::int32_t n = truncateToInt32(128.0 * v);
  // Below key 0 the pitch class and octave keep counting downward (-1 is "B-1").
  // Wide arithmetic: at the clamped ends (infinities, huge values) n - pitchClass leaves the 32-bit range.
  const std::int64_t key = n;
  const std::int64_t pitchClass = ((key % 12) + 12) % 12;
  const std::int64_t octave = (key - pitchClass) / 12;
  std::snprintf(text, kScratchSize, "%s%lld", noteNames[pitchClass], static_cast<long long>(octave));
}

void applyRule(std::int32_t index, float value, const ParameterValues& current, char* out);

// A range control speaks in the units of its modulator's target, if that is a valid one.
void writeFollowing(std::int32_t target, float value, const ParameterValues& current, char* text) {
  if (target != kNoTarget && isValidModulationTarget(target))
    applyRule(target, value, current, text);
  else
    text[0] = '\0';
}

void applyRule(std::int32_t index, float value, const ParameterValues& current, char* text) {
  const double v = value;
  const Display display = kDisplays[index];
  switch (display.rule) {
    case DisplayRule::Decimal:
      std::snprintf(text, kScratchSize, "%.2f", v);
      break;
    case DisplayRule::Balance:
      if (value == 0.5f)
        std::strcpy(text, "Center");
      else if (value < 0.5f)
        std::snprintf(text, kScratchSize, "%d%% Left", static_cast<int>(truncateToInt32(100.0 - 200.0 * v)));
      else
        std::snprintf(text, kScratchSize, "%d%% right", static_cast<int>(truncateToInt32(200.0 * v) - 100));
      break;
    case DisplayRule::Semitones:
      std::snprintf(text, kScratchSize, "%+d", static_cast<int>(truncateToInt32((v - 0.5) * 48.0)));
      break;
    case DisplayRule::OscillatorSwitch:
      // The engine multiplies only above 0.5, so the text follows that test.
      std::strcpy(text, value > 0.5f ? "On" : "Off");
      break;
    case DisplayRule::Fine:
      std::snprintf(text, kScratchSize, "%+.2f", (v - 0.5) * 2.0);
      break;
    case DisplayRule::Shape: {
      const double clamped = clampShapeValue(value);
      std::int32_t shape = truncateToInt32(clamped * 14.0);
      if (shape < 0 || shape > 13) shape = 0;
      std::snprintf(text, kScratchSize, "%s", waveShapeNames[shape]);
      break;
    }
    case DisplayRule::Samples:
      std::snprintf(text, kScratchSize, "%d",
                    static_cast<int>(truncateToInt32(v * v * static_cast<double>(display.detail))));
      break;
    case DisplayRule::Switch:
      std::strcpy(text, value < 0.5f ? "Off" : "On");
      break;
    case DisplayRule::Period:
      std::snprintf(text, kScratchSize, "%.2f", std::pow(2.0, 12.0 * v) * 0.125);
      break;
    case DisplayRule::LfoAim:
      copyParameterNameText(lfoTarget(value), text);
      break;
    case DisplayRule::EventAim:
      copyParameterNameText(eventTarget(value), text);
      break;
    case DisplayRule::Note:
      writeNoteName(v, text);
      break;
    case DisplayRule::FollowLfo:
      writeFollowing(lfoTarget(current.get(display.detail)), value, current, text);
      break;
    case DisplayRule::FollowEvent:
      writeFollowing(eventTarget(current.get(display.detail)), value, current, text);
      break;
    case DisplayRule::Bipolar:
      std::snprintf(text, kScratchSize, "%.2f", 2.0 * v - 1.0);
      break;
  }
}

}  // namespace

// clang-format off
const ParameterLayoutRow ParameterLayout[kParameterCount] = {
    // index, x, y, hasCaption, hasValueText, caption, followsTarget, controlKind, default
    {0, 25, 25, 1, 0, "vol", 0, 1, 0.9f},
    {1, 75, 25, 1, 0, "pan", 0, 1, 0.5f},
    {2, 125, 25, 1, 1, "pitch", 0, 1, 0.5f},
    {3, 25, 64, 0, 0, "mlt", 0, 4, 0.0f},
    {4, 25, 84, 0, 0, "vol", 0, 0, 1.0f},
    {5, 75, 74, 0, 1, "", 0, 0, 0.0f},
    {6, 125, 74, 1, 1, "pitch", 0, 3, 0.5f},
    {7, 175, 74, 1, 1, "subpitch", 0, 3, 0.5f},
    {8, 25, 114, 0, 0, "mlt", 0, 4, 1.0f},
    {9, 25, 134, 0, 0, "vol", 0, 0, 1.0f},
    {10, 75, 124, 0, 1, "", 0, 0, 0.1f},
    {11, 125, 124, 1, 1, "pitch", 0, 3, 0.25f},
    {12, 175, 124, 1, 1, "subpitch", 0, 3, 0.5f},
    {13, 25, 164, 0, 0, "mlt", 0, 4, 0.0f},
    {14, 25, 184, 0, 0, "vol", 0, 0, 0.4f},
    {15, 75, 174, 0, 1, "", 0, 0, 0.0f},
    {16, 125, 174, 1, 1, "pitch", 0, 3, 0.5f},
    {17, 175, 174, 1, 1, "subpitch", 0, 3, 0.5f},
    {18, 425, 25, 1, 0, "att", 0, 2, 0.1f},
    {19, 460, 25, 1, 0, "dec", 0, 2, 0.1f},
    {20, 495, 25, 1, 0, "sus", 0, 2, 0.5f},
    {21, 530, 25, 1, 0, "rel", 0, 2, 0.3f},
    {22, 425, 74, 1, 0, "lfo 1", 0, 4, 0.0f},
    {23, 475, 74, 0, 1, "", 0, 0, 0.5f},
    {24, 525, 74, 0, 1, "", 0, 0, 0.0f},
    {25, 575, 74, 0, 1, "", 1, 3, 0.0f},
    {26, 625, 74, 0, 1, "", 1, 3, 1.0f},
    {27, 425, 124, 1, 0, "lfo 2", 0, 4, 0.0f},
    {28, 475, 124, 0, 1, "", 0, 0, 0.5f},
    {29, 525, 124, 0, 1, "", 0, 0, 0.0f},
    {30, 575, 124, 0, 1, "", 1, 3, 0.0f},
    {31, 625, 124, 0, 1, "", 1, 3, 1.0f},
    {32, 225, 26, 1, 1, "event 1", 0, 3, 0.99f},
    {33, 275, 26, 0, 1, "", 0, 3, 0.5f},
    {34, 325, 26, 0, 1, "", 1, 2, 0.0f},
    {35, 375, 26, 0, 1, "", 1, 2, 1.0f},
    {36, 225, 76, 1, 1, "event 2", 0, 3, 0.99f},
    {37, 275, 76, 0, 1, "", 0, 3, 0.5f},
    {38, 325, 76, 0, 1, "", 1, 2, 0.0f},
    {39, 375, 76, 0, 1, "", 1, 2, 1.0f},
    {40, 225, 126, 1, 1, "event 3", 0, 3, 0.99f},
    {41, 275, 126, 0, 1, "", 0, 3, 0.5f},
    {42, 325, 126, 0, 1, "", 1, 2, 0.0f},
    {43, 375, 126, 0, 1, "", 1, 2, 1.0f},
    {44, 225, 176, 1, 1, "event 4", 0, 3, 0.99f},
    {45, 275, 176, 0, 1, "", 0, 3, 0.5f},
    {46, 325, 176, 0, 1, "", 1, 2, 0.0f},
    {47, 375, 176, 0, 1, "", 1, 2, 1.0f},
    {48, 425, 174, 1, 0, "filter", 0, 4, 1.0f},
    {49, 475, 174, 1, 0, "cutoff", 0, 0, 0.5f},
    {50, 525, 174, 1, 0, "res", 0, 0, 0.8f},
    {51, 575, 175, 1, 0, "porta", 0, 4, 0.0f},
    {52, 625, 175, 0, 0, "", 0, 1, 0.5f},
    {53, 575, 25, 1, 0, "comp", 0, 3, 0.6f},
};
// clang-format on

const char* const parameterNames[kParameterCount] = {
    "Volume",  "Pan",      "Pitch",    "Osc1",     "O1-Vol", "O1-Shape", "O1-Pitch", "O1-SubP",  "Osc2",
    "O2-Vol",  "O2-Shape", "O2-Pitch", "O2-SubP",  "Osc3",   "O3-Vol",   "O3-Shape", "O3-Pitch", "O3-SubP",
    "Attack",  "Decay",    "Sustain",  "Release",  "LFO1",   "L1-Per",   "L1-Aim",   "L1-Min",   "L1-Max",
    "LFO2",    "L2-Per",   "L2-Aim",   "L2-Min",   "L2-Max", "E1-Aim",   "E1-Note",  "E1-Val",   "E1-Rel",
    "E2-Aim",  "E2-Note",  "E2-Val",   "E2-Rel",   "E3-Aim", "E3-Note",  "E3-Val",   "E3-Rel",   "E4-Aim",
    "E4-Note", "E4-Val",   "E4-Rel",   "LPFilter", "Cutoff", "Res",      "Glide",    "G Wet",    "Comp",
};

const char* const waveShapeNames[14] = {"Sin",   "Sinsaw", "Saw",    "Ramp",   "SawSqu", "Square", "SinSqu",
                                        "Sin12", "Sin123", "Sin124", "AbsSin", "Noise",  "Noise2", "Noise3"};

const char* const noteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

void copyParameterNameText(std::int32_t index, char* text) {
  std::strcpy(text, isParameterIndex(index) ? parameterNames[index] : kNoTargetName);
}

void formatParameterValue(std::int32_t index, float value, const ParameterValues& current, char* text) {
  if (!isParameterIndex(index)) return;
  // Absurd host values could make long texts; the host's buffer size is unknown.
  char scratch[kScratchSize];
  applyRule(index, value, current, scratch);
  const std::size_t length = std::min<std::size_t>(std::strlen(scratch), kParameterTextCapacity - 1);
  std::memcpy(text, scratch, length);
  text[length] = '\0';
}

}  // namespace brume
