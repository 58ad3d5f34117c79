#pragma once
// Dispatcher opcodes and host callback opcodes the host tool uses, beyond the
// ones host/HostRecords.h already names.

#include "host/HostRecords.h"

namespace brume {

// Dispatcher opcodes (host to plug-in).
enum EffectOpcode : VstInt32 {
  kEffectOpen = 0,
  kEffectClose = 1,
  kEffectSetProgram = 2,
  kEffectGetProgram = 3,
  kEffectSetProgramName = 4,
  kEffectGetProgramName = 5,
  kEffectParameterLabel = 6,
  kEffectParameterDisplay = 7,
  kEffectParameterName = 8,
  kEffectSetSampleRate = 10,
  kEffectSetBlockSize = 11,
  kEffectSuspendResume = 12,
  kEffectGetChunk = 23,
  kEffectSetChunk = 24,
  kEffectProcessEvents = 25,
  kEffectProgramNameAt = 29,
  kEffectCategory = 35,
  kEffectEffectName = 45,
  kEffectVendorName = 47,
  kEffectProductName = 48,
  kEffectVendorVersion = 49,
  kEffectVendorSpecific = 50,
  kEffectCanDo = 51,
};

// Host callback opcodes answered by the tool that HostOpcode does not name.
enum HostAnswerOpcode : VstInt32 {
  kHostSampleRate = 16,
  kHostBlockSize = 17,
  kHostVendorString = 32,
  kHostProductString = 33,
  kHostCanDo = 37,
};

// Flag of VST 2.4 plug-ins that also offer double-precision processing.
constexpr VstInt32 kFlagCanDoubleReplacing = 0x1000;

}  // namespace brume
