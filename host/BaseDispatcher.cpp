// Opcodes 0 to 24: one small handler each, in opcode order.
#include <cmath>
#include <limits>

#include "host/EffectBase.h"

namespace brume {
namespace {

using Handler = VstIntPtr (*)(EffectBase& effect, VstInt32 index, VstIntPtr value, void* ptr, float opt);

constexpr VstInt32 kIdentifyAnswer = fourCharacterCode('N', 'v', 'E', 'f');

// Conversion toward zero that cannot overflow: a level from a derived class is not trusted.
VstIntPtr truncateToInt(double x) {
  if (!(x == x)) return 0;
  if (x >= static_cast<double>(std::numeric_limits<VstInt32>::max())) return std::numeric_limits<VstInt32>::max();
  if (x <= static_cast<double>(std::numeric_limits<VstInt32>::min())) return std::numeric_limits<VstInt32>::min();
  return static_cast<VstIntPtr>(x);
}

VstIntPtr notServed(EffectBase&, VstInt32, VstIntPtr, void*, float) { return 0; }

constexpr Handler kHandlers[] = {
    /* 0 open */
    [](EffectBase& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
      e.onOpen();
      return 0;
    },
    /* 1 close (the entry then destroys the object) */
    [](EffectBase& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
      e.onClose();
      return 0;
    },
    /* 2 set program: numbers outside 0 .. count - 1 are refused */
    [](EffectBase& e, VstInt32, VstIntPtr value, void*, float) -> VstIntPtr {
      if (value >= 0 && value < e.programCountValue()) e.selectProgram(static_cast<VstInt32>(value));
      return 0;
    },
    /* 3 get program */
    [](EffectBase& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return e.programIndex(); },
    /* 4 set program name */
    [](EffectBase& e, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
      if (ptr) e.renameProgram(static_cast<char*>(ptr));
      return 0;
    },
    /* 5 get program name */
    [](EffectBase& e, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
      if (ptr) e.copyProgramName(static_cast<char*>(ptr));
      return 0;
    },
    /* 6 parameter label */
    [](EffectBase& e, VstInt32 index, VstIntPtr, void* ptr, float) -> VstIntPtr {
      if (ptr) e.copyParameterLabel(index, static_cast<char*>(ptr));
      return 0;
    },
    /* 7 parameter display */
    [](EffectBase& e, VstInt32 index, VstIntPtr, void* ptr, float) -> VstIntPtr {
      if (ptr) e.copyParameterDisplay(index, static_cast<char*>(ptr));
      return 0;
    },
    /* 8 parameter name */
    [](EffectBase& e, VstInt32 index, VstIntPtr, void* ptr, float) -> VstIntPtr {
      if (ptr) e.copyParameterName(index, static_cast<char*>(ptr));
      return 0;
    },
    /* 9 meter level */
    [](EffectBase& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
      return truncateToInt(static_cast<double>(e.meterLevel()) * 32767.0);
    },
    /* 10 sample rate */
    [](EffectBase& e, VstInt32, VstIntPtr, void*, float opt) -> VstIntPtr {
      e.changeSampleRate(opt);
      return 0;
    },
    /* 11 block size */
    [](EffectBase& e, VstInt32, VstIntPtr value, void*, float) -> VstIntPtr {
      e.changeBlockSize(static_cast<VstInt32>(value));
      return 0;
    },
    /* 12 suspend (0) or resume (anything else) */
    [](EffectBase& e, VstInt32, VstIntPtr value, void*, float) -> VstIntPtr {
      if (value == 0)
        e.onSuspend();
      else
        e.onResume();
      return 0;
    },
    /* 13 editor rectangle */
    [](EffectBase& e, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
      EditorBase* editor = e.editorObjectPointer();
      return editor ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    },
    /* 14 editor open */
    [](EffectBase& e, VstInt32, VstIntPtr, void* ptr, float) -> VstIntPtr {
      EditorBase* editor = e.editorObjectPointer();
      return editor ? editor->open(ptr) : 0;
    },
    /* 15 editor close */
    [](EffectBase& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
      if (EditorBase* editor = e.editorObjectPointer()) editor->close();
      return 0;
    },
    /* 16, 17, 18 */ notServed,
    notServed,
    notServed,
    /* 19 editor idle */
    [](EffectBase& e, VstInt32, VstIntPtr, void*, float) -> VstIntPtr {
      if (EditorBase* editor = e.editorObjectPointer()) editor->idle();
      return 0;
    },
    /* 20, 21 */ notServed,
    notServed,
    /* 22 identify */
    [](EffectBase&, VstInt32, VstIntPtr, void*, float) -> VstIntPtr { return kIdentifyAnswer; },
    /* 23 get chunk */
    [](EffectBase& e, VstInt32 index, VstIntPtr, void* ptr, float) -> VstIntPtr {
      return e.saveChunk(static_cast<void**>(ptr), index != 0);
    },
    /* 24 set chunk */
    [](EffectBase& e, VstInt32 index, VstIntPtr value, void* ptr, float) -> VstIntPtr {
      return e.loadChunk(ptr, static_cast<VstInt32>(value), index != 0);
    },
};
static_assert(sizeof kHandlers / sizeof kHandlers[0] == 25, "one handler per opcode 0 to 24");

}  // namespace

VstIntPtr EffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (opcode < 0 || opcode >= static_cast<VstInt32>(sizeof kHandlers / sizeof kHandlers[0])) return 0;
  return kHandlers[opcode](*this, index, value, ptr, opt);
}

}  // namespace brume
