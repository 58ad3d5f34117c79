#pragma once
// The records shared with a VST 2 host: the effect record, the entry function
// and callback types, the event list and the editor rectangle. The host reads
// these bytes directly, so the layouts below are fixed.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define BRUME_VSTCALL __cdecl  // caller removes the arguments
#else
#define BRUME_VSTCALL
#endif

namespace brume {

using VstInt32 = std::int32_t;
using VstIntPtr = std::intptr_t;  // pointer-sized integer: 32 bits on Win32, 64 on 64-bit hosts

struct AEffect;

// The host's callback: (record, opcode, index, value, ptr, opt) -> answer.
using audioMasterCallback = VstIntPtr(BRUME_VSTCALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                      void* ptr, float opt);

// The five entry functions stored in the record.
using DispatcherEntry = VstIntPtr(BRUME_VSTCALL*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                  void* ptr, float opt);
using ProcessEntry = void(BRUME_VSTCALL*)(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
using SetParameterEntry = void(BRUME_VSTCALL*)(AEffect* effect, VstInt32 index, float value);
using GetParameterEntry = float(BRUME_VSTCALL*)(AEffect* effect, VstInt32 index);

// Four-character codes keep their first character in the most significant byte.
constexpr VstInt32 fourCharacterCode(char a, char b, char c, char d) {
  return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                               (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                               (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                               static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = fourCharacterCode('V', 's', 't', 'P');

struct AEffect {
  VstInt32 magic;
  DispatcherEntry dispatcher;
  ProcessEntry process;
  SetParameterEntry setParameter;
  GetParameterEntry getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;
  void* user;
  VstInt32 uniqueID;
  VstInt32 version;
  ProcessEntry processReplacing;
  // Reserved, always zero: one pointer-sized field and 56 bytes (60 bytes on 32-bit targets).
  VstIntPtr futurePointer;
  char future[56];
};

// Bits of AEffect::flags.
enum EffectFlag : VstInt32 {
  kFlagHasEditor = 0x001,
  kFlagHasClip = 0x002,
  kFlagHasMeter = 0x004,
  kFlagCanMono = 0x008,
  kFlagCanReplacing = 0x010,
  kFlagProgramChunks = 0x020,
  kFlagIsSynth = 0x100,
  kFlagNoSoundInStop = 0x200,
  kFlagAsync = 0x400,
  kFlagExternalBuffer = 0x800,
};

#if defined(_WIN32) && !defined(_WIN64) || (defined(__i386__) && !defined(__x86_64__))
static_assert(sizeof(void*) == 4, "32-bit layout");
static_assert(sizeof(AEffect) == 144, "the 32-bit effect record is 144 bytes");
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 4);
static_assert(offsetof(AEffect, process) == 8);
static_assert(offsetof(AEffect, setParameter) == 12);
static_assert(offsetof(AEffect, getParameter) == 16);
static_assert(offsetof(AEffect, numPrograms) == 20);
static_assert(offsetof(AEffect, numParams) == 24);
static_assert(offsetof(AEffect, numInputs) == 28);
static_assert(offsetof(AEffect, numOutputs) == 32);
static_assert(offsetof(AEffect, flags) == 36);
static_assert(offsetof(AEffect, resvd1) == 40);
static_assert(offsetof(AEffect, resvd2) == 44);
static_assert(offsetof(AEffect, initialDelay) == 48);
static_assert(offsetof(AEffect, realQualities) == 52);
static_assert(offsetof(AEffect, offQualities) == 56);
static_assert(offsetof(AEffect, ioRatio) == 60);
static_assert(offsetof(AEffect, object) == 64);
static_assert(offsetof(AEffect, user) == 68);
static_assert(offsetof(AEffect, uniqueID) == 72);
static_assert(offsetof(AEffect, version) == 76);
static_assert(offsetof(AEffect, processReplacing) == 80);
static_assert(offsetof(AEffect, futurePointer) == 84);
#else
static_assert(sizeof(void*) == 8, "64-bit layout");
static_assert(sizeof(AEffect) == 192, "the 64-bit effect record is 192 bytes");
static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24);
static_assert(offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48);
static_assert(offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, resvd1) == 64);
static_assert(offsetof(AEffect, resvd2) == 72);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84);
static_assert(offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, futurePointer) == 128);
#endif

// One event of a list handed over with dispatcher opcode 25; `type` 1 is MIDI.
struct VstEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  char data[16];
};

constexpr VstInt32 kMidiEventType = 1;

struct VstMidiEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 noteLength;
  VstInt32 noteOffset;
  unsigned char midiData[4];
  std::int8_t detune;  // cents
  unsigned char noteOffVelocity;
  unsigned char reserved1;
  unsigned char reserved2;
};
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(sizeof(VstEvent) == 32);

// The event list: the pointer array continues past its declared two entries.
struct VstEvents {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[2];
};

// The editor rectangle handed to the host (opcode 13).
struct ERect {
  std::int16_t top;
  std::int16_t left;
  std::int16_t bottom;
  std::int16_t right;
};

// Host callback opcodes this code base sends.
enum HostOpcode : VstInt32 {
  kHostAutomate = 0,
  kHostVersion = 1,
  kHostCurrentId = 2,
  kHostIdle = 3,
  kHostPinConnected = 4,
  kHostWantMidi = 6,
  kHostGetTime = 7,
  kHostTempoAt = 10,
  kHostBeginEdit = 43,
  kHostEndEdit = 44,
};

}  // namespace brume
