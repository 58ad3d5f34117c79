#pragma once
// The 54 parameters by index. Every subsystem names a parameter this way.

#include <cstdint>

namespace brume {

enum ParameterIndex : std::int32_t {
  kVolume = 0,
  kPan = 1,
  kPitch = 2,
  kOsc1 = 3,
  kO1Vol = 4,
  kO1Shape = 5,
  kO1Pitch = 6,
  kO1SubP = 7,
  kOsc2 = 8,
  kO2Vol = 9,
  kO2Shape = 10,
  kO2Pitch = 11,
  kO2SubP = 12,
  kOsc3 = 13,
  kO3Vol = 14,
  kO3Shape = 15,
  kO3Pitch = 16,
  kO3SubP = 17,
  kAttack = 18,
  kDecay = 19,
  kSustain = 20,
  kRelease = 21,
  kLfo1 = 22,
  kL1Per = 23,
  kL1Aim = 24,
  kL1Min = 25,
  kL1Max = 26,
  kLfo2 = 27,
  kL2Per = 28,
  kL2Aim = 29,
  kL2Min = 30,
  kL2Max = 31,
  kE1Aim = 32,
  kE1Note = 33,
  kE1Val = 34,
  kE1Rel = 35,
  kE2Aim = 36,
  kE2Note = 37,
  kE2Val = 38,
  kE2Rel = 39,
  kE3Aim = 40,
  kE3Note = 41,
  kE3Val = 42,
  kE3Rel = 43,
  kE4Aim = 44,
  kE4Note = 45,
  kE4Val = 46,
  kE4Rel = 47,
  kLpFilter = 48,
  kCutoff = 49,
  kRes = 50,
  kGlide = 51,
  kGWet = 52,
  kComp = 53,
};

constexpr std::int32_t kParameterCount = 54;

constexpr bool isParameterIndex(std::int32_t index) { return index >= 0 && index < kParameterCount; }

// Per oscillator k (0 to 2) the switch, level, shape, pitch and sub-pitch are 5 apart.
constexpr std::int32_t kOscillatorStride = 5;
// Per LFO n (0, 1) the switch, period, aim, minimum and maximum are 5 apart.
constexpr std::int32_t kLfoStride = 5;
// Per event modulator k (0 to 3) the aim, note, value and release value are 4 apart.
constexpr std::int32_t kEventModulatorStride = 4;
constexpr std::int32_t kEventModulatorCount = 4;
constexpr std::int32_t kLfoCount = 2;
constexpr std::int32_t kOscillatorCount = 3;

}  // namespace brume
